// What a mechanic reads off a ride: the figures of a stretch, two cursors, the events with the
// marks set while recording, the alignment of a second ride, and where the unit left its curve;
// on recordings written by hand and on rides of the virtual unit recorded as the window does.
#include "app/CurveCheck.h"
#include "app/LiveRecorder.h"
#include "app/RecordingEvents.h"
#include "app/RecordingStatistics.h"
#include "files/TestFiles.h"
#include "support/Bench.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

using namespace zentrola;
using namespace zentrola::testing;
using zentrola::test::ScratchDir;

namespace {

// A recording from a header and rows of text, as a script or a spreadsheet could have left it.
Recording csv(const std::string& header, const std::vector<std::string>& rows) {
    std::string text = header + "\n";
    for (const std::string& r : rows)
        text += r + "\n";
    Recording rec = readRecording(text);
    EXPECT_FALSE(rec.problem) << text;
    return rec;
}

// Rows every 0.33 s from `rpm` values; an empty advance where `advance` is NaN.
Recording ride(const std::vector<double>& rpm, double advance = 20) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < rpm.size(); ++i) {
        std::ostringstream row;
        row << i * 33 / 100.0 << ',' << rpm[i] << ',' << advance;
        rows.push_back(row.str());
    }
    return csv("time_s,rpm,advance_deg", rows);
}

// The virtual unit's ride recorded as the window records it; `during` acts between ticks.
struct Ride {
    ScratchDir dir;
    Bench b;
    LiveRecorder recorder;
    std::string path = (dir / "ride.csv").string();

    double clock = 0; // seconds, a tick's 55 ms at every tick
    explicit Ride(int ticks, const std::function<void(int)>& during = {}) {
        b.view.onMonitor = [&] { recorder.frame(b.c.monitor().lastFrame(), clock); };
        b.start();
        EXPECT_TRUE(recorder.start(path, clock));
        for (int i = 0; i < ticks; ++i) {
            if (during)
                during(i);
            clock += 0.055;
            b.tick();
            recorder.tick();
        }
        EXPECT_TRUE(recorder.stop());
    }
    Recording read() const { return readRecordingFile(path); }
    ParameterImage unitImage() {
        ParameterImage image;
        std::copy(b.unit().eeprom().begin(), b.unit().eeprom().end(), image.span().begin());
        return image;
    }
};

std::vector<RecordingEvent> ofKind(const std::vector<RecordingEvent>& events, EventKind kind) {
    std::vector<RecordingEvent> out;
    for (const RecordingEvent& e : events)
        if (e.kind == kind)
            out.push_back(e);
    return out;
}

} // namespace

TEST(Statistics, StretchFiguresAndTimePerSpeedBand) {
    // 0.33 s a row: stopped, 1500, 2500, 2500, 4000, and an empty advance in the middle.
    const Recording r =
        csv("time_s,rpm,advance_deg,limiter",
            {"0,0,,0", "0.33,1500,10,0", "0.66,2500,,0", "0.99,2500,20,1", "1.32,4000,30,1"});
    const StatisticsIndex index(r);
    const StretchStatistics all = index.stretch(0, 2);
    EXPECT_EQ(all.rows, 5u);
    EXPECT_EQ(all[Channel::Rpm].min, 0);
    EXPECT_EQ(all[Channel::Rpm].max, 4000);
    EXPECT_DOUBLE_EQ(all[Channel::Rpm].mean(), 2100);
    // Empty advances are left out of its figures, not counted as 0.
    EXPECT_EQ(all[Channel::Advance].count, 3u);
    EXPECT_EQ(all[Channel::Advance].min, 10);
    EXPECT_DOUBLE_EQ(all[Channel::Advance].mean(), 20);
    EXPECT_DOUBLE_EQ(all[Channel::Limiter].mean(), 0.4); // the share of rows it was on
    // A channel the file lacks has no figures.
    EXPECT_EQ(all[Channel::Supply].count, 0u);
    EXPECT_TRUE(std::isnan(all[Channel::Supply].mean()));
    // Each row stands for the time to the next; the last for one frame period.
    ASSERT_EQ(all.bandSeconds.size(), 5u);
    EXPECT_NEAR(all.stoppedS, 0.33, 1e-9);
    EXPECT_NEAR(all.bandSeconds[1], 0.33, 1e-9);
    EXPECT_NEAR(all.bandSeconds[2], 0.66, 1e-9);
    EXPECT_NEAR(all.bandSeconds[3], 0.0, 1e-9);
    EXPECT_NEAR(all.bandSeconds[4], 0.33, 1e-9);
    EXPECT_NEAR(all.seconds(), 1.65, 1e-9);

    // A stretch: only its rows.
    const StretchStatistics middle = index.stretch(0.5, 1.0);
    EXPECT_EQ(middle.rows, 2u);
    EXPECT_EQ(middle.firstRow, 2u);
    EXPECT_EQ(middle[Channel::Rpm].min, 2500);
    EXPECT_EQ(middle[Channel::Rpm].max, 2500);
    EXPECT_EQ(middle[Channel::Advance].count, 1u);
    // A stretch between rows has none.
    EXPECT_EQ(index.stretch(0.4, 0.5).rows, 0u);
    EXPECT_EQ(index.stretch(0.4, 0.5)[Channel::Rpm].count, 0u);
}

