// A recording of any content. Whatever the reader keeps is sound: every column it has holds
// one number per row, only the advance may be empty, time never goes back; the line of a
// problem lies in the file. Written out again as plain numbers, the kept rows read back to the same numbers
// without a problem.
#include "support/Guarantees.h"

#include "app/LiveSample.h"
#include "app/Recording.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

constexpr std::size_t kNumberRoom = 32;

bool sameNumber(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Recording r = readRecording(text);

    // Line breaks: LF, CR LF, and a CR alone as old spreadsheets on the Mac wrote them.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        lines +=
            text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
    if (r.problem) {
        require(r.problem->fault != RecordingFault::CannotOpen, "cannot open a text");
        require(r.problem->line >= 1 && r.problem->line <= lines + 1,
                "a problem on line " + std::to_string(r.problem->line) + " of " +
                    std::to_string(lines + 1));
    }
    std::string rewritten;
    bool any = false;
    for (std::size_t c = 0; c < kChannelCount; ++c) {
        const auto& column = r.columns[c];
        require(column.empty() || column.size() == r.rows,
                std::string(kChannelNames[c]) + " holds " + std::to_string(column.size()) +
                    " numbers for " + std::to_string(r.rows) + " rows");
        for (const double v : column)
            require(std::isfinite(v) ||
                        (c == static_cast<std::size_t>(Channel::Advance) && std::isnan(v)),
                    std::string(kChannelNames[c]) + " holds a value that is no number");
        if (column.empty())
            continue;
        rewritten += any ? "," : "";
        rewritten += kChannelNames[c];
        any = true;
    }
    if (!any)
        return 0;
    require(!r[Channel::Time].empty() || r.rows == 0, "rows without a time");
    require(std::is_sorted(r[Channel::Time].begin(), r[Channel::Time].end()),
            "kept rows whose time goes back");
    rewritten += "\r\n";
    for (std::size_t row = 0; row < r.rows; ++row) {
        bool first = true;
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            if (r.columns[c].empty())
                continue;
            if (!first)
                rewritten += ',';
            first = false;
            const double v = r.columns[c][row];
            if (std::isnan(v))
                continue;
            std::array<char, kNumberRoom> buffer{};
            rewritten.append(buffer.data(),
                             std::to_chars(buffer.data(), buffer.data() + buffer.size(), v).ptr);
        }
        rewritten += "\r\n";
    }
    const Recording again = readRecording(rewritten);
    require(!again.problem, "the kept rows, written again, do not read");
    require(again.rows == r.rows, "the kept rows, written again, read as another count");
    for (std::size_t c = 0; c < kChannelCount; ++c)
        require(std::equal(again.columns[c].begin(), again.columns[c].end(), r.columns[c].begin(),
                           r.columns[c].end(), sameNumber),
                std::string(kChannelNames[c]) + " reads otherwise when written again");
    return 0;
}
