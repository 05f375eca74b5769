#pragma once
// The main frame's decisions that need no window: the download folder's
// default, which dealer codes may name a file, which folders the download
// clean-up may walk, and what the connectivity thread does on each poll.
#include "afx/string.h"

#include <string>

namespace frame_rules {

// The "DataPath" to use: stored unless it is empty or exactly the earlier
// default (documents\Corvessa\Kestrune\Data); then downloads\Kru, or
// documents\Kestrune\Data without a Downloads folder. replace tells whether
// the result must be stored.
CString dataPathFor(const CString& stored, const CString& documents, const CString& downloads, bool& replace);

// A dealer code names a file "dealercode_<code>.txt" only when it cannot
// leave the folder or name a device: no separators, ":", "..", control
// characters, wildcards, and not a reserved device name.
bool isSafeDealerCode(const CString& code);
CString dealerFileName(const CString& code);

// The dealer file's content: the code's UTF-8 bytes, no byte-order mark,
// no line end.
std::string dealerFileBytes(const CString& code);

// A folder the clean-up may walk: absolute (drive or share), existing, a
// folder, and not a drive root. Returned with one trailing "\".
bool isCleanableFolder(const CString& folder, CString& normalised);

// The last path component without extension ("C:\a\Model.x\" -> "Model").
CString ownName(const CString& folder);

// A folder the engine made for a download: it holds the engine's folder
// mark as a file. A user's folder that merely holds a copied version file
// never carries it, so the clean-ups leave it alone.
bool carriesOwnFolderMark(const CString& folder);

// One poll of the connectivity thread.
struct NetworkPoll {
    bool downloadsDone = false;  // the poll is skipped
    bool connected = true;
    bool rootExists = false;
    bool stopped = false;
    bool updatePageDownloading = false;  // view 103, the page shown, phase 1
};
struct NetworkActions {
    bool polled = false;
    bool setConnected = false;  // the flag's new value when polled
    bool logLoss = false;
    bool record = false;        // the loss record, once per loss
    bool stop = false;
    bool notifyPage = false;    // UM_MODULE_ERROR (501, 0), once per loss
    bool clearStopped = false;  // the connection is back: a later loss stops again
};
class NetworkWatch {
public:
    NetworkActions step(const NetworkPoll& poll);
    bool lossReported() const { return m_lossReported; }

private:
    bool m_lossReported = false;
};

}  // namespace frame_rules
