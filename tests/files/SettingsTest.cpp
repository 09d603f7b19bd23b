#include "files/Settings.h"

#include "TestFiles.h"
#include "core/BikeTypes.h"
#include "files/AtomicFile.h"
#include "support/Environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace zentrola;
using zentrola::testing::ScopedEnv;
namespace fs = std::filesystem;

namespace {

ParameterImage defaultSet() {
    ParameterImage image;
    loadDefaults(image);
    return image;
}

} // namespace

// ---- settings file ---------------------------------------------------------------------------

TEST(Settings, FirstStartWithoutFilesKeepsTheStartValues) {
    test::ScratchDir dir;
    Settings s;
    s.left = 100;
    s.width = 800;
    loadSettings(dir / settingsFileName(), s);
    EXPECT_EQ(s.left, 100);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.portIndex, kAutoPortIndex); // automatic scan, not COM20
    EXPECT_EQ(s.scanPosition, 0);
    EXPECT_EQ(s.language, 0);
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.iniDir, "");
    EXPECT_FALSE(s.ignAll);

    ParameterImage image = defaultSet();
    loadBackup(dir / backupFileName(), image);
    EXPECT_EQ(image, defaultSet());
    EXPECT_FALSE(testModeEnabled(dir / testModeFileName()));
}

TEST(Settings, KeysAreReadAsStoredAndLeftForTheRulesToClamp) {
    test::ScratchDir dir;
    test::writeText(dir / "s.ini", "[BASIC]\nLanguage=7\nComPort=4\nComPortAuto=0\n"
                                   "CheckBoxIgnAll->Checked=2\nFile=a.ign\n");
    Settings s;
    loadSettings(dir / "s.ini", s);
    EXPECT_EQ(s.language, 7);
    EXPECT_EQ(s.portIndex, 3);      // COM4
    EXPECT_EQ(s.scanPosition, 255); // 0 - 1 in a byte
    EXPECT_TRUE(s.ignAll);
    EXPECT_EQ(s.file, "a.ign");

    test::writeText(dir / "s.ini", "[BASIC]\nComPort=21\nComPortAuto=5\n");
    loadSettings(dir / "s.ini", s);
    EXPECT_EQ(s.portIndex, 20);
    EXPECT_EQ(s.scanPosition, 4);
}

TEST(Settings, SaveWritesTheKeysInOrderAndLoadRestoresThem) {
    test::ScratchDir dir;
    const fs::path ini = dir / settingsFileName();
    Settings saved{10, -20, 600, 900, 3, 7, 2, "set.ign", "/home/me/set.ign", true, true, {}, {}};
    ASSERT_TRUE(saveSettings(ini, saved));
    EXPECT_EQ(test::readText(ini), "[BASIC]\r\nLeft=10\r\nTop=-20\r\nHeight=600\r\nWidth=900\r\n"
                                   "ComPort=4\r\nComPortAuto=8\r\nLanguage=2\r\nFile=set.ign\r\n"
                                   "IniDir=/home/me/set.ign\r\nCheckBoxIgnAll->Checked=1\r\n"
                                   "MenuLiveChart->Checked=1\r\n");
    Settings loaded;
    loadSettings(ini, loaded);
    EXPECT_EQ(loaded.left, 10);
    EXPECT_EQ(loaded.top, -20);
    EXPECT_EQ(loaded.height, 600);
    EXPECT_EQ(loaded.width, 900);
    EXPECT_EQ(loaded.portIndex, 3);
    EXPECT_EQ(loaded.scanPosition, 7);
    EXPECT_EQ(loaded.language, 2);
    EXPECT_EQ(loaded.file, "set.ign");
    EXPECT_EQ(loaded.iniDir, "/home/me/set.ign");
    EXPECT_TRUE(loaded.ignAll);
    EXPECT_TRUE(loaded.liveChart);
}

TEST(Settings, LiveChartIsHiddenUntilTheFileSaysShown) {
    test::ScratchDir dir;
    const fs::path ini = dir / "s.ini";
    Settings s;
    loadSettings(ini, s);
    EXPECT_FALSE(s.liveChart); // a first start keeps the main window to itself
    for (const auto& [text, shown] : {std::pair{"[BASIC]\nMenuLiveChart->Checked=1\n", true},
                                      std::pair{"[BASIC]\nMenuLiveChart->Checked=0\n", false},
                                      std::pair{"[BASIC]\nMenuLiveChart->Checked=yes\n", false}}) {
        test::writeText(ini, text);
        loadSettings(ini, s);
        EXPECT_EQ(s.liveChart, shown) << text;
    }
}

