// An INI file of any content. The tail of the input is a value to write. Writing one key
// must keep every other entry as it read before, the written value must read back as written
// (line breaks as blanks), and all of it must survive the file's text being read again.
#include "support/Guarantees.h"

#include "files/Ini.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

using Entry = std::pair<std::string, std::string>; // section, key

constexpr std::size_t kMostProbes = 32;
constexpr std::size_t kValueLength = 16;
constexpr std::string_view kMissing = "\x01missing";

std::string_view blanksOff(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return low(x) == low(y);
    });
}

// The keys this program writes.
const std::array<Entry, 10> kOwnKeys{{{"BASIC", "Left"},
                                      {"BASIC", "Top"},
                                      {"BASIC", "Height"},
                                      {"BASIC", "Width"},
                                      {"BASIC", "ComPort"},
                                      {"BASIC", "ComPortAuto"},
                                      {"BASIC", "Language"},
                                      {"BASIC", "File"},
                                      {"BASIC", "IniDir"},
                                      {"BASIC", "CheckBoxIgnAll->Checked"}}};

// The entries a reader of the text would expect: the program's own and the keys under a
// "[section]" line.
std::vector<Entry> probes(std::string_view text) {
    std::vector<Entry> out(kOwnKeys.begin(), kOwnKeys.end());
    std::string section;
    bool inSection = false;
    while (!text.empty() && out.size() < kMostProbes) {
        const auto eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::string_view t = blanksOff(line);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
            section = blanksOff(t.substr(1, t.find(']') - 1));
            inSection = true;
        } else if (inSection && !t.empty() && t.front() != ';' &&
                   line.find('=') != std::string_view::npos) {
            out.emplace_back(section, blanksOff(line.substr(0, line.find('='))));
        }
    }
    return out;
}

std::vector<std::string> readAll(const IniFile& ini, const std::vector<Entry>& entries) {
    std::vector<std::string> values;
    for (const auto& [section, key] : entries)
        values.push_back(ini.readString(section, key, kMissing));
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = size > kValueLength ? size - kValueLength : 0;
    const std::string_view text = input.substr(0, split);
    const std::string value(input.substr(split));

    IniFile ini = IniFile::fromText(text);
    const std::vector<Entry> entries = probes(text);
    const std::vector<std::string> before = readAll(ini, entries);

    // Every read copes with whatever the value holds.
    const int number = ini.readInt("BASIC", "Left", -7);
    ini.readInt("BASIC", "Language", 0);

    // The key to write: one of the program's own, in whatever spelling the file has it.
    const Entry written = kOwnKeys[size % kOwnKeys.size()];
    ini.writeString(written.first, written.second, value);
    std::string expected = value;
    std::replace(expected.begin(), expected.end(), '\r', ' ');
    std::replace(expected.begin(), expected.end(), '\n', ' ');

    const IniFile reloaded = IniFile::fromText(ini.text());
    for (const IniFile* file : {static_cast<const IniFile*>(&ini), &reloaded}) {
        const std::vector<std::string> after = readAll(*file, entries);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& [section, key] = entries[i];
            const bool same = sameName(section, written.first) && sameName(key, written.second);
            require(after[i] == (same ? expected : before[i]),
                    "[" + section + "] " + key + " reads \"" + after[i] + "\" after writing [" +
                        written.first + "] " + written.second);
        }
    }

    // An integer written reads back, whatever was there.
    const int other = number == std::numeric_limits<int>::min() ? 0 : number - 1;
    ini.writeInt("BASIC", "Left", other);
    require(IniFile::fromText(ini.text()).readInt("BASIC", "Left", 0) == other,
            "an integer did not read back");
    return 0;
}