TEST(Statistics, AGapCountsAsMissingNotAsTimeAtTheLastSpeed) {
    // Unplugged for 10 s at 3000 rpm: the band gets one frame period, not 10 s.
    const Recording r = csv("time_s,rpm", {"0,3000", "0.33,3000", "10.33,3000", "10.66,3000"});
    const StretchStatistics s = StatisticsIndex(r).stretch(0, 100);
    ASSERT_EQ(s.bandSeconds.size(), 4u);
    EXPECT_NEAR(s.bandSeconds[3], 4 * 0.33, 1e-9);
    EXPECT_NEAR(s.missingS, 10 - 0.33, 1e-9);
}

TEST(Statistics, BlocksGiveTheFiguresOfWalkingEveryRow) {
    // Random stretches of a long ride with empty advances: the index must agree with a plain
    // walk over the rows, at the edges of its blocks too.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> speed(0, 12000);
    std::vector<double> rpm(5000);
    for (double& v : rpm)
        v = std::round(speed(random));
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < rpm.size(); ++i)
        rows.push_back(std::to_string(i * 33 / 100.0) + "," + std::to_string(int(rpm[i])) + "," +
                       (i % 7 == 0 ? std::string() : std::to_string(int(i % 40))));
    const Recording r = csv("time_s,rpm,advance_deg", rows);
    const StatisticsIndex index(r, 500);
    std::uniform_int_distribution<std::size_t> at(0, rpm.size());
    for (int trial = 0; trial < 200; ++trial) {
        std::size_t a = at(random), b = at(random);
        if (trial == 0)
            a = 512, b = 1024; // exactly one block
        if (a > b)
            std::swap(a, b);
        const StretchStatistics s = index.rows(a, b);
        double sum = 0, low = 1e9, high = -1e9, band = 0;
        std::size_t advances = 0;
        for (std::size_t i = a; i < b; ++i) {
            sum += rpm[i];
            low = std::min(low, rpm[i]);
            high = std::max(high, rpm[i]);
            advances += i % 7 == 0 ? 0 : 1;
            band += int(rpm[i]) / 500 == 9 ? rowSeconds(r[Channel::Time], i) : 0;
        }
        ASSERT_EQ(s.rows, b - a) << a << ".." << b;
        EXPECT_EQ(s[Channel::Advance].count, advances);
        if (a == b)
            continue;
        EXPECT_NEAR(s[Channel::Rpm].sum, sum, 1e-6) << a << ".." << b;
        EXPECT_EQ(s[Channel::Rpm].min, low);
        EXPECT_EQ(s[Channel::Rpm].max, high);
        EXPECT_NEAR(s.bandSeconds.size() > 9 ? s.bandSeconds[9] : 0.0, band, 1e-9);
    }
}

