#include "engine/transfer_rules.h"

namespace {

bool sameText(const CString& a, const CString& b) {
    return CompareStringOrdinal(a.GetString(), a.GetLength(), b.GetString(), b.GetLength(), TRUE) == CSTR_EQUAL;
}

// path equals folder, or lies below it at a "\" boundary.
bool liesUnder(const CString& path, const CString& folder) {
    if (path.GetLength() < folder.GetLength()) return false;
    if (!sameText(path.Left(folder.GetLength()), folder)) return false;
    return path.GetLength() == folder.GetLength() || path[folder.GetLength()] == L'\\';
}

CString withoutInfExtension(CString name) {
    for (;;) {
        int at = CString(name).MakeLower().Find(L".inf");
        if (at < 0) return name;
        name.Delete(at, 4);
    }
}

}  // namespace

bool isTransferItem(const InfFileUpdate* item) {
    if (!item || !item->m_guard.intact()) return false;
    if (item->m_nUsable != 1 || item->m_nKind != 2 || item->getVer() < 1) return false;
    LONGLONG size = item->getDownloadSize();
    return size >= 0 && size <= kMaxItemFileSize;
}

split_repair planSplitRepair(const std::vector<ULONGLONG>& sizes) {
    split_repair plan;
    const int n = static_cast<int>(sizes.size());
    if (n == 0) return plan;

    const ULONGLONG first = sizes[0];
    int matching = 0;
    for (int k = 1; k <= n - 2; ++k) {
        if (first != kUnreadableSize && sizes[k] == first) ++matching;
    }
    if (matching == 0) {
        // Nothing to compare with, or no middle piece agrees: the first
        // piece is the odd one.
        plan.deleted.push_back(0);
    } else if (matching == n - 2) {
        plan.deleted.push_back(n - 1);
    } else if (matching >= n / 2) {
        for (int k = 1; k <= n - 2; ++k) {
            if (sizes[k] != first) plan.deleted.push_back(k);
        }
    } else {
        return plan;
    }
    plan.repaired = true;
    return plan;
}

bool isSkipCopyPath(bool platformFolder, const CString& destPath, const CString& infFileName) {
    if (!platformFolder || destPath.IsEmpty() || infFileName.IsEmpty()) return false;
    CString path = destPath;
    path.Replace(L'/', L'\\');
    const CString base = withoutInfExtension(infFileName);
    return liesUnder(path, base + L"\\VESPERLINK") || liesUnder(path, base + L"\\VESPERLINK_M");
}

progress_sums sumProgress(const std::vector<item_progress>& items) {
    progress_sums sums;
    for (const item_progress& item : items) {
        const int s = item.state;
        if (s < sums.lowest) sums.lowest = s;
        if (s > sums.highest) sums.highest = s;
        if (s >= ITEM_STATE_DOWNLOADED) {
            sums.downloaded += item.downloadSize;
            ++sums.downloadedCount;
        } else if (s >= ITEM_STATE_DOWNLOADING) {
            sums.downloaded += item.piecesDone;
        }
        if (s >= ITEM_STATE_UNZIPPED) {
            sums.unzipped += item.downloadSize;
            ++sums.unzippedCount;
        }
        if (s >= ITEM_STATE_COPIED && !item.skipCopy) {
            sums.copied += item.fileSize;
            ++sums.copiedCount;
        }
        if (s == ITEM_STATE_UNZIPPED || s == ITEM_STATE_COPYING) sums.copied += item.onMedium;
    }
    return sums;
}

transfer_totals sumTotals(const std::vector<item_progress>& items) {
    transfer_totals totals;
    for (const item_progress& item : items) {
        totals.download += item.downloadSize;
        ++totals.count;
        // A package is extracted twice: once from its download, once itself.
        totals.unzip += item.downloadSize + (item.package ? item.fileSize : 0);
        if (!item.skipCopy) {
            totals.copy += item.fileSize;
            ++totals.copyCount;
        }
    }
    return totals;
}
