#pragma once
// The update page's arithmetic, apart from its window: rate sampling, the
// rate and remaining-time texts, percentages, the copy estimate and the
// destination, size and device-name texts. Texts of the language library
// come in as arguments, so the tests can read every result without one.
#include "afx/afx.h"

#include <array>
#include <cstdint>

namespace update_progress {

using u64 = std::uint64_t;

// Downloads: six per-tick deltas of board 1's done bytes.
struct DownloadSampler {
    std::array<u64, 6> delta{};
    u64 last = 0;
    u64 startSize = 0;
    double samples = 0;

    // One tick with the done count D; answers the average in bytes per
    // second (0 until two samples exist). A counter that goes back gives a
    // zero sample; a step above 2^28 bytes starts the sampling over.
    double sample(u64 done);
    void restart() { samples = 0; }
};

// Copies: thirty deltas of board 3's done bytes, shared with the estimate
// made while copying runs beside downloading and extraction.
struct CopySampler {
    std::array<u64, 30> delta{};
    u64 last = 0;
    u64 startSize = 0;
    double samples = 0;
    int estimateSamples = 0;

    // One tick. restartFlag is board 3's taken flag; rateReset the page's
    // pending restart after a format. FALSE: the tick ends without a display.
    bool sample(u64 done, bool restartFlag, bool& rateReset);
    // One estimate sample toward total; false while no delta is non-zero.
    bool estimate(u64 total, u64 done, double& seconds);
};

// The rate text: a steady whole rate is nudged by 10 KB/s, three ticks down
// and three up, so that the user sees it live.
struct RateText {
    int lastInt = -1;
    bool nudgeDown = false;
    int repeat = 0;

    // k in kilobytes (1000 bytes) per second; the unit word is "s".
    CString format(double k);
};

// The language texts the remaining-time line is built from.
struct TimeWords {
    CString label;
    CString fallback;
    CString moreThan;  // holds "[#Number#]"
    CString minute;
    CString minutes;
    CString seconds;
};
CString remainingTimeText(double seconds, const TimeWords& words);

// Percentages. The download and copy use D against T; the copy never shows
// 100 before the copy completion does.
int downloadPercent(u64 total, u64 done);
int copyPercent(u64 total, u64 done);
// Extraction counts 1000 bytes ahead (a small package shows progress at once).
int unzipPercent(u64 total, u64 done);
// Package-folder copy; the caller skips the display while total is 0.
int stepPercent(u64 total, u64 done);
CString formatPercent(int percent, bool arabic);

// "d / t (MB)" in whole mebibytes with thousands groups; d at most t.
CString sizesValue(u64 totalBytes, u64 doneBytes);

// Copy time left at the copy display. tail is the 99 % allowance that grows
// during one update; false when there is no rate yet (nothing verified).
struct CopyTotals {
    u64 copiedBytes;
    u64 copyMillis;
    u64 verifyMillis;
    u64 largeFileSize;
};
bool copyRemainSeconds(u64 total, u64 done, int percent, const CopyTotals& copy, double& tail, double& seconds);

// " (29.8 GB)" and the like for a drive of the given kilobytes; empty for 0.
CString driveSizePart(u64 kilobytes);
// The local download folder as destination: its drive and the word for drive.
CString folderDestination(const CString& downloadFolder, const CString& driveWord, bool spanish);

// A device name wider than fits one line breaks before its first "(".
constexpr int DEVICE_NAME_ONE_LINE = 360;
CString splitDeviceName(const CString& name);
// Text id of a device type, 0 for a type outside 2 to 16.
int deviceTypeTextId(int deviceType);

}  // namespace update_progress
