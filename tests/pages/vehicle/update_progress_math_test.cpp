// The update page's arithmetic: sampling, rate and time texts, percentages,
// the copy estimate and the destination and device-name texts.
#include "pages/vehicle/update_progress_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace update_progress;

namespace {

std::string narrow(const CString& text) {
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i) out += static_cast<char>(text[i]);
    return out;
}

std::vector<std::string> rateTexts(double bytesPerSecond, int ticks) {
    DownloadSampler sampler;
    RateText rate;
    std::vector<std::string> texts;
    u64 done = 5000;
    for (int i = 0; i < ticks; ++i) {
        texts.push_back(narrow(rate.format(sampler.sample(done) / 1000)));
        done += static_cast<u64>(bytesPerSecond);
    }
    return texts;
}

TEST(UpdateProgressMath, SteadyDownloadRiseThenNudgesAroundTheRate) {
    const std::vector<std::string> expected = {
        "0 KB/s",   "1000 KB/s", "1.3 MB/s", "1.5 MB/s", "1.6 MB/s", "1.6 MB/s", "2.0 MB/s",
        "1.9 MB/s", "1.9 MB/s",  "1.9 MB/s", "2.0 MB/s", "2.0 MB/s", "2.0 MB/s", "1.9 MB/s",
    };
    EXPECT_EQ(expected, rateTexts(2000000, static_cast<int>(expected.size())));

    RateText rate;
    std::vector<std::string> texts;
    for (int i = 0; i < 10; ++i) texts.push_back(narrow(rate.format(500.4)));
    const std::vector<std::string> steady = {"500 KB/s", "490 KB/s", "490 KB/s", "490 KB/s", "510 KB/s",
                                             "510 KB/s", "510 KB/s", "490 KB/s", "490 KB/s", "490 KB/s"};
    EXPECT_EQ(steady, texts);
    EXPECT_EQ(500, rate.lastInt);
}

TEST(UpdateProgressMath, RateTextUnitsAndTheSubKilobyteRate) {
    const struct {
        double k;
        const char* text;
    } cases[] = {{0, "0 KB/s"},         {0.4, "0 KB/s"},      {512.7, "512 KB/s"}, {1024, "1024 KB/s"},
                 {1536, "1.5 MB/s"},    {-1536, "1.5 MB/s"},  {std::nan(""), "0 KB/s"}};
    for (const auto& c : cases) {
        RateText rate;
        EXPECT_EQ(c.text, narrow(rate.format(c.k))) << c.k;
    }
    // A trickle is never nudged into a figure it does not have.
    RateText rate;
    for (int i = 0; i < 5; ++i) EXPECT_EQ("0 KB/s", narrow(rate.format(0.4))) << i;
}

TEST(UpdateProgressMath, CounterThatGoesBackOrJumpsNeverShowsAWrongRate) {
    DownloadSampler s;
    s.sample(10000000);
    s.sample(11000000);
    EXPECT_DOUBLE_EQ(2000000.0 / 3, s.sample(12000000));
    // Going back: a zero sample, the reference stays at the higher value.
    EXPECT_DOUBLE_EQ(2000000.0 / 4, s.sample(1000));
    EXPECT_EQ(12000000u, s.last);
    EXPECT_DOUBLE_EQ(3000000.0 / 5, s.sample(13000000));
    // A jump above 2^28 starts over instead of showing a huge rate.
    const double samplesBefore = s.samples;
    EXPECT_GT(samplesBefore, 0);
    EXPECT_EQ(0, s.sample(13000000 + (1ULL << 28) + 1));
    EXPECT_EQ(0, s.samples);
    EXPECT_EQ(0, s.sample(13000000 + (1ULL << 28) + 1));
    EXPECT_EQ(1, s.samples);
    // A step of exactly 2^28 is still a rate.
    DownloadSampler edge;
    edge.sample(0);
    EXPECT_DOUBLE_EQ(static_cast<double>(1ULL << 28) / 2, edge.sample(1ULL << 28));
}

