// What the program keeps between runs: the INI settings file, the backup of the parameter
// image, and the test-mode marker file, all in one folder.
#pragma once

#include "core/ParameterImage.h"
#include "core/PortIndex.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zentrola {

// The lines the mechanic types for the parameter sheet, kept for the next sheet.
struct SheetLines {
    std::string customer;
    std::string bike;
    std::string notes; // may hold line breaks
    bool operator==(const SheetLines&) const = default;
};

inline constexpr std::size_t kRecentFiles = 6;

struct Settings {
    int left = 0;
    int top = 0;
    int height = 0;
    int width = 0;
    std::uint8_t portIndex = kAutoPortIndex; // the program starts with the scan
    std::uint8_t scanPosition = 0;
    std::uint8_t language = 0;
    std::string file;   // current file name shown in the caption
    std::string iniDir; // last file path, given to the file dialogs
    bool ignAll = false;
    bool liveChart = false; // the live chart's window is shown
    SheetLines sheet;
    std::vector<std::string> recentFiles; // newest first, at most kRecentFiles
};

// Puts the path at the head of the list, once, and keeps the newest kRecentFiles.
void addRecentFile(std::vector<std::string>& list, const std::string& path);

// Reads the settings file over `s`: a missing or unreadable file or key keeps the value `s`
// holds.
// Values are not range-checked here; the caller's rules bring them into range.
void loadSettings(const std::filesystem::path& iniPath, Settings& s);
// Writes the keys into the settings file, keeping whatever else the file holds. Like every
// save, false and nothing changed when the file cannot be written.
bool saveSettings(const std::filesystem::path& iniPath, const Settings& s);

// The backup file: the 150-byte span as numbers. A short or damaged file fills the bytes it
// has; one that cannot be read (missing, a folder, a failed read) changes nothing.
void loadBackup(const std::filesystem::path& path, ParameterImage& image);
bool saveBackup(const std::filesystem::path& path, const ParameterImage& image);

// Whether the test-mode file holds the token "TEST_ENABLE"; a file that cannot be read means
// no.
bool testModeEnabled(const std::filesystem::path& path);

// The folder of the three files: ZENTROLA_CONFIG_DIR when set, else "zentrola" in the
// user's configuration folder. The caller creates it when needed.
std::filesystem::path configDir();
// Where a program that kept its settings in the Windows directory left them, most recent first:
// the VirtualStore copy (where Windows redirects the writes of a program without administrator
// rights) and the Windows directory itself. None on other systems.
std::vector<std::filesystem::path> oldSettingsFolders();
// On a first start without settings or backup in dir, both files are copied from the first
// old folder that has either, so port, language and last parameters carry over; the old files
// stay. True when something was taken over.
bool takeOverOldSettings(const std::filesystem::path& dir,
                         const std::vector<std::filesystem::path>& oldFolders);
std::string settingsFileName(); // "ZENTROLA_v92.ini"
std::string backupFileName();   // "_ZENTROLA_v92.ini"
std::string testModeFileName(); // "test_velkor.txt"

} // namespace zentrola