TEST(Cursors, TimeSpeedChangeAndRpmPerSecondBetweenThem) {
    const Recording r = ride({2000, 3000, 4000, 5000, 5000});
    struct Case {
        std::size_t a, b;
        double seconds, change;
        std::optional<double> perSecond;
    };
    for (const Case& c : {Case{0, 3, 0.99, 3000, 3000 / 0.99}, // rev up
                          Case{3, 0, 0.99, 3000, 3000 / 0.99}, // cursors in either order
                          Case{3, 4, 0.33, 0, 0.0}, Case{2, 2, 0, 0, std::nullopt}}) {
        const auto span = cursorSpan(r, c.a, c.b);
        ASSERT_TRUE(span);
        EXPECT_NEAR(span->seconds, c.seconds, 1e-9);
        EXPECT_EQ(span->rpmChange, c.change);
        EXPECT_EQ(span->rpmPerSecond.has_value(), c.perSecond.has_value());
        if (c.perSecond) {
            EXPECT_NEAR(*span->rpmPerSecond, *c.perSecond, 1e-6);
        }
    }
    EXPECT_FALSE(cursorSpan(r, 0, 5)); // beyond the last row
    const Recording slowdown = ride({6000, 4500});
    EXPECT_NEAR(*cursorSpan(slowdown, 1, 0)->rpmPerSecond, -1500 / 0.33, 1e-6);
}

TEST(Events, StatesLossesCurveSwitchesAndMarksFromAFile) {
    const Recording r =
        csv("time_s,limiter,kill_switch,curve,mark",
            {"0,0,0,A,0", "0.33,1,0,A,0", "0.66,0,0,A,1", "0.99,1,0,A,0", // limiter dips 0.33 s
             "1.32,0,0,A,0", "1.65,0,0,A,0", "1.98,0,0,A,0", "2.31,0,1,B,0", "2.64,0,1,B,2",
             "9.00,0,1,B,0", "9.33,0,0,A,0"});
    const std::vector<RecordingEvent> e = findEvents(r);
    const std::vector<RecordingEvent> want{
        {EventKind::Limiter, 1, 0.33, 0.99, 0},      {EventKind::Mark, 2, 0.66, 0.66, 1},
        {EventKind::KillSwitch, 7, 2.31, 2.64, 0}, // ends at the gap: nothing known in it
        {EventKind::CurveSwitch, 7, 2.31, 2.31, 1},  {EventKind::LostConnection, 8, 2.64, 9.00, 0},
        {EventKind::Mark, 8, 2.64, 2.64, 2},         {EventKind::KillSwitch, 9, 9.00, 9.00, 0},
        {EventKind::CurveSwitch, 10, 9.33, 9.33, 0},
    };
    ASSERT_EQ(e.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(e[i].kind, want[i].kind) << i;
        EXPECT_EQ(e[i].row, want[i].row) << i;
        EXPECT_NEAR(e[i].startS, want[i].startS, 1e-9) << i;
        EXPECT_NEAR(e[i].endS, want[i].endS, 1e-9) << i;
        EXPECT_EQ(e[i].value, want[i].value) << i;
    }
    // A state off for a second or more ends its event.
    const Recording twice =
        csv("time_s,start_limiter", {"0,1", "0.33,0", "0.66,0", "0.99,0", "1.32,0", "1.65,1"});
    EXPECT_EQ(ofKind(findEvents(twice), EventKind::StartLimiter).size(), 2u);
    // Files without those columns have none of their events, and no trouble.
    EXPECT_TRUE(findEvents(csv("time_s,rpm", {"0,100", "0.33,200"})).empty());
}

