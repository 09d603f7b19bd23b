// Monitor frames as numbers, and a recording of the virtual unit made by the window's recorder
// and read back as a spreadsheet would read it.
#include "app/LiveSample.h"
#include "app/LiveRecorder.h"
#include "app/Recording.h"
#include "files/TestFiles.h"
#include "link/Monitor.h"
#include "support/Bench.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale>

using namespace zentrola;
using namespace zentrola::testing;
using zentrola::test::readText;
using zentrola::test::ScratchDir;

namespace {

using Bytes = std::array<std::uint8_t, kFrameSize - 1>;

// A frame of a running engine: 10000 rpm, 25 degrees of 30, 13.8 V, curve A, version 92.
Bytes runningFrame() {
    Bytes f{};
    f[FrameByte::Lead] = Lead::MonitorFrame;
    f[MonitorByte::Rpm] = 0x10; // 0x2710 = 10000
    f[MonitorByte::Rpm + 1] = 0x27;
    f[MonitorByte::Voltage] = 0xE8; // 0x35E8 = 13800 mV
    f[MonitorByte::Voltage + 1] = 0x35;
    f[MonitorByte::ProgramCount] = 0x02; // 0x0102 = 258
    f[MonitorByte::ProgramCount + 1] = 0x01;
    for (std::size_t i = 0; i < 8; ++i)
        f[MonitorByte::TestValues + 2 * i] = static_cast<std::uint8_t>(i + 1);
    f[MonitorByte::TestValues + 15] = 0x01; // test 8 = 0x0108 = 264
    f[MonitorByte::Advance] = 125;
    f[MonitorByte::MaxAdvance] = 30;
    f[MonitorByte::Pickup] = 1;
    f[MonitorByte::PolarityCheck] = 1;
    f[MonitorByte::CurveA] = 1;
    f[MonitorByte::Version] = 92;
    return f;
}

// German number formatting for the C library and for the streams: a program that let either
// reach the file would write "13,800".
struct GermanNumbers {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
    bool cLibrary = false;
    GermanNumbers() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"})
            if (std::setlocale(LC_NUMERIC, name)) {
                cLibrary = true;
                break;
            }
    }
    ~GermanNumbers() {
        std::setlocale(LC_NUMERIC, "C");
        std::locale::global(before);
    }
};

} // namespace

TEST(LiveSample, FrameBytesBecomeTheNumbersInEveryLocale) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes; // changes to runningFrame()
        long ticks;
        const char* row;
    };
    const std::vector<Case> cases{
        {"running on curve A",
         {},
         6,
         "0.330,10000,25,0,30,13.800,0,0,0,0,0,0,0,0,1,1,0,A,258,0,92,1,2,3,4,5,6,7,264,0\r\n"},
        {"no pick-up signal: no speed and no advance",
         {{MonitorByte::Pickup, 0}},
         0,
         "0.000,0,,0,30,13.800,0,0,0,0,0,0,0,0,0,1,0,A,258,0,92,1,2,3,4,5,6,7,264,0\r\n"},
        {"base advance in force",
         {{MonitorByte::BaseAdvance, 1}},
         1,
         "0.055,10000,,1,30,13.800,0,0,0,0,0,0,0,0,1,1,0,A,258,0,92,1,2,3,4,5,6,7,264,0\r\n"},
        {"retarded, curve B, every state on, another version",
         {{MonitorByte::Advance, 90},
          {MonitorByte::CurveA, 0},
          {MonitorByte::Voltage, 0x0D}, // 12301 mV
          {MonitorByte::Voltage + 1, 0x30},
          {MonitorByte::Limiter, 1},
          {MonitorByte::StartLimiter, 1},
          {MonitorByte::ShiftLight, 1},
          {MonitorByte::Clutch, 1},
          {MonitorByte::Blocking, 1},
          {MonitorByte::KillSwitch, 1},
          {MonitorByte::Input1, 1},
          {MonitorByte::Input2, 7},
          {MonitorByte::PolarityCheck, 0},
          {MonitorByte::PolarityNegative, 1},
          {MonitorByte::DataError, 1},
          {MonitorByte::Version, 91}},
         65455, // an hour and a bit
         "3600.025,10000,-10,0,30,12.301,1,1,1,1,1,1,1,1,1,0,1,B,258,1,91,1,2,3,4,5,6,7,264,0\r\n"},
    };
    GermanNumbers german;
    // The locale is really in force: a formatted number has a comma.
    std::ostringstream streamed;
    streamed << 13.8;
    ASSERT_EQ(streamed.str(), "13,8");
    if (german.cLibrary) {
        std::array<char, 16> printed{};
        std::snprintf(printed.data(), printed.size(), "%.1f", 13.8);
        ASSERT_STREQ(printed.data(), "13,8");
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes f = runningFrame();
        for (const auto& [at, value] : c.bytes)
            f[at] = value;
        const LiveSample s = liveSample(f, c.ticks);
        EXPECT_EQ(recordingCsvRow(s), c.row);

        // The numbers a chart takes are those of the row, read back.
        const Recording back = readRecording(recordingCsvHeader() + c.row);
        ASSERT_FALSE(back.problem) << static_cast<int>(back.problem->fault);
        ASSERT_EQ(back.rows, 1u);
        for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
            const double value = channelValue(s, static_cast<Channel>(ch));
            const double read = back.columns[ch].at(0);
            if (std::isnan(value))
                EXPECT_TRUE(std::isnan(read)) << kChannelNames[ch];
            else
                EXPECT_DOUBLE_EQ(read, value) << kChannelNames[ch];
        }
    }
    EXPECT_EQ(recordingCsvHeader(),
              "time_s,rpm,advance_deg,base_advance,max_advance_deg,supply_v,limiter,"
              "start_limiter,shift_light,clutch_master,motor_off,kill_switch,input1,input2,"
              "pickup,polarity_check,polarity_negative,curve,programmings,data_error,version,"
              "test1,test2,test3,test4,test5,test6,test7,test8,mark\r\n");
}