TEST(UpdateProgressMath, RemainingTimeText) {
    const TimeWords words{L"Left", L"calc", L"more than [#Number#] min", L"minute", L"minutes", L"seconds"};
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "Left: calc"},
        {0.5, "Left: calc"},
        {59, "Left: 59 seconds"},
        {60, "Left: 1 minute"},
        {90, "Left: 1 minute"},
        {119, "Left: 1 minute"},
        {120, "Left: 2 minutes"},
        {200, "Left: 3 minutes"},
        {1800, "Left: 30 minutes"},
        {1801, "Left: more than 30 min"},
        {1e12, "Left: more than 30 min"},
        {-5, "Left: calc"},
        {std::numeric_limits<double>::infinity(), "Left: calc"},
        {std::nan(""), "Left: calc"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, narrow(remainingTimeText(c.seconds, words))) << c.seconds;
}

TEST(UpdateProgressMath, Percentages) {
    const u64 MB = 1 << 20;
    EXPECT_EQ(30, downloadPercent(1000 * MB, 300 * MB));
    EXPECT_EQ(100, downloadPercent(1000, 5000)) << "done above total";
    EXPECT_EQ(0, downloadPercent(0, 5000));
    EXPECT_EQ(30, copyPercent(1000 * MB, 300 * MB));
    EXPECT_EQ(99, copyPercent(1000, 1000));
    EXPECT_EQ(99, copyPercent(1000, 9000));
    EXPECT_EQ(0, copyPercent(0, 10));

    const struct {
        u64 total, done;
        int percent;
    } unzip[] = {{10000000, 0, 0},    {10000000, 5000000, 50}, {10000000, 10000000, 100}, {50000, 0, 1},
                 {50000, 25000, 51},  {1000, 0, 99},           {1000, 10, 100},           {~0ULL - 1, ~0ULL - 1, 100}};
    for (const auto& c : unzip) EXPECT_EQ(c.percent, unzipPercent(c.total, c.done)) << c.total << " " << c.done;

    EXPECT_EQ(50, stepPercent(200, 100));
    EXPECT_EQ(100, stepPercent(200, 900));

    EXPECT_EQ("30%", narrow(formatPercent(30, false)));
    EXPECT_EQ("%30", narrow(formatPercent(30, true)));
    EXPECT_EQ("100%", narrow(formatPercent(250, false)));
    EXPECT_EQ("%0", narrow(formatPercent(-3, true)));

    EXPECT_EQ("300 / 1,000 (MB)", narrow(sizesValue(1000 * MB, 300 * MB)));
    EXPECT_EQ("1,000 / 1,000 (MB)", narrow(sizesValue(1000 * MB, 3000 * MB)));
}

TEST(UpdateProgressMath, CopyTimeLeft) {
    const CopyTotals copy{50000000, 700, 300, 3000000000ULL};  // 50,000,000 B/s
    double tail = 0, seconds = -1;
    ASSERT_TRUE(copyRemainSeconds(5000000000ULL, 4000000000ULL, 80, copy, tail, seconds));
    EXPECT_DOUBLE_EQ(30, seconds);
    EXPECT_EQ(0, tail);

    // At 99 % each display lowers the estimate by the grown allowance,
    // which a new update starts again from 0.
    const u64 T = 5000000000ULL;
    for (int n = 1; n <= 3; ++n) {
        ASSERT_TRUE(copyRemainSeconds(T, T - 50000000, 99, copy, tail, seconds));
        EXPECT_NEAR(11 - 0.6 * n, seconds, 1e-9) << n;
    }
    tail = 100;
    ASSERT_TRUE(copyRemainSeconds(T, T, 99, copy, tail, seconds));
    EXPECT_EQ(0, seconds);

    // Done above total leaves nothing to copy, never a wrapped 1.8e19.
    const CopyTotals plain{50000000, 1000, 0, 0};
    ASSERT_TRUE(copyRemainSeconds(1000, 5000, 99, plain, tail, seconds));
    EXPECT_EQ(0, seconds);
    // Nothing verified yet: no rate, no figure.
    EXPECT_FALSE(copyRemainSeconds(T, 0, 0, CopyTotals{0, 0, 0, 0}, tail, seconds));
    EXPECT_FALSE(copyRemainSeconds(T, 0, 0, CopyTotals{0, 10, 0, 0}, tail, seconds));
}