TEST(Events, TheVirtualUnitsLimiterKillSwitchCurveSwitchAndMarks) {
    // Input 1 as the kill switch, input 2 selects curve B; the engine model revs to the limiter.
    ScratchDir dir;
    Bench b;
    constexpr std::uint8_t kStop = 1, kCurveB = 3; // the inputs' functions
    b.unit().eeprom()[Offset::Input1] = kStop;
    b.unit().eeprom()[Offset::Input2] = kCurveB;
    LiveRecorder recorder;
    double clock = 0;
    b.view.onMonitor = [&] { recorder.frame(b.c.monitor().lastFrame(), clock); };
    b.start();
    ASSERT_TRUE(recorder.start((dir / "r.csv").string(), clock));
    int marks = 0;
    for (int i = 0; i < 1400; ++i) {
        if (i == 500)
            b.unit().setInputs(false, true); // curve B
        if (i == 700)
            b.unit().setInputs(true, true); // kill switch
        if (i == 760)
            b.unit().setInputs(false, false);
        if (i == 100 || i == 900) {
            EXPECT_EQ(recorder.mark(), ++marks);
            EXPECT_EQ(recorder.mark(), marks); // pressed twice before a frame: one mark
        }
        clock += 0.055;
        b.tick();
        recorder.tick();
    }
    ASSERT_TRUE(recorder.stop());
    EXPECT_EQ(recorder.mark(), 0); // not recording
    const Recording r = readRecordingFile((dir / "r.csv").string());
    ASSERT_FALSE(r.problem);
    const std::vector<RecordingEvent> e = findEvents(r);

    const auto markEvents = ofKind(e, EventKind::Mark);
    ASSERT_EQ(markEvents.size(), 2u);
    EXPECT_EQ(markEvents[0].value, 1);
    EXPECT_EQ(markEvents[1].value, 2);
    // The mark lands on the first frame after the key: within one frame period.
    EXPECT_NEAR(markEvents[0].startS, 100 * 0.055, 0.33 + 1e-9);
    EXPECT_GE(markEvents[0].startS, 100 * 0.055 - 1e-9);

    const auto switches = ofKind(e, EventKind::CurveSwitch);
    ASSERT_EQ(switches.size(), 2u); // to B, and back to A at tick 760
    EXPECT_EQ(switches[0].value, 1);
    EXPECT_NEAR(switches[0].startS, 500 * 0.055, 0.33 + 1e-9);
    EXPECT_EQ(switches[1].value, 0);

    const auto kills = ofKind(e, EventKind::KillSwitch);
    ASSERT_EQ(kills.size(), 1u);
    EXPECT_NEAR(kills[0].startS, 700 * 0.055, 0.33 + 1e-9);
    EXPECT_NEAR(kills[0].endS, 760 * 0.055, 0.33 + 1e-9);
    // The engine model reaches the limiter once per cycle of 300 ticks while it runs.
    EXPECT_GE(ofKind(e, EventKind::Limiter).size(), 3u);
    EXPECT_TRUE(ofKind(e, EventKind::LostConnection).empty());
}

TEST(Events, ASecondRideAlignsAtItsStartOrAtTheSameEvent) {
    const Recording first =
        csv("time_s,limiter,mark", {"10,0,0", "10.33,0,1", "10.66,1,0", "10.99,0,0", "11.32,1,2"});
    const Recording second =
        csv("time_s,limiter,mark", {"0,0,0", "0.33,1,0", "0.66,0,1", "0.99,0,0", "5,1,0"});
    const auto e1 = findEvents(first), e2 = findEvents(second);
    EXPECT_DOUBLE_EQ(*alignmentShift(first, e1, second, e2, std::nullopt, 0), 10);
    EXPECT_NEAR(*alignmentShift(first, e1, second, e2, EventKind::Limiter, 0), 10.66 - 0.33, 1e-9);
    EXPECT_NEAR(*alignmentShift(first, e1, second, e2, EventKind::Mark, 0), 10.33 - 0.66, 1e-9);
    // The second ride has one mark only.
    EXPECT_FALSE(alignmentShift(first, e1, second, e2, EventKind::Mark, 1));
    EXPECT_FALSE(alignmentShift(first, e1, second, e2, EventKind::KillSwitch, 0));
    EXPECT_FALSE(alignmentShift(first, e1, Recording{}, {}, std::nullopt, 0));
    // The list tells which of its kind an event is.
    ASSERT_EQ(e1.size(), 3u); // mark 1, limiter, limiter + mark 2 at 11.32
    EXPECT_EQ(ordinalOf(e1, 2), 1u);
}

