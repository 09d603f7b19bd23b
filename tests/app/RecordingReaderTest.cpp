// Reading recordings as they come back from a crash, a spreadsheet, a script or the wrong
// folder: the first problem with its line, and every row before it.
#include "app/LiveSample.h"
#include "app/Recording.h"
#include "files/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

using namespace zentrola;
using zentrola::test::ScratchDir;
using zentrola::test::writeText;

namespace {

std::string header() {
    return recordingCsvHeader();
}

// A sound row of the whole header, ticks after the start.
std::string row(long ticks, int rpm = 2000) {
    LiveSample s;
    s.timeS = ticks * 0.055;
    s.rpm = rpm;
    s.pickup = true;
    s.advanceDeg = 12;
    s.supplyV = 13.8;
    s.version = 92;
    return recordingCsvRow(s);
}

std::string rows(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += row(6L * i, 1000 + i);
    return text;
}

// The row with its field `index` (0-based) replaced.
std::string withField(std::string text, std::size_t index, std::string_view field) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i)
        start = text.find(',', start) + 1;
    const std::size_t end = text.find_first_of(",\r", start);
    return text.replace(start, end - start, field);
}

constexpr std::size_t kRpmField = 1;
constexpr std::size_t kCurveField = 17;

} // namespace

TEST(RecordingReader, BadInputsGiveTheFirstProblemAndKeepTheRowsBefore) {
    struct Case {
        const char* what;
        std::string text;
        RecordingFault fault;
        std::size_t line;
        std::size_t rows;
    };
    const std::string three = header() + rows(3);
    const std::vector<Case> cases{
        {"an empty file", "", RecordingFault::Empty, 1, 0},
        {"only line breaks", "\r\n\r\n  \n", RecordingFault::Empty, 1, 0},
        {"the labels' texts of an older recording",
         "Time [s],LabelRpm,LabelMon_Advance\r\n0.000,RPM = 2000,Advance = Basic\r\n",
         RecordingFault::NotARecording, 1, 0},
        {"a parameter file", "[ZENTROLA]\r\nPOCET_BODU=5\r\n", RecordingFault::NotARecording, 1, 0},
        {"a header with a column twice", "time_s,rpm,rpm\r\n0,1,2\r\n",
         RecordingFault::NotARecording, 1, 0},
        {"a header cut inside a quote", "\"time_s,rpm", RecordingFault::NotARecording, 1, 0},
        {"the last row cut off", three + row(18).substr(0, 20), RecordingFault::Truncated, 5, 3},
        {"the last row cut inside a quote", three + "\"0.9", RecordingFault::Truncated, 5, 3},
        {"text where a number belongs",
         header() + row(0, 1000) + withField(row(6), kRpmField, "fast"), RecordingFault::NotANumber,
         3, 1},
        {"a word a number parser would take", header() + withField(row(0), kRpmField, "nan"),
         RecordingFault::NotANumber, 2, 0},
        {"an empty speed", header() + withField(row(0), kRpmField, ""), RecordingFault::NotANumber,
         2, 0},
        {"a curve that is neither A nor B", header() + withField(row(0), kCurveField, "C"),
         RecordingFault::NotANumber, 2, 0},
        {"a quoted word", header() + withField(row(0), kRpmField, "\"1,5\""),
         RecordingFault::NotANumber, 2, 0},
        {"a decimal comma makes a field too many", three + withField(row(18), 5, "13,8"),
         RecordingFault::FieldCount, 5, 3},
        {"a row short of fields", three + "1.0,2000\r\n" + row(30), RecordingFault::FieldCount, 5,
         3},
        {"time that goes back", three + row(6) + row(30), RecordingFault::TimeGoesBack, 5, 3},
        {"a decimal comma in a file of commas", header() + withField(row(0), kRpmField, "\"1,5\""),
         RecordingFault::NotANumber, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Recording r = readRecording(c.text);
        ASSERT_TRUE(r.problem);
        EXPECT_EQ(r.problem->fault, c.fault);
        EXPECT_EQ(r.problem->line, c.line);
        EXPECT_EQ(r.rows, c.rows);
        if (c.fault != RecordingFault::Empty && c.fault != RecordingFault::NotARecording) {
            ASSERT_EQ(r[Channel::Rpm].size(), c.rows);
            for (std::size_t i = 0; i < c.rows; ++i)
                EXPECT_EQ(r[Channel::Rpm][i], 1000 + static_cast<double>(i));
        }
    }
}

TEST(RecordingReader, WhatSpreadsheetsAndScriptsWriteIsRead) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<double> rpm;
    };
    const std::vector<Case> cases{
        {"line feeds only, no break after the last row",
         "time_s,rpm\n0.000,1500\n0.330,1600",
         {1500, 1600}},
        {"a byte order mark and blank lines at the end",
         "\xEF\xBB\xBFtime_s,rpm\r\n0,1500\r\n\r\n",
         {1500}},
        {"quoted names and numbers", "\"time_s\",\"rpm\"\r\n\"0.0\",\"1500\"\r\n", {1500}},
        {"columns moved and one of a script's own",
         "rpm,note,time_s\r\n1500,\"warm, idle\",0\r\n",
         {1500}},
        {"a carriage return alone ends a line, as old Mac spreadsheets wrote",
         "time_s,rpm\r0,1500\r0.33,1600\r",
         {1500, 1600}},
        {"exponents and signs", "time_s,rpm\r\n1e-3,-0\r\n", {0}},
        {"a header without rows", "time_s,rpm\r\n", {}},
        {"blank lines between rows", "time_s,rpm\r\n0,1500\r\n\r\n\n0.33,1600\r\n", {1500, 1600}},
        {"saved again with a decimal comma",
         "time_s;rpm;supply_v_x\r\n0,000;1500;13,8\r\n0,330;1600;13,9\r\n",
         {1500, 1600}},
        {"the same time twice (a clock's coarse step)",
         "time_s,rpm\n0.33,1500\n0.33,1600\n",
         {1500, 1600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Recording r = readRecording(c.text);
        EXPECT_FALSE(r.problem) << static_cast<int>(r.problem->fault) << " line "
                                << r.problem->line;
        EXPECT_EQ(r.rows, c.rpm.size());
        EXPECT_EQ(r[Channel::Rpm], c.rpm);
        EXPECT_EQ(r[Channel::Time].size(), c.rpm.size());
        EXPECT_TRUE(r[Channel::Supply].empty()) << "a channel the file lacks stays empty";
    }

    // Our own rows: an empty advance is no number, the curve a 0 or a 1.
    LiveSample base;
    base.baseAdvance = true;
    base.curve = 'B';
    const Recording r = readRecording(header() + row(0) + recordingCsvRow(base));
    ASSERT_FALSE(r.problem);
    EXPECT_EQ(r[Channel::Advance][0], 12);
    EXPECT_TRUE(std::isnan(r[Channel::Advance][1]));
    EXPECT_EQ(r[Channel::Curve], (std::vector<double>{0, 1}));
    EXPECT_EQ(r[Channel::BaseAdvance], (std::vector<double>{0, 1}));
}

TEST(RecordingReader, AMillionRowsAndFilesThatCannotBeRead) {
    // Two columns keep the test's memory small; the ten-hour file of every column is the
    // benchmark's.
    std::string text = "time_s,rpm\r\n";
    constexpr std::size_t kRows = 1'000'000;
    text.reserve(kRows * 16);
    for (std::size_t i = 0; i < kRows; ++i)
        text += std::to_string(i) + ".330," + std::to_string(i % 12000) + "\r\n";
    const Recording r = readRecording(text);
    EXPECT_FALSE(r.problem);
    ASSERT_EQ(r.rows, kRows);
    EXPECT_EQ(r[Channel::Time].back(), 999'999.33);
    EXPECT_EQ(r[Channel::Rpm][12001], 1);

    ScratchDir dir;
    EXPECT_EQ(readRecordingFile((dir / "missing.csv").string()).problem->fault,
              RecordingFault::CannotOpen);
    EXPECT_EQ(readRecordingFile(dir.path().string()).problem->fault, RecordingFault::CannotOpen);
    writeText(dir / "empty.csv", "");
    EXPECT_EQ(readRecordingFile((dir / "empty.csv").string()).problem->fault,
              RecordingFault::Empty);
    const auto named = dir / "Zündung 1.csv"; // names are UTF-8
    writeText(named, header() + rows(2));
    const Recording back = readRecordingFile(named.string());
    EXPECT_FALSE(back.problem);
    EXPECT_EQ(back.rows, 2u);

    // Two files of 2 GB (sparse: no disk is spent): another logger's is known by its first
    // line, ours is refused by its size, and neither is read into memory.
    for (const auto& [name, first, fault] :
         {std::tuple{"logger.csv", std::string("date;speed\r\n"), RecordingFault::NotARecording},
          std::tuple{"huge.csv", header(), RecordingFault::TooLarge}}) {
        writeText(dir / name, first);
        std::filesystem::resize_file(dir / name, 2 * kMaxRecordingBytes);
        const Recording big = readRecordingFile((dir / name).string());
        ASSERT_TRUE(big.problem) << name;
        EXPECT_EQ(big.problem->fault, fault) << name;
        EXPECT_EQ(big.rows, 0u);
    }
    // A decimal comma read from a file, numbers and all.
    writeText(dir / "comma.csv", "time_s;rpm;supply_v\r\n0,000;1500;13,8\r\n");
    const Recording comma = readRecordingFile((dir / "comma.csv").string());
    ASSERT_FALSE(comma.problem);
    EXPECT_EQ(comma[Channel::Supply], std::vector<double>{13.8});
}
