#include "app/Recording.h"

#include "files/Utf8Path.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <system_error>

namespace zentrola {

namespace {

constexpr std::string_view kRowEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF"; // a spreadsheet may save one
constexpr int kFixedDecimals = 3;                           // milliseconds, millivolts
constexpr std::size_t kNumberRoom = 32;
constexpr std::size_t kNoChannel = kChannelCount; // a column of the file we do not know
constexpr std::size_t kShortWhole = 9;            // digits that always fit a long
constexpr long kDecimalBase = 10;

void appendInt(std::string& out, long value) {
    std::array<char, kNumberRoom> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    out.append(buffer.data(), end);
}

// to_chars ignores the user's locale: a decimal point in every language.
void appendFixed(std::string& out, double value) {
    std::array<char, kNumberRoom> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, kFixedDecimals)
                         .ptr;
    out.append(buffer.data(), end);
}

// ---------------------------------------------------------------- reading

enum class FieldEnd : std::uint8_t { Comma, Line, File, OpenQuote };

// Walks the text field by field, counting lines; fields are views into the text, so a row
// costs no allocation.
class Scanner {
  public:
    explicit Scanner(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool atEnd() const { return p_ == end_; }
    std::size_t line() const { return line_; }
    void setSeparator(char separator) { separator_ = separator; }

    // Passes over one empty line; false when the next line is not empty.
    bool skipEmptyLine() {
        if (p_ == end_ || (*p_ != '\r' && *p_ != '\n'))
            return false;
        if (*p_ == '\r')
            ++p_;
        if (p_ != end_ && *p_ == '\n')
            ++p_;
        ++line_;
        return true;
    }

    // The rest holds nothing but line breaks and blanks: the end of a file some editor left.
    bool onlyBlankLeft() const {
        return std::all_of(p_, end_, [](char c) { return c == '\r' || c == '\n' || c == ' '; });
    }

    // One field without its enclosing quotes (a doubled quote stays doubled: no number has
    // one); how it ended.
    FieldEnd field(std::string_view& out) {
        if (p_ != end_ && *p_ == '"') {
            const char* start = ++p_;
            while (true) {
                const char* q = std::find(p_, end_, '"');
                line_ += static_cast<std::size_t>(std::count(p_, q, '\n'));
                if (q == end_) {
                    p_ = end_;
                    return FieldEnd::OpenQuote;
                }
                p_ = q + 1;
                if (p_ == end_ || *p_ != '"')
                    break;
                ++p_; // a doubled quote inside the field
            }
            out = std::string_view(start, static_cast<std::size_t>(p_ - 1 - start));
        } else {
            const char* start = p_;
            while (p_ != end_ && *p_ != separator_ && *p_ != '\n' && *p_ != '\r')
                ++p_;
            out = std::string_view(start, static_cast<std::size_t>(p_ - start));
        }
        return separator();
    }

  private:
    FieldEnd separator() {
        // Text between a closing quote and the separator belongs to no field; it ends up
        // where a number belongs and is reported there.
        while (p_ != end_ && *p_ != separator_ && *p_ != '\n' && *p_ != '\r')
            ++p_;
        if (p_ == end_)
            return FieldEnd::File;
        if (*p_ == separator_) {
            ++p_;
            return FieldEnd::Comma;
        }
        if (*p_ == '\r')
            ++p_;
        if (p_ != end_ && *p_ == '\n')
            ++p_;
        ++line_;
        return FieldEnd::Line;
    }

    const char* p_;
    const char* end_;
    std::size_t line_ = 1;
    char separator_ = ',';
};

// A spreadsheet set to a decimal comma saves ";" between fields and "," in numbers: a header
// line with a ";" and no ",".
bool decimalCommaForm(std::string_view text) {
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    return first.find(';') != std::string_view::npos && first.find(',') == std::string_view::npos;
}

std::size_t channelNamed(std::string_view name) {
    const auto* it = std::find(kChannelNames.begin(), kChannelNames.end(), name);
    return static_cast<std::size_t>(it - kChannelNames.begin());
}

// A field as its channel's number; false when it holds anything else. With a decimal comma,
// "12,5" is 12.5.
bool fieldValue(std::size_t channel, std::string_view text, double& value, bool decimalComma) {
    std::array<char, kNumberRoom> pointed{};
    if (decimalComma && text.find(',') != std::string_view::npos) {
        if (text.size() > pointed.size() || text.find('.') != std::string_view::npos)
            return false;
        std::replace_copy(text.begin(), text.end(), pointed.begin(), ',', '.');
        text = std::string_view(pointed.data(), text.size());
    }
    if (channel == static_cast<std::size_t>(Channel::Advance) && text.empty()) {
        value = std::numeric_limits<double>::quiet_NaN(); // the base advance was in force
        return true;
    }
    if (channel == static_cast<std::size_t>(Channel::Curve) && text.size() == 1 &&
        (text[0] == 'A' || text[0] == 'B')) {
        value = text[0] == 'A' ? 0.0 : 1.0;
        return true;
    }
    // Most fields are a 0 or 1 or a small count: whole numbers skip the general parser.
    const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() > sign && text.size() - sign <= kShortWhole) {
        long whole = 0;
        std::size_t i = sign;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            whole = whole * kDecimalBase + (text[i++] - '0');
        if (i == text.size()) {
            value = static_cast<double>(sign ? -whole : whole);
            return true;
        }
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    // from_chars also takes "inf" and "nan": words, not measurements.
    return ec == std::errc() && ptr == last && !text.empty() && std::isfinite(value);
}

} // namespace

std::string recordingCsvHeader() {
    std::string row;
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        if (i != 0)
            row += ',';
        row += kChannelNames[i];
    }
    return row.append(kRowEnd);
}