TEST(Settings, SheetLinesAndRecentFilesComeBackAsTheyWere) {
    test::ScratchDir dir;
    Settings s;
    s.sheet = {"Café \"Racer\" s.r.o.", "  KTM 640 ", "Plug C:\\new\\ NGK\r\nLine 2\n\nLine 4"};
    for (int i = 1; i <= 8; ++i)
        addRecentFile(s.recentFiles, "/bikes/file" + std::to_string(i) + ".ign");
    addRecentFile(s.recentFiles, "/bikes/file5.ign"); // again: to the head, not twice
    ASSERT_TRUE(saveSettings(dir / settingsFileName(), s));

    Settings back;
    loadSettings(dir / settingsFileName(), back);
    EXPECT_EQ(back.sheet.customer, s.sheet.customer);
    EXPECT_EQ(back.sheet.bike, s.sheet.bike);
    EXPECT_EQ(back.sheet.notes, "Plug C:\\new\\ NGK\nLine 2\n\nLine 4") << "CR LF is one break";
    EXPECT_EQ(back.recentFiles, (std::vector<std::string>{"/bikes/file5.ign", "/bikes/file8.ign",
                                                          "/bikes/file7.ign", "/bikes/file6.ign",
                                                          "/bikes/file4.ign", "/bikes/file3.ign"}));
    // The settings file stays one entry a line, the program's own section first.
    const std::string text = *readWholeFile(dir / settingsFileName());
    EXPECT_LT(text.find("[BASIC]"), text.find("[SHEET]"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
}

TEST(Settings, SaveKeepsWhatElseTheFileHolds) {
    test::ScratchDir dir;
    const fs::path ini = dir / "s.ini";
    test::writeText(ini, "; mine\n[Extra]\nColour=blue\n\n[BASIC]\nlanguage=1\nMine=yes\n");
    Settings s;
    ASSERT_TRUE(saveSettings(ini, s));
    const std::string text = test::readText(ini);
    EXPECT_TRUE(text.starts_with("; mine\r\n[Extra]\r\nColour=blue\r\n\r\n[BASIC]\r\nlanguage=0\r\n"
                                 "Mine=yes\r\nLeft=0\r\n"))
        << text;
}

TEST(Settings, FailedSaveLeavesTheOldFilesWhole) {
    test::ScratchDir dir;
    const fs::path ini = dir / "s.ini";
    const fs::path backup = dir / "b.ini";
    test::writeText(ini, "[BASIC]\nLeft=5\n");
    test::writeText(backup, "1 2 3");
    setWriteLimitForTesting(10);
    const bool savedIni = saveSettings(ini, Settings{});
    const bool savedBackup = saveBackup(backup, defaultSet());
    setWriteLimitForTesting(std::nullopt);
    EXPECT_FALSE(savedIni);
    EXPECT_FALSE(savedBackup);
    EXPECT_EQ(test::readText(ini), "[BASIC]\nLeft=5\n");
    EXPECT_EQ(test::readText(backup), "1 2 3");
    EXPECT_EQ(dir.entries(), 2u);
}

// ---- backup file -----------------------------------------------------------------------------

TEST(Backup, RoundTripRestoresTheWholeSpanInFifteenLines) {
    test::ScratchDir dir;
    ParameterImage saved;
    for (std::size_t i = 0; i < kSpanSize; ++i)
        saved[i] = static_cast<std::uint8_t>(i * 37 + 11);
    ASSERT_TRUE(saveBackup(dir / "b", saved));
    const std::string text = test::readText(dir / "b");
    EXPECT_EQ(text.size(), 15u * (10 * 6 + 2));
    EXPECT_TRUE(
        text.starts_with("   11    48    85   122   159   196   233    14    51    88 \r\n"));
    ParameterImage loaded = defaultSet();
    loadBackup(dir / "b", loaded);
    EXPECT_EQ(loaded, saved);
}

TEST(Backup, ShortOrDamagedFileFillsOnlyTheBytesItHas) {
    test::ScratchDir dir;
    std::string forty;
    for (int i = 0; i < 40; ++i)
        forty += std::to_string(200 + i) + (i % 10 == 9 ? "\n" : " ");
    test::writeText(dir / "b", forty);
    ParameterImage image = defaultSet();
    loadBackup(dir / "b", image);
    for (std::size_t i = 0; i < kSpanSize; ++i)
        EXPECT_EQ(image[i], i < 40 ? 200 + i : defaultSet()[i]) << i;

    test::writeText(dir / "b", "3 258 -1 x 7");
    image = defaultSet();
    loadBackup(dir / "b", image);
    EXPECT_EQ(image[0], 3);
    EXPECT_EQ(image[1], 2);               // low byte
    EXPECT_EQ(image[2], 255);             // -1 wraps
    EXPECT_EQ(image[3], defaultSet()[3]); // reading stopped at "x"
    EXPECT_EQ(image[4], defaultSet()[4]);
}

// ---- test mode, folder and names -------------------------------------------------------------

TEST(Settings, TestModeNeedsTheExactToken) {
    test::ScratchDir dir;
    const fs::path file = dir / testModeFileName();
    test::writeText(file, "some words\r\n\tTEST_ENABLE\r\nmore");
    EXPECT_TRUE(testModeEnabled(file));
    test::writeText(file, "TEST_ENABLED test_enable xTEST_ENABLE");
    EXPECT_FALSE(testModeEnabled(file));
}

TEST(Settings, FolderAndNames) {
    EXPECT_EQ(settingsFileName(), "ZENTROLA_v92.ini");
    EXPECT_EQ(backupFileName(), "_ZENTROLA_v92.ini");
    EXPECT_EQ(testModeFileName(), "test_velkor.txt");
    {
        ScopedEnv dir("ZENTROLA_CONFIG_DIR", "/tmp/zentrola-here");
        EXPECT_EQ(configDir(), fs::path("/tmp/zentrola-here"));
    }
#if defined(__linux__)
    ScopedEnv dir("ZENTROLA_CONFIG_DIR", nullptr);
    ScopedEnv home("HOME", "/home/rider");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/etc/xdg-rider");
        EXPECT_EQ(configDir(), fs::path("/etc/xdg-rider/zentrola"));
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(configDir(), fs::path("/home/rider/.config/zentrola"));
#elif defined(_WIN32)
    // A user's name with letters the ANSI code page lacks: only the wide environment has it.
    ScopedEnv dir("ZENTROLA_CONFIG_DIR", nullptr);
    const wchar_t* old = ::_wgetenv(L"APPDATA");
    const std::wstring saved = old != nullptr ? old : L"";
    const std::wstring appData = L"C:\\Users\\Ji\u0159\u00ed\\AppData\\Roaming";
    ::_wputenv_s(L"APPDATA", appData.c_str());
    const fs::path found = configDir();
    ::_wputenv_s(L"APPDATA", saved.c_str());
    EXPECT_EQ(found, fs::path(appData) / "zentrola");
#endif
}

// ---- settings left in the Windows directory by the program before ----------------------------

TEST(Settings, OldSettingsAreTakenOverOnceFromTheMostRecentPlace) {
    struct Case {
        const char* what;
        bool inStore, inWindows, alreadyNew;
        const char* expected; // whose settings the new folder holds afterwards; "" none
    };
    for (const Case& c : {
             Case{"only the Windows directory", false, true, false, "windows"},
             Case{"only the VirtualStore copy", true, false, false, "store"},
             Case{"both: the copy Windows redirected to is the newer", true, true, false, "store"},
             Case{"settings in the new place already", true, true, true, "new"},
             Case{"nothing anywhere", false, false, false, ""},
         }) {
        SCOPED_TRACE(c.what);
        test::ScratchDir dir;
        const fs::path store = dir / "VirtualStore" / "Windows", windows = dir / "Windows",
                       fresh = dir / "AppData" / "zentrola";
        fs::create_directories(store);
        fs::create_directories(windows);
        const auto put = [](const fs::path& folder, const std::string& who) {
            fs::create_directories(folder);
            test::writeText(folder / settingsFileName(), "[BASIC]\r\nFile=" + who + "\r\n");
            test::writeText(folder / backupFileName(), "    1     2 ");
        };
        if (c.inStore)
            put(store, "store");
        if (c.inWindows)
            put(windows, "windows");
        if (c.alreadyNew)
            put(fresh, "new");

        const bool taken = takeOverOldSettings(fresh, {store, windows});
        EXPECT_EQ(taken,
                  std::string(c.expected) == "store" || std::string(c.expected) == "windows");
        Settings s;
        loadSettings(fresh / settingsFileName(), s);
        EXPECT_EQ(s.file, c.expected);
        EXPECT_EQ(fs::exists(fresh / backupFileName()), *c.expected != '\0');
        // Once: the second start finds its own settings and takes nothing.
        EXPECT_FALSE(takeOverOldSettings(fresh, {store, windows}));
        // The old files stay for the old program.
        EXPECT_EQ(fs::exists(store / settingsFileName()), c.inStore);
    }
}

TEST(Settings, ABackupAloneIsTakenOverToo) {
    test::ScratchDir dir;
    const fs::path windows = dir / "Windows", fresh = dir / "new";
    fs::create_directories(windows);
    test::writeText(windows / backupFileName(), "    7 ");
    EXPECT_TRUE(takeOverOldSettings(fresh, {dir / "missing", windows}));
    EXPECT_TRUE(fs::exists(fresh / backupFileName()));
    EXPECT_FALSE(fs::exists(fresh / settingsFileName()));
}

#if defined(_WIN32)
TEST(Settings, TheOldPlacesAreTheWindowsDirectoryAndItsVirtualStore) {
    ScopedEnv root("SystemRoot", "C:\\WINDOWS");
    ScopedEnv local("LOCALAPPDATA", "C:\\Users\\rider\\AppData\\Local");
    const auto folders = oldSettingsFolders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], fs::path("C:\\Users\\rider\\AppData\\Local\\VirtualStore\\WINDOWS"));
    EXPECT_EQ(folders[1], fs::path("C:\\WINDOWS"));
}
#else
TEST(Settings, NoOldPlacesOutsideWindows) {
    EXPECT_TRUE(oldSettingsFolders().empty());
}
#endif
