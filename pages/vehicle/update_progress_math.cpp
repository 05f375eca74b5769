#include "pages/vehicle/update_progress_math.h"

#include "foundation/globalfunc.h"

#include <algorithm>
#include <cmath>

namespace update_progress {

namespace {

constexpr u64 LARGEST_STEP = 1ULL << 28;
constexpr double HALF_HOUR = 1800;

}  // namespace

double DownloadSampler::sample(u64 done) {
    if (samples == 0) {
        startSize = done;
        last = done;
        delta.fill(0);
    }
    const size_t slot = static_cast<size_t>(static_cast<u64>(samples) % delta.size());
    if (done < last) {
        delta[slot] = 0;
        samples += 1;
    } else {
        const u64 step = done - last;
        if (step > LARGEST_STEP) {
            // A resumed file counted at once is no rate: start over.
            samples = 0;
            delta[slot] = 0;
            last = done;
        } else {
            delta[slot] = step;
            last = done;
            samples += 1;
        }
    }
    const size_t n = static_cast<size_t>(std::min<double>(delta.size(), samples));
    if (n < 2) return 0;
    u64 sum = 0;
    for (size_t i = 0; i < n; ++i) sum += delta[i];
    return sum > 0 ? static_cast<double>(sum) / static_cast<double>(n) : 0;
}

bool CopySampler::sample(u64 done, bool restartFlag, bool& rateReset) {
    if (restartFlag) samples = 0;
    if (samples == 0) {
        startSize = done;
    } else if (rateReset && static_cast<long long>(startSize) > 0) {
        startSize = 0;
        samples = 0;
        rateReset = false;
        return false;
    }
    const size_t slot = static_cast<size_t>(static_cast<u64>(samples) % delta.size());
    delta[slot] = done >= last ? done - last : 0;
    last = done;
    samples += 1;
    return true;
}

bool CopySampler::estimate(u64 total, u64 done, double& seconds) {
    if (estimateSamples == 0) startSize = done;
    const size_t slot = static_cast<size_t>(estimateSamples % 10);
    delta[slot] = done >= last ? done - last : 0;
    last = done;
    ++estimateSamples;
    double sum = 0;
    int count = 0;
    for (u64 d : delta) {
        if (d == 0) continue;
        sum += static_cast<double>(d);
        ++count;
    }
    if (count == 0) return false;
    seconds = static_cast<double>(total - std::min(done, total)) / (sum / count);
    return true;
}

CString RateText::format(double k) {
    if (std::isnan(k)) k = 0;
    // Below 1 KB/s there is no whole kilobyte to write or to nudge.
    if (std::fabs(k) < 1) {
        lastInt = 0;
        return L"0 KB/s";
    }
    const long long whole = static_cast<long long>(std::min(std::fabs(k), 2e9)) * (k < 0 ? -1 : 1);
    if (whole == lastInt) {
        if (repeat % 3 == 0) nudgeDown = !nudgeDown;
        ++repeat;
        k += nudgeDown ? -10 : 10;
    } else {
        lastInt = static_cast<int>(whole < 0 ? -whole : whole);
    }
    k = std::fabs(k);
    CString size;
    if (k < 1024) size = CGlobalFunc::formatSize(static_cast<UINT>(k), L"K");
    else size = CGlobalFunc::formatSize(static_cast<UINT>(std::min(k, 4e9)), L"M");
    CString text;
    text.Format(L"%s/%s", size.GetString(), L"s");
    return text;
}

CString remainingTimeText(double seconds, const TimeWords& words) {
    CString text;
    if (!std::isfinite(seconds) || seconds < 1) {
        text.Format(L"%s: %s", words.label.GetString(), words.fallback.GetString());
        return text;
    }
    if (seconds > HALF_HOUR) {
        CString more = words.moreThan;
        more.Replace(L"[#Number#]", L"%d");
        CString figure;
        figure.Format(more, 30);
        text.Format(L"%s: %s", words.label.GetString(), figure.GetString());
        return text;
    }
    const long long whole = static_cast<long long>(seconds);
    const long long minutes = whole / 60;
    if (seconds >= 120) text.Format(L"%s: %d %s", words.label.GetString(), static_cast<int>(minutes), words.minutes.GetString());
    else if (seconds >= 60) text.Format(L"%s: %d %s", words.label.GetString(), static_cast<int>(minutes), words.minute.GetString());
    else text.Format(L"%s: %d %s", words.label.GetString(), static_cast<int>(whole % 60), words.seconds.GetString());
    return text;
}

namespace {

int wholePercent(u64 total, u64 done) {
    if (total == 0) return 0;
    const double p = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    if (!(p > 0)) return 0;
    return p >= 1e6 ? 1000000 : static_cast<int>(p);
}

}  // namespace

int downloadPercent(u64 total, u64 done) { return wholePercent(total, std::min(done, total)); }

int copyPercent(u64 total, u64 done) { return std::min(99, wholePercent(total, done)); }

int unzipPercent(u64 total, u64 done) {
    const unsigned __int128 p = (static_cast<unsigned __int128>(done) + 1000) * 100 / (static_cast<unsigned __int128>(total) + 1);
    return p > 99 ? 100 : static_cast<int>(p);
}

int stepPercent(u64 total, u64 done) { return std::min(100, wholePercent(total, done)); }

CString formatPercent(int percent, bool arabic) {
    percent = std::max(0, std::min(100, percent));
    CString text;
    text.Format(arabic ? L"%%%d" : L"%d%%", percent);
    return text;
}

CString sizesValue(u64 totalBytes, u64 doneBytes) {
    const u64 t = totalBytes >> 20;
    const u64 d = std::min(doneBytes >> 20, t);
    CString text;
    text.Format(L"%s / %s (MB)", CGlobalFunc::formatNumber(static_cast<double>(d)).GetString(),
                CGlobalFunc::formatNumber(static_cast<double>(t)).GetString());
    return text;
}

bool copyRemainSeconds(u64 total, u64 done, int percent, const CopyTotals& copy, double& tail, double& seconds) {
    const u64 millis = copy.copyMillis + copy.verifyMillis;
    if (millis == 0) return false;
    const double rate = static_cast<double>(copy.copiedBytes) * 1000.0 / static_cast<double>(millis);
    if (!(rate > 0)) return false;
    const u64 left = total - std::min(done, total);
    if (copy.largeFileSize != 0) {
        // A file of some gigabytes is verified after it is written: a sixth
        // of it stands for the verification still to come.
        seconds = static_cast<double>(copy.largeFileSize / 6 + left) / rate;
        if (percent > 98 && seconds >= 0) {
            tail += 0.6;
            seconds = std::max(0.0, seconds - tail);
        }
    } else {
        seconds = static_cast<double>(left) / rate;
    }
    return true;
}

CString driveSizePart(u64 kilobytes) {
    const u64 m = kilobytes / 1024;
    CString text;
    if (kilobytes == 0) return text;
    if (m > 1048576) text.Format(L" (%4.1f TB)", static_cast<double>(m) / 1048576.0);
    else if (m > 1024) text.Format(L" (%4.1f GB)", static_cast<double>(m) / 1024.0);
    else text.Format(L" (%4.1f MB)", static_cast<double>(m));
    return text;
}

CString folderDestination(const CString& downloadFolder, const CString& driveWord, bool spanish) {
    const CString drive = downloadFolder.Left(2) + L" ";
    return spanish ? driveWord + L" " + drive : drive + driveWord;
}

CString splitDeviceName(const CString& name) {
    const int open = name.Find(L'(');
    const CString first = open < 0 ? CString() : name.Left(open);
    CString second = open < 0 ? name : name.Mid(open);
    if (second.GetLength() > 42) second = second.Left(35) + L"...";
    return first + L"\n" + second;
}

int deviceTypeTextId(int deviceType) { return deviceType >= 2 && deviceType <= 16 ? 12559 + deviceType : 0; }

}  // namespace update_progress
