// Start-up and shutdown with the settings files, and the Open and Save commands.
#include "support/Bench.h"
#include "support/Unprivileged.h"

#include "app/LiveRecorder.h"
#include "core/BikeTypes.h"
#include "files/AtomicFile.h"
#include "files/Settings.h"
#include "files/Utf8Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace zentrola;
using namespace zentrola::testing;
namespace fs = std::filesystem;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        path = fs::temp_directory_path() /
               ("zentrola-app-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    static inline int counter = 0;
};

void writeText(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Switches the injected read failure off again whatever the test does.
struct ReadLimit {
    explicit ReadLimit(std::size_t bytes) { setReadLimitForTesting(bytes); }
    ~ReadLimit() { setReadLimitForTesting(std::nullopt); }
};

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Files : ::testing::Test {
    TempDir dir;
    StartOptions options() {
        StartOptions o;
        o.configDir = dir.path / "config";
        o.programDir = dir.path.string();
        return o;
    }
};

} // namespace

TEST_F(Files, FirstStartWithoutAnyFile) {
    Bench b;
    b.start(options());
    EXPECT_EQ(b.c.portIndex(), 20);
    EXPECT_EQ(b.c.scanPosition(), 0);
    EXPECT_EQ(b.c.language(), 0);
    EXPECT_EQ(b.c.fileName(), "");
    EXPECT_EQ(b.c.caption(), "  ZENTROLA       ");
    EXPECT_TRUE(b.view.messages.empty());
    ParameterImage defaults;
    loadDefaults(defaults);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        EXPECT_EQ(b.c.image()[i], defaults[i]) << i;
    EXPECT_EQ(b.c.defaultFilePath(), (dir.path / "data.ign").string());
    EXPECT_FALSE(b.c.testMode());
    EXPECT_FALSE(b.c.settings().ignAll);
}

TEST_F(Files, WhatCloseWritesTheNextStartRestores) {
    {
        Bench b;
        b.start(options());
        b.c.form().bikeItem = 9; // Start of lobe
        b.c.form().curveItem = 1;
        b.c.controlEdited();
        b.c.image()[Offset::CurveSelect] = CurveSelection::B;
        b.c.image()[Offset::ReservedHigh] = 77;
        b.c.refreshControls();
        b.c.setLanguage(3);
        b.c.chooseCom(0);
        b.c.settings().ignAll = true;
        b.c.shutdown();
        EXPECT_NE(
            readText(dir.path / "config" / settingsFileName()).find("CheckBoxIgnAll->Checked=1"),
            std::string::npos);
    }
    Bench b;
    b.start(options());
    EXPECT_EQ(b.c.image()[Offset::BikeType], kBikeStartOfLobe);
    EXPECT_EQ(b.c.image()[Offset::CurveSelect], CurveSelection::B);
    EXPECT_EQ(b.c.image()[Offset::ReservedHigh], 77);
    EXPECT_EQ(b.c.language(), 3);
    EXPECT_EQ(b.c.portIndex(), 0);
    EXPECT_TRUE(b.c.settings().ignAll);
    EXPECT_EQ(b.c.texts().TextRead, "Čtení");
    EXPECT_FALSE(b.c.canUndo()); // the history starts from the restored state
}

TEST_F(Files, LanguageFromSettingsAndArgument) {
    fs::create_directories(dir.path / "config");
    writeText(dir.path / "config" / settingsFileName(), "[BASIC]\r\nLanguage=7\r\n");
    {
        Bench b;
        b.start(options());
        EXPECT_EQ(b.c.language(), 0);
        EXPECT_EQ(b.c.texts().TextReadError, "Read error!");
    }
    writeText(dir.path / "config" / settingsFileName(), "[BASIC]\r\nLanguage=2\r\n");
    StartOptions o = options();
    o.languageArgument = "deutsch";
    {
        Bench b;
        b.start(o);
        EXPECT_EQ(b.c.language(), 2); // not a keyword: the settings' language stays
    }
    o.languageArgument = "DEUTSCH";
    Bench b;
    b.start(o);
    EXPECT_EQ(b.c.language(), 1);
}

TEST_F(Files, ShortBackupChangesOnlyItsBytes) {
    fs::create_directories(dir.path / "config");
    std::string numbers;
    for (int i = 0; i < 40; ++i)
        numbers += "    7 ";
    writeText(dir.path / "config" / backupFileName(), numbers);
    writeText(dir.path / "config" / testModeFileName(), "foo TEST_ENABLE\n");
    Bench b;
    b.start(options());
    // Bytes 0..39 run up to curve A's tenth speed point; the rest keep the default set.
    EXPECT_EQ(b.c.image()[Offset::BikeType], 7);
    EXPECT_EQ(b.c.image()[Offset::Pwm], 7);
    EXPECT_EQ(b.c.image()[Offset::LimiterA], 10); // raised by the rules
    EXPECT_EQ(b.c.image().rpm(Curve::A, 1), 8);   // pushed up from point 0
    EXPECT_EQ(b.c.image().rpm(Curve::A, 10), 110);
    EXPECT_EQ(b.c.image().rpm(Curve::B, 0), 10);
    EXPECT_EQ(b.c.image().advance(Curve::A, 0), 7); // type 7 caps advance at base advance
    EXPECT_TRUE(b.c.testMode());
    EXPECT_TRUE(b.c.monitor().display()[MonLabel::Test1].visible);
}