TEST(CurveCheck, TheCurveBetweenItsPointsBelowTheFirstAndBeyondTheLast) {
    ParameterImage image;
    image[Offset::BaseAdvance] = 5;
    image.at(Curve::A, &CurveOffsets::points) = 3;
    for (auto [k, rpm, adv] : {std::tuple{0, 10, 10}, {1, 30, 30}, {2, 50, 20}}) {
        image.rpm(Curve::A, k) = static_cast<std::uint8_t>(rpm);
        image.advance(Curve::A, k) = static_cast<std::uint8_t>(adv);
    }
    struct Case {
        double rpm, low, high;
    };
    for (const Case& c :
         {Case{0, 5, 10}, Case{999, 5, 10}, Case{1000, 10, 10}, Case{2000, 20, 20},
          Case{3000, 30, 30}, Case{4000, 25, 25}, Case{5000, 20, 20}, Case{14000, 20, 20}}) {
        const AdvanceBand band = curveAdvanceAt(image, Curve::A, c.rpm);
        EXPECT_DOUBLE_EQ(band.low, c.low) << c.rpm;
        EXPECT_DOUBLE_EQ(band.high, c.high) << c.rpm;
    }
}

TEST(CurveCheck, MissesOverADegreeOutsideBaseAdvanceAndLimitersAreMarked) {
    ParameterImage image;
    image.at(Curve::A, &CurveOffsets::points) = 2;
    image.rpm(Curve::A, 0) = 10, image.advance(Curve::A, 0) = 10;
    image.rpm(Curve::A, 1) = 50, image.advance(Curve::A, 1) = 30;
    image.at(Curve::B, &CurveOffsets::points) = 1;
    image.rpm(Curve::B, 0) = 10, image.advance(Curve::B, 0) = 5;
    const std::vector<SettingsAt> settings{{0.5, image}};
    // At 3000 rpm curve A gives 20 degrees.
    const Recording r = csv("time_s,rpm,advance_deg,limiter,curve",
                            {"0,3000,40,0,A",    // before the settings are known: not checked
                             "0.66,3000,21,0,A", // one degree off: the curve
                             "0.99,3000,22,0,A", // two off: marked
                             "1.32,3000,17,0,A", // three below: marked, the same stretch
                             "1.65,3000,,0,A",   // base advance: not checked, ends it
                             "1.98,6000,5,1,A",  // on the limiter: not checked
                             "2.31,3000,5,0,B",  // curve B gives 5: fine
                             "2.64,3000,12,0,B", // curve B: marked
                             "2.97,0,9,0,B"});   // no engine speed: not checked
    const std::vector<double> misses = curveMisses(r, settings);
    ASSERT_EQ(misses.size(), r.rows);
    for (std::size_t i : {0u, 4u, 5u, 8u})
        EXPECT_TRUE(std::isnan(misses[i])) << i;
    EXPECT_DOUBLE_EQ(misses[1], 1);
    EXPECT_DOUBLE_EQ(misses[3], -3);
    const std::vector<RecordingEvent> off = offCurveEvents(r, settings);
    ASSERT_EQ(off.size(), 2u);
    EXPECT_EQ(off[0].row, 2u);
    EXPECT_NEAR(off[0].endS, 1.32, 1e-9);
    EXPECT_EQ(off[0].value, -3); // the largest miss of the stretch
    EXPECT_EQ(off[1].row, 7u);
    EXPECT_EQ(off[1].value, 7);
    // Without known settings nothing is claimed.
    EXPECT_TRUE(offCurveEvents(r, {}).empty());
}

TEST(CurveCheck, TheVirtualUnitRunsItsCurveAndAnotherCurveIsCaught) {
    Ride ride(1200);
    const Recording r = ride.read();
    ASSERT_FALSE(r.problem);
    ASSERT_GT(r.rows, 150u);
    // The settings the unit really holds: it never leaves them.
    const std::vector<SettingsAt> truth{{0, ride.unitImage()}};
    EXPECT_TRUE(offCurveEvents(r, truth).empty());
    std::size_t checked = 0;
    for (double m : curveMisses(r, truth))
        checked += std::isnan(m) ? 0 : 1;
    EXPECT_GT(checked, 50u); // the revving rows were checked, not skipped

    // A file claiming a curve 3 degrees higher than the unit ran: the running rows are marked.
    ParameterImage claimed = ride.unitImage();
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        claimed.advance(Curve::A, k) = static_cast<std::uint8_t>(claimed.advance(Curve::A, k) + 3);
    const auto off = offCurveEvents(r, std::vector<SettingsAt>{{0, claimed}});
    ASSERT_FALSE(off.empty());
    EXPECT_EQ(off.front().value, -3);
}