TEST(LiveSample, RecordingOfTheVirtualUnitReadsBackRowForRow) {
    ScratchDir dir;
    const auto path = (dir / "run.csv").string();
    Bench b;
    LiveRecorder recorder;
    std::vector<Bytes> frames;
    double clock = 10; // the driver's clock: the recording's time starts at its start
    // As the window does: every decoded frame to the recorder, then the recorder's tick.
    b.view.onMonitor = [&] {
        frames.push_back(b.c.monitor().lastFrame());
        recorder.frame(b.c.monitor().lastFrame(), clock);
    };
    b.start();
    ASSERT_TRUE(recorder.start(path, clock));
    for (int i = 0; i < 400; ++i) {
        clock += 0.055;
        b.tick();
        recorder.tick();
    }
    // The unit revs up: some rows run the curve, some do not.
    ASSERT_TRUE(recorder.stop());
    ASSERT_GE(frames.size(), 60u);
    EXPECT_EQ(recorder.rows(), frames.size());

    const Recording r = readRecordingFile(path);
    ASSERT_FALSE(r.problem) << static_cast<int>(r.problem->fault) << " line " << r.problem->line;
    ASSERT_EQ(r.rows, frames.size());
    EXPECT_TRUE(readText(path).starts_with(recordingCsvHeader()));
    const auto& time = r[Channel::Time];
    for (std::size_t i = 1; i < r.rows; ++i)
        EXPECT_NEAR(time[i] - time[i - 1], 0.33, 1e-9) << "row " << i; // 6 ticks
    std::size_t running = 0;
    for (std::size_t i = 0; i < r.rows; ++i) {
        const LiveSample s = liveSample(frames[i], std::lround(time[i] * 1000) / 55);
        for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
            const double value = channelValue(s, static_cast<Channel>(ch));
            if (std::isnan(value))
                EXPECT_TRUE(std::isnan(r.columns[ch][i])) << kChannelNames[ch] << " row " << i;
            else
                EXPECT_DOUBLE_EQ(r.columns[ch][i], value) << kChannelNames[ch] << " row " << i;
        }
        EXPECT_EQ(r[Channel::Version][i], 92);
        EXPECT_GT(r[Channel::Supply][i], 11.0);
        EXPECT_LT(r[Channel::Supply][i], 15.0);
        running += std::isfinite(r[Channel::Advance][i]) && r[Channel::Rpm][i] > 0 ? 1 : 0;
    }
    EXPECT_GT(running, 0u);
}
