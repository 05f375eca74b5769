#include "pages/account/image_guide_tables.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "pages/account/web_guide_rules.h"

namespace image_guide {

bool isNorthAmerica(int region) { return region == REGION_US || region == REGION_CA; }

bool picturesFor(int type, int brand, int region, int language, Pictures& out) {
    if (type != 0 && type != 17) return false;
    const unsigned k = language == LANGUAGE_KO ? 1 : 0;
    if (brand == CORP_DR) {
        out = {1705, 1698, 1699, 1700, 1703 + k, 1715};
    } else if (brand == CORP_LV && isNorthAmerica(region)) {
        out = {1758, 1751, 1752, 1753, 1756, 1715};
    } else if (brand == CORP_LV) {
        out = {1713, 1706, 1707, 1708, 1711 + k, 1715};
    } else {
        out = {1697, 1690, 1691, 1692, 1695 + k, 1715};
    }
    if (type == 17) out.main = 1714;
    if (language == LANGUAGE_AR) {
        const unsigned arabic[][2] = {{1697, 1719}, {1705, 1720}, {1713, 1721}, {1714, 1722}, {1758, 1759}};
        for (const auto& pair : arabic) {
            if (out.main == pair[0]) {
                out.main = pair[1];
                break;
            }
        }
    }
    return true;
}

Texts textsFor(int type, int region) {
    if (type == 0) return {12145, {12624, 12625, 12624, 12626, 12627, 12628, 12629, 0, 0, 0, 0}};
    if (type == 17) {
        return {13363,
                {12631, isNorthAmerica(region) ? 12632 : 12633, 12634, 12635, 12636, 12637, 12638, 12639, 12640, 12641,
                 12642}};
    }
    return {12359, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
}

bool rectanglesFor(int type, int brand, int language, Rect (&r)[7]) {
    if (type == 0) {
        const int f = brand == CORP_DR ? -2 : brand == CORP_LV ? -4 : 0;
        const int g = brand == CORP_LV ? 20 : 0;
        r[0] = {57, 88, 382, 112};
        if (language == LANGUAGE_KO || language == LANGUAGE_EN) {
            r[1] = {64, 114, 389, 138};
        } else if (language == LANGUAGE_F1 || language == LANGUAGE_ES) {
            r[1] = {69, 112, brand == CORP_LV ? 369 : 389, 136};
        } else {
            r[1] = {64, 112, 389, 136};
        }
        if (language == LANGUAGE_AR) {
            r[1].top += 8;
            r[1].bottom += 8;
        }
        r[2] = {57, 170, 382, 194};
        r[3] = {471, 102 + f, (language == LANGUAGE_RU ? 850 : 836) + g, 126 + f};
        r[4] = {471, 187 + f, (language == LANGUAGE_F1 ? 786 : 836) + g, 211 + f};
        r[5] = {471, 272 + f,
                (language == LANGUAGE_F1 ? 786 : language == LANGUAGE_ES ? 806 : 836) + g, 296 + f};
        r[6] = {460, 372 + f, (language == LANGUAGE_RU ? 849 : 835) + g, 479 + f};
        return true;
    }
    if (type == 17) {
        r[0] = {10, 85, 870, 200};
        r[1] = {10, 205, 870, 229};
        r[2] = {10, 235, 870, 259};
        if (language == LANGUAGE_KO || language == LANGUAGE_EN) {
            r[3] = {520, 360, 630, 384};
            r[4] = {640, 360, 790, 384};
            r[5] = {520, 385, 630, 409};
            r[6] = {640, 385, 790, 409};
        } else {
            const int x1 = language == LANGUAGE_F1 ? 690 : 670;
            r[3] = {520, 360, 680, 384};
            r[4] = {x1, 360, x1 + 150, 384};
            r[5] = {520, 385, 680, 409};
            r[6] = {x1, 385, x1 + 150, 409};
        }
        return true;
    }
    return false;
}

Emphasis emphasisFor(int region, int language) {
    if (isNorthAmerica(region)) return {true, language == LANGUAGE_F1};
    return {false, true};
}

CString supportAddress(int brand) {
    const wchar_t* word = brand == CORP_DR ? L"dravane" : brand == CORP_LV ? L"luvo" : brand == CORP_TS ? L"tessaly"
                                                                                                      : nullptr;
    if (!word) return CString();
    CString site = CConfigFile::getInstance()->getValue(L"WEB_MAKER_SITE");
    site.Trim();
    if (site.IsEmpty()) site = L"https://www.kestrune.invalid";
    return site + L"/" + word + L"/";
}

CString guideLink(int type, int brand, const CString& regionCode, const CString& languageCode) {
    if (type == 17) return supportAddress(brand);
    if (type >= 2 && type <= 16) return web_guide::guideAddress(type, brand, regionCode, languageCode);
    return CString();
}

}  // namespace image_guide
