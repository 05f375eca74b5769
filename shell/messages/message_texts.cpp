#include "shell/messages/message_texts.h"

#include "foundation/code_tables.h"
#include "shell/message_types.h"
#include "ui/text_ids.h"

#include <initializer_list>

namespace msg {
namespace {

// Marks around a name from the server or the medium, so that a Latin or
// Korean model name keeps its order inside an Arabic sentence. Only Arabic
// needs them: elsewhere the faces draw them as visible gaps.
const wchar_t kRlm = L'\x200F';
const wchar_t kLrm = L'\x200E';

CString isolated(const MessageContext& ctx, const CString& name) {
    if (ctx.language != LANGUAGE_AR) return name;
    CString out;
    out += kRlm;
    out += kLrm;
    out += name;
    out += kLrm;
    return out;
}

class Builder {
public:
    Builder(const MessageContext& context, MessageContent& content) : m_ctx(context), m_out(content) {}

    void ids(int control, const TextList& list) {
        if (list.empty()) return;
        if (list.ids[0] == kTextEmpty) {
            value(control, CString());
            return;
        }
        ControlTexts& texts = m_out.controls[control];
        texts = ControlTexts();
        for (int id : list.ids) {
            if (id != 0) texts.ids.push_back(id);
        }
    }
    void id(int control, int textId) {
        if (textId != 0) ids(control, TextList{{textId, 0, 0}});
    }
    void value(int control, const CString& text) {
        ControlTexts& texts = m_out.controls[control];
        texts = ControlTexts();
        texts.isValue = true;
        texts.value = text;
    }
    void placeholder(int textId, const wchar_t* name, const CString& text) {
        m_out.placeholders.push_back(Placeholder{textId, name, text});
    }
    CString text(int textId) const { return m_ctx.text ? m_ctx.text(textId) : CString(); }

private:
    const MessageContext& m_ctx;
    MessageContent& m_out;
};

bool isOneOf(int value, std::initializer_list<int> values) {
    for (int v : values) {
        if (v == value) return true;
    }
    return false;
}

// A detail too short to name anything is replaced by the generic code.
CString detailOr(const CString& detail, const wchar_t* fallback) {
    return detail.GetLength() < 2 ? CString(fallback) : detail;
}

void downloadError(Builder& b, const MessageContext& ctx, int type) {
    const CString d = ctx.param(0);
    const CString prefix = b.text(12313);
    b.id(kHeading, 12307);
    b.id(kSubtitle, 12308);
    if (type != SERVER_ERROR_DOWNLOAD_ERROR) {
        b.value(kTitle, d.IsEmpty() ? L"* " + prefix + L" : ERROR_DOWNLOAD_FILE" : prefix + L" 1 : " + d);
        b.ids(kText1, TextList{{12310, 12312, 0}});
        return;
    }
    if (d == L"ERR_DOWNLOAD") {
        b.value(kTitle, prefix + L" 6 : " + d);
    } else if (d == L"ERR_AG_NUMSPAN") {
        b.value(kTitle, prefix + L" 5 : " + d);
    } else {
        b.value(kTitle, prefix + L" : " + detailOr(d, L"ERR_DOWNLOAD_FAIL"));
    }
    if (d == L"ERR_AG_NUMSPAN") {
        b.ids(kText1, TextList{{12310, 12311, 0}});
    } else {
        b.id(kText1, 12309);
    }
}

void unzipError(Builder& b, const MessageContext& ctx) {
    const CString d = ctx.param(0);
    const CString prefix = b.text(12313);
    b.id(kHeading, 12316);
    if (d == L"ERR_UNZIP_FAIL_RENAME") {
        b.value(kTitle, prefix + L" 4 : " + d);
    } else if (d == L"ERR_UNZIP_FAIL_MODULE") {
        b.value(kTitle, prefix + L" 3 : " + d);
    } else {
        b.value(kTitle, L"* " + prefix + L" : " + detailOr(d, L"ERR_UNZIP_FAIL"));
    }
    b.id(kSubtitle, 12317);
    b.ids(kText1, TextList{{12318, d == L"ERR_UNZIP_FAIL_RENAME" ? 12319 : 12320, 0}});
}

void copyError(Builder& b, const MessageContext& ctx) {
    const CString d = ctx.param(0);
    const CString file = ctx.param(1);
    const CString prefix = b.text(12313);
    b.id(kHeading, 12300);
    if (d == L"ERR_COPY" || d == L"ERR_FILE_CRC" || d == L"ERR_FILE_SIZE") {
        CString title = prefix + (d == L"ERR_FILE_SIZE" ? L" 201 : " : L" 202 : ") + d + L" (" + file + L")";
        if (ctx.language == LANGUAGE_AR) title += kLrm;
        b.value(kTitle, title);
    } else {
        b.value(kTitle, prefix + L" 204 : " + detailOr(d, L"ERR_COPY_FAIL"));
    }
    b.id(kSubtitle, 12301);
    const bool named = d == L"ERR_COPY" || d == L"ERR_FILE_SIZE";
    b.ids(kText1, TextList{{named ? 12302 : 12303, 12304, 0}});
}

void mediumBrand(Builder& b, const MessageContext& ctx) {
    const CString letter = ctx.param(0);
    int word = 0;
    if (letter == L"V") word = 12004;
    else if (letter == L"L") word = 12003;
    else if (letter == L"W") word = 12002;
    const bool otherName = ctx.region == REGION_KR && ctx.language != LANGUAGE_KO;
    b.placeholder(13134, L"[#Brand#]", word ? b.text(word) : CString());
    b.placeholder(13134, L"[#Model Name#]", isolated(ctx, ctx.param(otherName ? 2 : 1)));
    b.id(kText1, 13134);
}

// Each vehicle comes with two names; the first is shown unless a Korean
// account reads the program in another language (the rule of the device-name
// language code, taken from the context instead of the settings).
CString vehicleName(const MessageContext& ctx, int firstIndex, int otherIndex) {
    const CString first = ctx.param(firstIndex);
    const bool korean = first.IsEmpty() || ctx.region != REGION_KR || ctx.language == LANGUAGE_KO;
    return isolated(ctx, korean ? first : ctx.param(otherIndex));
}

void mediumMatched(Builder& b, const MessageContext& ctx) {
    const CString count = ctx.param(0);
    if (count == L"4") {
        b.placeholder(13177, L"[#A Model#]", vehicleName(ctx, 1, 3));
        b.placeholder(13177, L"[#B Model#]", vehicleName(ctx, 2, 4));
        b.id(kText1, 13177);
    } else if (count == L"6") {
        b.placeholder(13179, L"[#A Model#]", vehicleName(ctx, 1, 4));
        b.placeholder(13179, L"[#B Model#]", vehicleName(ctx, 2, 5));
        b.placeholder(13179, L"[#C Model#]", vehicleName(ctx, 3, 6));
        b.id(kText1, 13179);
    }
}

void byRegion(Builder& b, const MessageContext& ctx, int type) {
    b.id(kHeading, 12094);
    if (ctx.region == REGION_US) {
        const int brandLine = type == SERVER_ETC_NO_VEHICLE_TS   ? 12621
                              : type == SERVER_ETC_NO_VEHICLE_DR ? 12622
                                                                 : 12623;
        b.ids(kTitle, TextList{{12095, brandLine, 0}});
        b.id(kOk, 12103);
        b.id(kCancel, 12104);
        return;
    }
    if (type == SERVER_ETC_NO_VEHICLE_LV) {
        b.id(kTitle, 13101);
        b.id(kOk, 12103);
        b.id(kCancel, 12104);
    } else {
        b.id(kTitle, type == SERVER_ETC_NO_VEHICLE_TS ? 13097 : 13096);
        b.id(kOk, 12174);
    }
}

void byMediumType(Builder& b, const MessageContext& ctx, int type, MessageContent& out) {
    const bool sdQuestion = type == SERVER_ETC_SD_CARD_QUESTION;
    int heading = sdQuestion ? 12349 : 12354;
    int title = sdQuestion ? 12350 : 12355;
    out.clearDestIsDrive = true;
    if (ctx.mediumType) {
        try {
            const CString medium = ctx.mediumType();
            if (!medium.IsEmpty() && medium != L"SD") {
                heading = 12348;
                title = sdQuestion ? 12351 : 12356;
            }
        } catch (...) {
            // A vehicle entry that cannot say its medium gets the default question.
        }
    }
    b.id(kHeading, heading);
    b.id(kTitle, title);
}

void byBrand(Builder& b, const MessageContext& ctx) {
    b.id(kHeading, 12082);
    switch (ctx.lastBrand) {
    case CORP_TS:
        b.id(kTitle, 12085);
        b.id(kText1, 13091);
        break;
    case CORP_DR:
        b.id(kTitle, 12083);
        b.id(kText1, 13087);
        break;
    case CORP_LV:
        b.id(kTitle, 12084);
        b.id(kText1, 13089);
        break;
    default: break;
    }
}

void placeholders(Builder& b, const MessageContext& ctx, int type) {
    switch (type) {
    // 63 and 74 show the same title as 75; filled from their own parameters,
    // it never shows the tags or the values of an earlier message.
    case SERVER_ERROR_USB_OVER:
    case SERVER_ERROR_UPDATE_CHECK_MEMORY_USB:
    case SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB:
        b.placeholder(12237, L"[#Remaining Space#]", ctx.param(0));
        b.placeholder(12237, L"[#Required Space#]", ctx.param(1));
        break;
    case SERVER_ERROR_UPDATE_CHECK_MEMORY_HDD:
    case SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD: b.placeholder(12216, L"[#Number#]", ctx.messageNumber); break;
    case SERVER_ETC_LANGUAGE_CHANGED: b.placeholder(12416, L"[#Region#]", ctx.param(0)); break;
    case SERVER_ETC_SAVE_TO_SD: b.placeholder(12197, L"[#Drive Name#]", ctx.param(0)); break;
    case SERVER_ETC_BRAND_CHANGED:
    case SERVER_ETC_BRAND_CHANGED_GUEST: b.placeholder(12607, L"[#Brand#]", ctx.param(0)); break;
    default: break;
    }
}

// OK and Cancel of the remove and first-start questions have room for a
// larger caption; Korean keeps its size except on the DR skin.
int folderQuestionFontSize(const MessageContext& ctx) {
    if (ctx.language != LANGUAGE_KO) return 22;
    return ctx.lastBrand == CORP_DR ? 24 : 0;
}

void rule(Builder& b, const MessageContext& ctx, const MessageTypeRow& row, MessageContent& out) {
    switch (row.rule) {
    case Rule::DetailLines:
        if (!ctx.param(0).IsEmpty()) b.value(kDetail1, ctx.param(0));
        if (!ctx.param(1).IsEmpty()) b.value(kDetail2, ctx.param(1));
        break;
    case Rule::LinkWithIcon:
        out.linkIconCaption = row.type == SERVER_ERROR_LANGUAGE_UNKNOWN ? 12060 : 12173;
        out.linkFlag = row.type == SERVER_ERROR_LANGUAGE_UNKNOWN;
        out.linkUrlAtOnce = row.type == SERVER_ERROR_UPDATE_CHECK_INF_LOAD;
        break;
    case Rule::Placeholders: placeholders(b, ctx, row.type); break;
    case Rule::ByLanguage:
        if (row.type == SERVER_ERROR_FORMAT_FAIL) {
            b.id(kText2,
                 isOneOf(ctx.language, {LANGUAGE_FR, LANGUAGE_F1, LANGUAGE_PT, LANGUAGE_RU, LANGUAGE_DE, LANGUAGE_IT})
                     ? 13224
                     : 14224);
        } else {
            b.id(kText2, isOneOf(ctx.language, {LANGUAGE_FR, LANGUAGE_F1, LANGUAGE_PT, LANGUAGE_DE, LANGUAGE_IT})
                             ? 13245
                             : 14245);
        }
        break;
    case Rule::FolderBox:
        if (row.type == SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD) placeholders(b, ctx, row.type);
        out.folderBox = FolderBox::Path;
        out.folderPath = ctx.dataPath;
        out.folderMaxChars = 500;
        out.folderCentred = row.type == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD && !ctx.configVariant;
        if (ctx.configVariant) out.folderFontSize = ctx.lastBrand == CORP_DR ? 15 : 16;
        if (row.type != SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD)
            out.okCancelFontSize = folderQuestionFontSize(ctx);
        break;
    case Rule::FolderRow: {
        out.folderBox = FolderBox::Row;
        CString path = ctx.dataPath;
        path.Replace(L"/", L"\\");
        out.folderPath = path;
        out.folderCentred = true;
        out.folderMaxChars = 255;
        out.changeFolderCaption = 12193;
        break;
    }
    case Rule::OpenFolder:
        out.openFolderButton = true;
        out.changeFolderCaption = 12333;
        break;
    case Rule::DownloadError:
    case Rule::DownloadError95: downloadError(b, ctx, row.type); break;
    case Rule::UnzipError: unzipError(b, ctx); break;
    case Rule::CopyError: copyError(b, ctx); break;
    case Rule::MediumBrand: mediumBrand(b, ctx); break;
    case Rule::MediumMatched: mediumMatched(b, ctx); break;
    case Rule::Waiting: out.startWaiting = true; break;
    case Rule::Licence: out.document = Document::Licence; break;
    case Rule::Terms:
        out.document = Document::Terms;
        if (!ctx.termsLoaded) b.id(kText1, 13407);
        break;
    case Rule::Consent:
        out.document = Document::Consent;
        b.id(kText1, 13408);
        b.id(kText2, 13408);
        out.consentDefaults = true;
        break;
    case Rule::ByRegion: byRegion(b, ctx, row.type); break;
    case Rule::ByMediumType: byMediumType(b, ctx, row.type, out); break;
    case Rule::ByBrand: byBrand(b, ctx); break;
    case Rule::RemoveDownloads: out.okCancelFontSize = ctx.language == LANGUAGE_KO ? 24 : 22; break;
    case Rule::RemovalAnswer:
        if (ctx.removalFailed) {
            b.id(kHeading, IDS_MSG_DOWNLOAD_NOT_REMOVED_HEADING);
            b.id(kTitle, IDS_MSG_DOWNLOAD_NOT_REMOVED_TITLE);
        }
        break;
    case Rule::ParamTitle: b.value(kTitle, ctx.param(0)); break;
    case Rule::MediumPicture:
    case Rule::CheckBox:
    case Rule::None: break;
    }
}

}  // namespace

CString MessageContext::param(int index) const {
    auto it = params.find(index);
    return it == params.end() ? CString() : it->second;
}

MessageContent buildTexts(const MessageTypeRow* row, const MessageContext& context) {
    MessageContent out;
    if (!row) return out;
    out.type = row->type;
    out.icon = row->icon;
    Builder b(context, out);
    b.ids(kHeading, row->heading);
    b.ids(kTitle, row->title);
    b.ids(kSubtitle, row->subtitle);
    b.ids(kText1, row->text1);
    b.ids(kText2, row->text2);
    b.ids(kText3, row->text3);
    b.id(kLink, row->link);
    b.id(kCheck, row->check);
    b.id(kOk, row->ok);
    b.id(kCancel, row->cancel);
    rule(b, context, *row, out);
    return out;
}

MessageContent buildTexts(int type, const MessageContext& context) {
    MessageContent out =
        buildTexts(context.configVariant ? findConfigMessageType(type) : findMessageType(type), context);
    out.type = type;
    return out;
}

CString resolvedText(const MessageContent& content, int control, const std::function<CString(int)>& text) {
    auto it = content.controls.find(control);
    if (it == content.controls.end()) return CString();
    if (it->second.isValue) return it->second.value;
    CString out;
    bool first = true;
    for (int id : it->second.ids) {
        CString line = id == kTextSpace ? CString(L" ") : (text ? text(id) : CString());
        for (const Placeholder& p : content.placeholders) {
            if (p.id == id) line.Replace(p.name.GetString(), p.value.GetString());
        }
        if (!first) out += L"\n";
        out += line;
        first = false;
    }
    return out;
}

bool isRepeat(int type, int currentType, bool sameRequester) {
    return sameRequester && type == currentType &&
           !isOneOf(type, {SERVER_ERROR_NETWORK_FAIL, SERVER_ERROR_LOGIN_SYSTEM, SERVER_ERROR_COPY_FAIL});
}

bool refreshesDetailLines(int type) {
    return isOneOf(type, {SERVER_ERROR_USB_REMOVE_FAIL, SERVER_ERROR_DOWNLOAD_ZIP, SERVER_ERROR_DOWNLOAD_FILE_SIZE,
                          SERVER_ERROR_DOWNLOAD_FILE_CRC, SERVER_ERROR_DOWNLOAD_FAIL, SERVER_ERROR_COPY_NOT_FOUND_FILE,
                          SERVER_ERROR_COPY_FILE_SIZE});
}

}  // namespace msg
