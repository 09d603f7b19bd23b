// A small INI file with the semantics of the Windows private-profile functions: sections
// and keys match without regard to case, a written key is updated in place or appended to
// its section, and everything else in the file (other sections and keys, comments, blank
// lines, the exact spelling of key names) is kept.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zentrola {

class IniFile {
  public:
    IniFile() = default;
    // A missing or unreadable file gives an empty one.
    explicit IniFile(const std::filesystem::path& path);
    // Lines end in LF or CR LF.
    static IniFile fromText(std::string_view text);

    // The value of the key, surrounding blanks and one pair of enclosing quotes removed.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // An optional sign and decimal digits, blanks around allowed; anything else (no value,
    // words, a number out of range) gives the fallback: a damaged entry keeps the setting
    // the program already has instead of turning into a partial number.
    int readInt(std::string_view section, std::string_view key, int fallback) const;

    // Line breaks in a value become blanks, so one entry stays one line. A value that reading
    // would change (blanks at its ends, enclosing quotes) is written in quotes.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, int value);

    // The file as it would be saved, every line ending in CR LF.
    std::string text() const;
    bool save(const std::filesystem::path& path) const;

  private:
    struct Found {
        std::size_t line;
        bool found;
    };
    std::size_t sectionLine(std::string_view section) const; // lines_.size() when missing
    std::size_t sectionEnd(std::size_t header) const;        // first line after the section
    Found keyLine(std::string_view section, std::string_view key) const;

    std::vector<std::string> lines_;
};

} // namespace zentrola