TEST_F(Files, SaveThenOpenShowsTheNameAndNoMessage) {
    Bench b;
    b.start(options());
    b.c.form().setSpinner(Spin::BaseAdvance, 25);
    const std::string path = (dir.path / "set.ign").string();
    EXPECT_EQ(b.c.saveFile(path), FileResult::Done);
    EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 25); // Save captures the controls first
    EXPECT_EQ(b.c.fileName(), path);
    EXPECT_EQ(b.c.caption(), "  ZENTROLA       " + path);

    Bench other;
    other.start(options());
    EXPECT_EQ(other.c.openFile(path), FileResult::Done);
    EXPECT_TRUE(other.view.messages.empty());
    EXPECT_EQ(other.c.image()[Offset::BaseAdvance], 25);
    EXPECT_EQ(other.c.form().spin[Spin::BaseAdvance], 25);
    EXPECT_EQ(other.c.fileName(), path);
    EXPECT_EQ(other.c.lastFilePath(), path);
    EXPECT_TRUE(other.c.canUndo()); // the opened set is one step of the history
}

TEST_F(Files, OpenOfSomethingElse) {
    Bench b;
    b.start(options());
    const ParameterImage before = b.c.image();
    writeText(dir.path / "notes.txt", "just some text\n");
    EXPECT_EQ(b.c.openFile((dir.path / "notes.txt").string()), FileResult::NotAFile);
    EXPECT_EQ(b.view.messages.back(), "Unmatched version of *.ign file!");
    EXPECT_EQ(b.c.openFile((dir.path / "missing.ign").string()), FileResult::FileError);
    EXPECT_EQ(b.view.messages.back(), "Open file error!");
    EXPECT_EQ(b.c.image(), before);
    EXPECT_EQ(b.c.fileName(), "");

    // An older file is loaded and shown before its notice.
    writeText(dir.path / "old.ign", "MORVANTE_KEY 46 LIMITER 80 120 8 BASE_ADV 12");
    EXPECT_EQ(b.c.openFile((dir.path / "old.ign").string()), FileResult::Older);
    EXPECT_EQ(b.view.messages.back().substr(0, 29), "Older version of *.ign file!\n");
    EXPECT_EQ(b.c.image()[Offset::LimiterA], 120);
    EXPECT_EQ(b.c.image().advance(Curve::B, 0), 2); // curve A's 10 minus the retard of 8
}

TEST_F(Files, StartWithFilesThatCannotBeReadTakesTheDefaults) {
    const fs::path config = dir.path / "config";
    for (const std::string& name : {settingsFileName(), backupFileName(), testModeFileName()})
        fs::create_directories(config / name);
    Bench b;
    b.start(options());
    ParameterImage defaults;
    loadDefaults(defaults);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        EXPECT_EQ(b.c.image()[i], defaults[i]) << i;
    EXPECT_FALSE(b.c.testMode());
    EXPECT_FALSE(b.c.monitor().display()[MonLabel::Test1].visible);
    EXPECT_EQ(b.c.portIndex(), 20);
    // Nor can the folders take the files at the end: skipped silently.
    b.c.shutdown();
    EXPECT_TRUE(b.view.messages.empty());
    EXPECT_TRUE(fs::is_directory(config / backupFileName()));
}

TEST_F(Files, OpenOfAFileThatCannotBeReadChangesNothing) {
    Bench b;
    b.start(options());
    const fs::path saved = dir.path / "saved.ign";
    ASSERT_EQ(b.c.saveFile(saved.string()), FileResult::Done);
    // Edited after the save, so that an open of the saved file would show.
    b.c.form().setSpinner(Spin::BaseAdvance, 25);
    b.c.controlEdited();
    const ParameterImage before = b.c.image();
    const std::string caption = b.c.caption();
    fs::create_directory(dir.path / "folder.ign");
    const auto failsToOpen = [&](const fs::path& path) {
        EXPECT_EQ(b.c.openFile(path.string()), FileResult::FileError) << path;
        EXPECT_EQ(b.view.messages.back(), "Open file error!");
    };
    failsToOpen(dir.path / "folder.ign");
    if (fs::exists("/proc/self/mem"))
        failsToOpen("/proc/self/mem");
    {
        ReadLimit limit(100); // the disk fails part-way through the file
        failsToOpen(saved);
    }
    EXPECT_EQ(b.c.image(), before);
    EXPECT_EQ(b.c.form().spin[Spin::BaseAdvance], 25);
    EXPECT_EQ(b.c.caption(), caption);
    EXPECT_EQ(b.c.lastFilePath(), saved.string());
}