std::string recordingCsvRow(const LiveSample& s) {
    // Column by column in the order of the channels, so the row cannot drift from the header.
    std::string row;
    row.reserve(kChannelCount * 4);
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        const auto channel = static_cast<Channel>(i);
        if (i > 0)
            row += ',';
        const double v = channelValue(s, channel);
        if (channel == Channel::Curve)
            row += s.curve == 'B' ? 'B' : 'A';
        else if (channel == Channel::Time || channel == Channel::Supply)
            appendFixed(row, v);
        else if (!std::isnan(v)) // an empty advance stays an empty field
            appendInt(row, static_cast<int>(v));
    }
    return row.append(kRowEnd);
}

Recording readRecording(std::string_view text) {
    Recording rec;
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    Scanner scan(text);
    const auto fail = [&](RecordingFault fault, std::size_t line) {
        rec.problem = RecordingProblem{fault, line};
        return rec;
    };
    if (scan.onlyBlankLeft())
        return fail(RecordingFault::Empty, 1);
    const bool decimalComma = decimalCommaForm(text);
    if (decimalComma)
        scan.setSeparator(';');

    // The header: our column names in any order (a script may have dropped or moved some);
    // columns we do not know are passed over. Without a time column it is not ours.
    std::vector<std::size_t> channelOf;
    std::array<bool, kChannelCount> present{};
    for (FieldEnd end = FieldEnd::Comma; end == FieldEnd::Comma;) {
        std::string_view name;
        end = scan.field(name);
        if (end == FieldEnd::OpenQuote)
            return fail(RecordingFault::NotARecording, 1);
        std::size_t channel = channelNamed(name);
        if (channel != kNoChannel) {
            if (present[channel])
                return fail(RecordingFault::NotARecording, 1);
            present[channel] = true;
        }
        channelOf.push_back(channel);
    }
    if (!present[static_cast<std::size_t>(Channel::Time)])
        return fail(RecordingFault::NotARecording, 1);

    // One reservation for the rows the line breaks promise: a long recording fills its
    // columns without copying them again and again.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    for (std::size_t c = 0; c < kChannelCount; ++c)
        if (present[c])
            rec.columns[c].reserve(lines);

    // A row's fields first, then their numbers: a field too many or too few is said as such,
    // not as the text that slid into a number's place.
    std::vector<std::string_view> fields;
    fields.reserve(channelOf.size() + 1);
    std::array<double, kChannelCount> row{};
    const std::size_t timeChannel = static_cast<std::size_t>(Channel::Time);
    while (!scan.atEnd()) {
        if (scan.onlyBlankLeft())
            break;
        // An empty line in the middle is an editor's, not a row.
        if (scan.skipEmptyLine())
            continue;
        const std::size_t line = scan.line();
        fields.clear();
        FieldEnd end = FieldEnd::Comma;
        while (end == FieldEnd::Comma) {
            std::string_view field;
            end = scan.field(field);
            fields.push_back(field);
        }
        // A file that stops inside a row was cut off while it was written.
        if (end == FieldEnd::OpenQuote ||
            (end == FieldEnd::File && fields.size() < channelOf.size()))
            return fail(RecordingFault::Truncated, line);
        if (fields.size() != channelOf.size())
            return fail(RecordingFault::FieldCount, line);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::size_t channel = channelOf[i];
            if (channel != kNoChannel &&
                !fieldValue(channel, fields[i], row[channel], decimalComma))
                return fail(RecordingFault::NotANumber, line);
        }
        // Rows in the order they were taken: a time before the one above is not a recording
        // of one ride (two files pasted together, rows sorted by another column).
        if (rec.rows > 0 && row[timeChannel] < rec.columns[timeChannel].back())
            return fail(RecordingFault::TimeGoesBack, line);
        for (std::size_t c = 0; c < kChannelCount; ++c)
            if (present[c])
                rec.columns[c].push_back(row[c]);
        ++rec.rows;
    }
    return rec;
}

Recording readRecordingFile(const std::string& path) {
    const std::filesystem::path file = pathFromUtf8(path);
    const auto fail = [](RecordingFault fault, std::size_t line) {
        Recording rec;
        rec.problem = RecordingProblem{fault, line};
        return rec;
    };
    // A folder opens as a stream on some systems and claims an endless size.
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(file, error);
    const std::uintmax_t size = regular ? std::filesystem::file_size(file, error) : 0;
    std::ifstream in;
    if (regular && !error)
        in.open(file, std::ios::binary);
    if (!regular || error || !in)
        return fail(RecordingFault::CannotOpen, 0);
    // The header first: a large file of another logger is known by its first line, before
    // anything else of it is read.
    constexpr std::size_t kHeaderRoom = 64 * 1024;
    std::string head(static_cast<std::size_t>(std::min<std::uintmax_t>(size, kHeaderRoom)), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    if (!in)
        return fail(RecordingFault::CannotOpen, 0);
    const std::size_t lineEnd = head.find_first_of("\r\n");
    if (lineEnd != std::string::npos || size <= kHeaderRoom) {
        const Recording header = readRecording(std::string_view(head).substr(0, lineEnd));
        if (header.problem && header.problem->fault != RecordingFault::Empty)
            return header;
    }
    if (size > kMaxRecordingBytes)
        return fail(RecordingFault::TooLarge, 0);
    // Not a string: its resize would clear every byte before the read writes it again.
    std::unique_ptr<char[]> text(new char[size]);
    std::copy(head.begin(), head.end(), text.get());
    in.read(text.get() + head.size(), static_cast<std::streamsize>(size - head.size()));
    if (!in && size > head.size())
        return fail(RecordingFault::CannotOpen, 0);
    return readRecording(std::string_view(text.get(), static_cast<std::size_t>(size)));
}

} // namespace zentrola