TEST(UpdateProgressMath, CopySamplingAndEstimate) {
    CopySampler s;
    bool reset = false;
    EXPECT_TRUE(s.sample(100, false, reset));
    EXPECT_EQ(100u, s.startSize);
    EXPECT_TRUE(s.sample(300, false, reset));
    EXPECT_EQ(200u, s.delta[1]);
    // A format restarts the sampling once, on a tick without display.
    reset = true;
    EXPECT_FALSE(s.sample(400, false, reset));
    EXPECT_FALSE(reset);
    EXPECT_EQ(0, s.samples);
    EXPECT_TRUE(s.sample(50, false, reset));
    EXPECT_EQ(0u, s.delta[0]) << "a counter that went back";
    // The board's flag restarts too, and the start is the done count.
    EXPECT_TRUE(s.sample(60, true, reset));
    EXPECT_EQ(60u, s.startSize);

    CopySampler e;
    double seconds = -1;
    EXPECT_FALSE(e.estimate(1000, 0, seconds)) << "all samples zero";
    EXPECT_FALSE(e.estimate(1000, 0, seconds));
    EXPECT_EQ(-1, seconds);
    EXPECT_TRUE(e.estimate(1000, 100, seconds));
    EXPECT_DOUBLE_EQ(9, seconds);
    EXPECT_TRUE(e.estimate(1000, 2000, seconds));
    EXPECT_EQ(0, seconds) << "done above total";
    // 1 byte a tick of 100 MB: far above 300 minutes.
    CopySampler slow;
    slow.estimate(100000000, 0, seconds);
    ASSERT_TRUE(slow.estimate(100000000, 1, seconds));
    EXPECT_GT(static_cast<long long>(seconds / 60), 300);
}

TEST(UpdateProgressMath, DestinationTexts) {
    EXPECT_EQ(" (29.8 GB)", narrow(driveSizePart(31250000)));
    EXPECT_EQ(" (1024.0 MB)", narrow(driveSizePart(1024 * 1024)));
    EXPECT_EQ(" ( 1.0 GB)", narrow(driveSizePart(1025 * 1024)));
    EXPECT_EQ(" ( 2.0 TB)", narrow(driveSizePart(2ULL * 1024 * 1024 * 1024)));
    EXPECT_EQ("", narrow(driveSizePart(0)));
    EXPECT_EQ("C: drive", narrow(folderDestination(L"C:\\Kestrune\\Down", L"drive", false)));
    EXPECT_EQ("unidad D: ", narrow(folderDestination(L"D:\\x", L"unidad", true)));
    EXPECT_EQ("C drive", narrow(folderDestination(L"C", L"drive", false)));
}

TEST(UpdateProgressMath, DeviceNameAndType) {
    EXPECT_EQ("Unit Alpha \n(2024 model)", narrow(splitDeviceName(L"Unit Alpha (2024 model)")));
    EXPECT_EQ("\nNameWithoutBracket", narrow(splitDeviceName(L"NameWithoutBracket")));
    const CString longRest = L"A(" + CString(L'x', 50) + L")";
    EXPECT_EQ("A\n(" + std::string(34, 'x') + "...", narrow(splitDeviceName(longRest)));
    const CString exact = L"B(" + CString(L'y', 40) + L")";  // rest of 42 stays whole
    EXPECT_EQ("B\n(" + std::string(40, 'y') + ")", narrow(splitDeviceName(exact)));
    EXPECT_EQ("\n", narrow(splitDeviceName(L"")));

    const struct {
        int type, id;
    } types[] = {{1, 0}, {2, 12561}, {16, 12575}, {17, 0}, {-2, 0}};
    for (const auto& t : types) EXPECT_EQ(t.id, deviceTypeTextId(t.type)) << t.type;
}

}  // namespace