TEST_F(Files, FilesTheUserMayNotWriteAreNeverReplaced) {
    const fs::path config = dir.path / "config";
    fs::create_directories(config);
    // Anyone may create files in these folders: only the files' own permissions stop a save.
    fs::permissions(dir.path, fs::perms::all);
    fs::permissions(config, fs::perms::all);
    const fs::path set = dir.path / "locked.ign";
    const std::string old = "the old contents\r\n";
    for (const fs::path& p : {set, config / settingsFileName(), config / backupFileName()}) {
        writeText(p, old);
        fs::permissions(p, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    const auto refused = asUnprivilegedUser([&] {
        Bench b;
        b.start(options());
        const bool saveRefused = b.c.saveFile(set.string()) == FileResult::FileError &&
                                 b.view.messages == std::vector<std::string>{"Open file error!"} &&
                                 b.c.fileName().empty();
        const bool othersSaved = b.c.saveFile((dir.path / "free.ign").string()) == FileResult::Done;
        b.c.shutdown(); // settings and backup: skipped silently
        return saveRefused && othersSaved && b.view.messages.size() == 1;
    });
    if (!refused)
        GTEST_SKIP() << "cannot run as a user without root's rights here";
    EXPECT_TRUE(*refused);
    for (const fs::path& p : {set, config / settingsFileName(), config / backupFileName()}) {
        EXPECT_EQ(*readWholeFile(p), old) << p;
        fs::permissions(p, fs::perms::owner_all); // Windows removes no read-only file
    }
}

TEST_F(Files, SaveAndOpenInFoldersWithLettersBeyondAscii) {
    // The window hands names over in UTF-8, which on Windows is not how a plain std::string
    // names a file.
    for (const char8_t* folder : {u8"Z\u00fcndung", u8"Zapalov\u00e1n\u00ed"}) {
        const fs::path here = dir.path / folder;
        fs::create_directories(here);
        const std::string path = utf8FromPath(here / "set.ign");
        StartOptions o = options();
        o.configDir = here / "config";
        {
            Bench b;
            b.start(o);
            b.c.form().setSpinner(Spin::BaseAdvance, 25);
            ASSERT_EQ(b.c.saveFile(path), FileResult::Done) << path;
            b.c.shutdown();
        }
        EXPECT_TRUE(fs::exists(here / "set.ign")) << path;
        LiveRecorder recorder; // the window records live data into the documents folder
        ASSERT_TRUE(recorder.start(utf8FromPath(here / "live.csv"), 0)) << path;
        EXPECT_TRUE(recorder.stop());
        EXPECT_TRUE(fs::exists(here / "live.csv")) << path;
        EXPECT_EQ(std::distance(fs::directory_iterator(here), fs::directory_iterator()), 3);
        Bench restarted;
        restarted.start(o);
        EXPECT_EQ(restarted.c.lastFilePath(), path); // through the settings file

        Bench b;
        b.start(options());
        EXPECT_EQ(b.c.openFile(path), FileResult::Done) << path;
        EXPECT_TRUE(b.view.messages.empty());
        EXPECT_EQ(b.c.image()[Offset::BaseAdvance], 25);
        EXPECT_EQ(b.c.fileName(), path);
    }
    // A name that is not UTF-8 is a file that cannot be opened, whatever the system.
    Bench b;
    b.start(options());
    EXPECT_EQ(b.c.openFile((dir.path / "x").string() + "\xff.ign"), FileResult::FileError);
}

TEST_F(Files, OpenOfAFileWithCurvesOutOfOrderPutsThemInOrder) {
    Bench b;
    b.start(options());
    std::string text = "MORVANTE_KEY 92 RPM_ADV_A";
    for (int v : {5000, 1000, 3000, 2000, 4000, 0, 9000, 8000, 7000, 6000, 100, 200, 300, 400, 500})
        text += " " + std::to_string(v);
    writeText(dir.path / "odd.ign", text);
    ASSERT_EQ(b.c.openFile((dir.path / "odd.ign").string()), FileResult::Done);
    for (std::size_t i = 1; i < kCurvePoints; ++i)
        EXPECT_LT(b.c.image().rpm(Curve::A, i - 1), b.c.image().rpm(Curve::A, i)) << i;
}

TEST_F(Files, FailedSaveKeepsTheOldFileWhole) {
    Bench b;
    b.start(options());
    const fs::path path = dir.path / "keep.ign";
    writeText(path, "the old contents\r\n");
    setWriteLimitForTesting(100); // the disk fills up part-way
    EXPECT_EQ(b.c.saveFile(path.string()), FileResult::FileError);
    setWriteLimitForTesting(std::nullopt);
    EXPECT_EQ(b.view.messages.back(), "Open file error!");
    EXPECT_EQ(*readWholeFile(path), "the old contents\r\n");
    EXPECT_EQ(b.c.fileName(), "");
    EXPECT_EQ(fs::directory_iterator(dir.path) == fs::directory_iterator(), false);
    for (const auto& e : fs::directory_iterator(dir.path))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

    // A folder that cannot hold files (here: a path through a regular file).
    EXPECT_EQ(b.c.saveFile((path / "x.ign").string()), FileResult::FileError);
    EXPECT_EQ(*readWholeFile(path), "the old contents\r\n");
}
