#include "files/Ini.h"

#include "files/AtomicFile.h"

#include <charconv>
#include <optional>

namespace zentrola {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The name of a section header line, or nothing.
std::optional<std::string_view> headerName(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const auto close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimmed(t.substr(1, close - 1));
}

bool isComment(std::string_view line) {
    const std::string_view t = trimmed(line);
    return !t.empty() && t.front() == ';';
}

// The key of an entry line, or nothing.
std::optional<std::string_view> entryKey(std::string_view line) {
    if (isComment(line) || headerName(line))
        return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trimmed(line.substr(0, eq));
}

std::string_view entryValue(std::string_view line) {
    std::string_view v = trimmed(line.substr(line.find('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

std::optional<int> parsedInt(std::string_view text) {
    std::string_view t = trimmed(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc{} || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

std::string oneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

std::string entry(std::string_view key, std::string_view value) {
    std::string line(key);
    line.push_back('=');
    const std::string v = oneLine(value);
    // Reading takes blanks off the ends and one pair of quotes away: a value it would change
    // (a file name ending in a blank, say) goes in quotes, so it reads back as it was.
    if (entryValue(line + v) != v)
        line += '"' + v + '"';
    else
        line += v;
    return line;
}

} // namespace

IniFile::IniFile(const std::filesystem::path& path) {
    if (const auto content = readWholeFile(path))
        *this = fromText(*content);
}

IniFile IniFile::fromText(std::string_view text) {
    IniFile ini;
    // Every mark at the start goes, not only the first: one left behind would hide the first
    // header now, and come back as the only mark of the saved text, which the next read drops,
    // so a key written meanwhile would end up behind a section that was not seen when it was
    // written.
    while (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    while (!text.empty()) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        ini.lines_.emplace_back(line);
        if (eol == std::string_view::npos)
            break;
        text.remove_prefix(eol + 1);
    }
    return ini;
}

std::size_t IniFile::sectionLine(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (const auto name = headerName(lines_[i]); name && sameName(*name, section))
            return i;
    return lines_.size();
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !headerName(lines_[i]))
        ++i;
    return i;
}

IniFile::Found IniFile::keyLine(std::string_view section, std::string_view key) const {
    const std::size_t header = sectionLine(section);
    if (header == lines_.size())
        return {lines_.size(), false};
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (const auto k = entryKey(lines_[i]); k && sameName(*k, key))
            return {i, true};
    // Not there: a new entry goes after the last non-blank line of the section, so the
    // blank line that separates it from the next section stays where it is.
    std::size_t insert = header + 1;
    for (std::size_t i = header + 1; i < end; ++i)
        if (!trimmed(lines_[i]).empty())
            insert = i + 1;
    return {insert, false};
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    const Found f = keyLine(section, key);
    return std::string(f.found ? entryValue(lines_[f.line]) : fallback);
}

int IniFile::readInt(std::string_view section, std::string_view key, int fallback) const {
    const Found f = keyLine(section, key);
    if (!f.found)
        return fallback;
    return parsedInt(entryValue(lines_[f.line])).value_or(fallback);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    if (sectionLine(section) == lines_.size()) {
        if (!lines_.empty() && !trimmed(lines_.back()).empty())
            lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
    }
    const Found f = keyLine(section, key);
    if (f.found) {
        // The key keeps the spelling it has in the file.
        const std::string_view line = lines_[f.line];
        const std::string keyText(trimmed(line.substr(0, line.find('='))));
        lines_[f.line] = entry(keyText, value);
    } else {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(f.line), entry(key, value));
    }
}

void IniFile::writeInt(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

std::string IniFile::text() const {
    std::string out;
    for (const std::string& line : lines_)
        out.append(line).append("\r\n");
    return out;
}

bool IniFile::save(const std::filesystem::path& path) const {
    return writeFileAtomically(path, text());
}

} // namespace zentrola
