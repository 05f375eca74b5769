#include "descriptors/inf_file_update.h"

#include "descriptors/path_join.h"
#include "foundation/logmanager.h"

namespace {

// Longest file name component and URL the builders produce; longer ones
// give an empty result, which fails the item's download in the engine.
constexpr int kMaxNameChars = 259;
constexpr int kMaxUrlChars = 1999;

int lastSeparator(const CString& text) {
    return std::max(text.ReverseFind(L'\\'), text.ReverseFind(L'/'));
}

// The name without folder part, split at its last ".".
void splitName(const CString& path, CString& stem, CString& extension) {
    CString name = path.Mid(lastSeparator(path) + 1);
    int dot = name.ReverseFind(L'.');
    stem = dot >= 0 ? name.Left(dot) : name;
    extension = dot >= 0 ? name.Mid(dot) : CString();
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

CString joinLocal(const CString& root, const CString& destination, const CString& name) {
    CString path = root;
    if (!appendPath(path, destination) || !appendPath(path, name)) return CString();
    return path;
}

}  // namespace

bool isContainedName(const CString& name) {
    if (name.Find(L':') >= 0) return false;
    if (name.GetLength() >= 2 && isSeparator(name[0]) && isSeparator(name[1])) return false;
    int start = 0;
    for (int i = 0; i <= name.GetLength(); ++i) {
        if (i < name.GetLength() && !isSeparator(name[i])) continue;
        CString level = name.Mid(start, i - start);
        start = i + 1;
        // The platform drops trailing dots and blanks of a level, so ". ."
        // and "..." walk up like "..".
        int dots = 0;
        bool onlyDotsAndBlanks = !level.IsEmpty();
        for (int k = 0; k < level.GetLength(); ++k) {
            if (level[k] == L'.') ++dots;
            else if (level[k] != L' ') onlyDotsAndBlanks = false;
        }
        if (onlyDotsAndBlanks && dots >= 2) return false;
        if (common_util::is_unusable_name_level(level)) return false;
    }
    return true;
}

CString replaceDestinationRoot(const CString& destination, const CString& folder) {
    int separator = destination.FindOneOf(L"\\/");
    if (separator < 0) return folder;
    if (separator == 0) return destination;
    CString root = destination.Left(separator);
    CString result = destination;
    result.Replace(root.GetString(), folder.GetString());
    return result;
}

bool InfFileUpdate::init(InfFileTail* entry, const CString& folder) {
    if (!entry) return false;
    if (entry->getError() != 0) {
        m_nUsable = 2;
        return false;
    }
    m_pEntry = entry;
    m_strFolder = folder;

    m_nFileSize = entry->getFileSize();
    if (m_nFileSize < 0 || m_nFileSize > kMaxItemFileSize) return false;

    m_strSourceUrl = entry->getSourceUrl();
    if (m_strSourceUrl.IsEmpty()) return false;

    m_strFileName = entry->getFileName();
    m_strZipName = entry->getZipName();
    const InfFileHead* head = entry->head();
    CString destField = head ? head->expandPath(entry->getValue(L"DEST_PATH")) : CString();
    struct Named {
        const wchar_t* what;
        CString value;
    } names[] = {{L"DEST_PATH", destField}, {L"AG_FILENAME", m_strFileName}, {L"AG_ZIPNAME", m_strZipName}};
    for (const auto& named : names) {
        if (!isContainedName(named.value)) {
            LOG_WRITE(L"[ERR_INF_ENTRY] %s leaves its folder, entry skipped [value:%s]", named.what,
                      named.value.GetString());
            return false;
        }
    }

    m_strDestPath = entry->getDestPath();
    if (entry->getFileType() == INF_FILE_TYPE_HVQ_MODEL) {
        m_strDestPath = replaceDestinationRoot(m_strDestPath, folder);
    }
    if (!isContainedName(m_strDestPath)) {
        LOG_WRITE(L"[ERR_INF_ENTRY] destination leaves its folder, entry skipped [dest:%s]",
                  m_strDestPath.GetString());
        return false;
    }

    m_nPieces = entry->getNumSpan();
    m_nZipSize = entry->getZipSize();
    m_nCrc = entry->getFileCrc();
    m_nVersion = entry->getVer();

    m_nState = ITEM_STATE_NEW;
    m_nKind = 2;
    m_nUsable = 1;
    m_guard.set();
    return true;
}

CString InfFileUpdate::buildUrl(const CString& fileName) const {
    if (fileName.IsEmpty() || fileName.GetLength() > kMaxNameChars) return CString();
    CString url = m_strSourceUrl;
    if (!url.IsEmpty() && !isSeparator(url[url.GetLength() - 1])) url += L'\\';
    url += fileName;
    url.Replace(L"\\\\", L"\\");
    url.Replace(L'\\', L'/');
    if (url.GetLength() > kMaxUrlChars) return CString();
    return url;
}

CString InfFileUpdate::getFileUrl() const {
    CString stem, extension;
    splitName(m_strFileName, stem, extension);
    return buildUrl(stem + extension);
}

CString InfFileUpdate::getPartUrl(int n) const {
    CString stem, extension;
    splitName(m_strZipName, stem, extension);
    if (m_nPieces > 1) stem.AppendFormat(L"%03d", n + 1);
    return buildUrl(stem + extension);
}

CString InfFileUpdate::getPartPath(const CString& root, int n) const {
    CString name = m_strZipName;
    if (n + 1 < m_nPieces) {
        // Keep any folder part of the zip name, so every piece lies beside
        // the last one, which carries the zip name itself.
        int separator = lastSeparator(name);
        int dot = name.ReverseFind(L'.');
        if (dot > separator) name.Truncate(dot);
        name.AppendFormat(L".%03d", n);
    }
    return joinLocal(root, m_strDestPath, name);
}

CString InfFileUpdate::getZipPath(const CString& root) const {
    return joinLocal(root, m_strDestPath, m_strZipName);
}

CString InfFileUpdate::getFilePath(const CString& root) const {
    return joinLocal(root, m_strDestPath, m_strFileName);
}
