#include "files/Settings.h"

#include "files/AtomicFile.h"
#include "files/Ini.h"
#include "files/TokenScanner.h"

#include <algorithm>
#include <cstdlib>

namespace zentrola {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSection = "BASIC";
constexpr std::string_view kLeft = "Left";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kHeight = "Height";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kComPort = "ComPort";
constexpr std::string_view kComPortAuto = "ComPortAuto";
constexpr std::string_view kLanguage = "Language";
constexpr std::string_view kFile = "File";
constexpr std::string_view kIniDir = "IniDir";
constexpr std::string_view kIgnAll = "CheckBoxIgnAll->Checked";
constexpr std::string_view kLiveChart = "MenuLiveChart->Checked";

// The parameter sheet's lines and the recent files, each in a section of its own.
constexpr std::string_view kSheetSection = "SHEET";
constexpr std::string_view kCustomer = "Customer";
constexpr std::string_view kBike = "Bike";
constexpr std::string_view kNotes = "Notes";
constexpr std::string_view kRecentSection = "RECENT";
constexpr std::string_view kRecentKey = "File";
constexpr std::string_view kAbsent = "\x01"; // no key reads as this

constexpr std::size_t kBackupNumbersPerLine = 10;
constexpr std::string_view kTestToken = "TEST_ENABLE";
constexpr std::string_view kFolderName = "zentrola";

// The port keys hold index + 1; what comes back is taken as a byte, whatever was stored.
std::uint8_t portValue(const IniFile& ini, std::string_view key, std::uint8_t current) {
    return static_cast<std::uint8_t>(ini.readInt(kSection, key, current + 1) - 1);
}

std::string baseName() {
    return "ZENTROLA_v" + std::to_string(kVersion);
}

fs::path environmentPath(const char* name) {
#ifdef _WIN32
    // Windows keeps the environment in wide strings; the narrow copy loses every letter of a
    // user's name that the ANSI code page lacks.
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = ::_wgetenv(wide.c_str());
#else
    const char* value = std::getenv(name);
#endif
    return value != nullptr ? fs::path(value) : fs::path();
}

// An INI value is one line: the notes' line breaks travel as "\n", a backslash as "\\".
std::string escapeLines(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // CR LF is one break
        else if (c == '\r')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string unescapeLines(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
            out += text[i + 1] == 'n' ? '\n' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string recentKey(std::size_t i) {
    return std::string(kRecentKey) + std::to_string(i + 1);
}

} // namespace

void addRecentFile(std::vector<std::string>& list, const std::string& path) {
    if (path.empty())
        return;
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > kRecentFiles)
        list.resize(kRecentFiles);
}

void loadSettings(const fs::path& iniPath, Settings& s) {
    const IniFile ini(iniPath);
    s.left = ini.readInt(kSection, kLeft, s.left);
    s.top = ini.readInt(kSection, kTop, s.top);
    s.height = ini.readInt(kSection, kHeight, s.height);
    s.width = ini.readInt(kSection, kWidth, s.width);
    // A missing port key keeps the current value. Taking the stored form's default without
    // its "+ 1" would turn the automatic scan (20) into COM20 on every first start.
    s.portIndex = portValue(ini, kComPort, s.portIndex);
    s.scanPosition = portValue(ini, kComPortAuto, s.scanPosition);
    s.language = static_cast<std::uint8_t>(ini.readInt(kSection, kLanguage, s.language));
    s.file = ini.readString(kSection, kFile, s.file);
    s.iniDir = ini.readString(kSection, kIniDir, s.iniDir);
    s.ignAll = ini.readInt(kSection, kIgnAll, s.ignAll ? 1 : 0) != 0;
    s.liveChart = ini.readInt(kSection, kLiveChart, s.liveChart ? 1 : 0) != 0;
    s.sheet.customer = ini.readString(kSheetSection, kCustomer, s.sheet.customer);
    s.sheet.bike = ini.readString(kSheetSection, kBike, s.sheet.bike);
    s.sheet.notes =
        unescapeLines(ini.readString(kSheetSection, kNotes, escapeLines(s.sheet.notes)));
    std::vector<std::string> recent;
    for (std::size_t i = 0; i < kRecentFiles; ++i) {
        const std::string path = ini.readString(kRecentSection, recentKey(i), {});
        if (!path.empty() && std::find(recent.begin(), recent.end(), path) == recent.end())
            recent.push_back(path);
    }
    if (!recent.empty())
        s.recentFiles = std::move(recent);
}

bool saveSettings(const fs::path& iniPath, const Settings& s) {
    IniFile ini(iniPath);
    ini.writeInt(kSection, kLeft, s.left);
    ini.writeInt(kSection, kTop, s.top);
    ini.writeInt(kSection, kHeight, s.height);
    ini.writeInt(kSection, kWidth, s.width);
    ini.writeInt(kSection, kComPort, s.portIndex + 1);
    ini.writeInt(kSection, kComPortAuto, s.scanPosition + 1);
    ini.writeInt(kSection, kLanguage, s.language);
    ini.writeString(kSection, kFile, s.file);
    ini.writeString(kSection, kIniDir, s.iniDir);
    ini.writeInt(kSection, kIgnAll, s.ignAll ? 1 : 0);
    ini.writeInt(kSection, kLiveChart, s.liveChart ? 1 : 0);
    // Sections the user never filled stay out of the file; one once filled is kept current.
    const auto write = [&ini](std::string_view section, std::string_view key,
                              const std::string& value) {
        if (!value.empty() || ini.readString(section, key, kAbsent) != kAbsent)
            ini.writeString(section, key, value);
    };
    write(kSheetSection, kCustomer, s.sheet.customer);
    write(kSheetSection, kBike, s.sheet.bike);
    write(kSheetSection, kNotes, escapeLines(s.sheet.notes));
    for (std::size_t i = 0; i < kRecentFiles; ++i)
        write(kRecentSection, recentKey(i),
              i < s.recentFiles.size() ? s.recentFiles[i] : std::string());
    return ini.save(iniPath);
}

void loadBackup(const fs::path& path, ParameterImage& image) {
    const auto text = readWholeFile(path);
    if (!text)
        return;
    TokenScanner scanner(*text);
    for (std::uint8_t& byte : image.span()) {
        const auto value = scanner.number();
        if (!value)
            return;
        byte = static_cast<std::uint8_t>(*value);
    }
}

bool saveBackup(const fs::path& path, const ParameterImage& image) {
    std::string out;
    std::size_t column = 0;
    for (std::uint8_t byte : image.span()) {
        const std::string number = std::to_string(byte);
        out.append(5 - number.size(), ' ').append(number).push_back(' ');
        if (++column == kBackupNumbersPerLine) {
            out.append("\r\n");
            column = 0;
        }
    }
    return writeFileAtomically(path, out);
}

bool testModeEnabled(const fs::path& path) {
    const auto text = readWholeFile(path);
    if (!text)
        return false;
    TokenScanner scanner(*text);
    while (const auto token = scanner.token())
        if (*token == kTestToken)
            return true;
    return false;
}

fs::path configDir() {
    if (fs::path dir = environmentPath("ZENTROLA_CONFIG_DIR"); !dir.empty())
        return dir;
#if defined(_WIN32)
    fs::path base = environmentPath("APPDATA");
#elif defined(__APPLE__)
    fs::path base = environmentPath("HOME");
    if (!base.empty())
        base /= "Library/Preferences";
#else
    // A relative XDG_CONFIG_HOME is invalid and is to be ignored.
    fs::path base = environmentPath("XDG_CONFIG_HOME");
    if (!base.is_absolute()) {
        base = environmentPath("HOME");
        if (!base.empty())
            base /= ".config";
    }
#endif
    // Without any of these the files live in the current folder's "zentrola".
    return base / kFolderName;
}

std::vector<fs::path> oldSettingsFolders() {
    std::vector<fs::path> folders;
#if defined(_WIN32)
    fs::path windows = environmentPath("SystemRoot");
    if (windows.empty())
        windows = environmentPath("windir");
    const fs::path local = environmentPath("LOCALAPPDATA");
    if (!local.empty() && !windows.empty() && windows.has_relative_path())
        folders.push_back(local / "VirtualStore" / windows.relative_path());
    if (!windows.empty())
        folders.push_back(windows);
#endif
    return folders;
}

bool takeOverOldSettings(const fs::path& dir, const std::vector<fs::path>& oldFolders) {
    std::error_code ec;
    const std::string names[] = {settingsFileName(), backupFileName()};
    for (const auto& name : names)
        if (fs::exists(dir / name, ec))
            return false;
    for (const fs::path& old : oldFolders) {
        bool any = false;
        for (const auto& name : names)
            any = any || fs::is_regular_file(old / name, ec);
        if (!any)
            continue;
        fs::create_directories(dir, ec);
        bool copied = false;
        for (const auto& name : names)
            if (fs::is_regular_file(old / name, ec))
                copied = fs::copy_file(old / name, dir / name, ec) || copied;
        return copied;
    }
    return false;
}

std::string settingsFileName() {
    return baseName() + ".ini";
}
std::string backupFileName() {
    return "_" + settingsFileName();
}
std::string testModeFileName() {
    return "test_velkor.txt";
}

} // namespace zentrola
