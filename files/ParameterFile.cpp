#include "files/ParameterFile.h"

#include "core/BikeTypes.h"
#include "files/TokenScanner.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zentrola {

namespace {

constexpr std::string_view kFileKey = "MORVANTE_KEY";
constexpr std::string_view kEol = "\r\n";

// ---- writing ------------------------------------------------------------------------------

enum class Print : std::uint8_t {
    Plain,      // "%5u " of the byte
    Hundreds,   // "%5u " of byte x 100
    Fives,      // "%5u " of byte x 5
    Tens,       // "%5u " of byte x 10
    Correction, // "%5d " of byte - 100
    Flag,       // "   1" or "   0", no blank after
};

// One run of values; a key starts a new line, an empty key continues the line before.
struct Written {
    std::string_view key;
    std::size_t blanks;
    std::size_t offset;
    Print print;
    std::size_t count = 1;
};

constexpr std::array kWritten{
    Written{"BIKE", 8, Offset::BikeType, Print::Plain},
    Written{"AB", 2, Offset::CurveSelect, Print::Plain},
    Written{"POCET_BODU", 2, Offset::PointsA, Print::Plain},
    Written{"", 0, Offset::PointsB, Print::Plain},
    Written{"RPM_ADV_A", 3, Offset::RpmA, Print::Hundreds, kCurvePoints},
    Written{"ADVANCE_A", 3, Offset::AdvanceA, Print::Plain, kCurvePoints},
    Written{"RPM_ADV_B", 3, Offset::RpmB, Print::Hundreds, kCurvePoints},
    Written{"ADVANCE_B", 3, Offset::AdvanceB, Print::Plain, kCurvePoints},
    Written{"BASE_ADV", 4, Offset::BaseAdvance, Print::Plain},
    Written{"LIMITER", 5, Offset::StartLimiterA, Print::Hundreds},
    Written{"", 0, Offset::LimiterA, Print::Hundreds},
    Written{"", 0, Offset::StartLimiterB, Print::Hundreds},
    Written{"", 0, Offset::LimiterB, Print::Hundreds},
    Written{"POLARITA", 4, Offset::Polarity, Print::Plain},
    Written{"GEBER_NR", 4, Offset::Lobes, Print::Plain},
    Written{"PILOT_LIGHT", 7, Offset::ShiftLightA, Print::Hundreds},
    Written{"", 0, Offset::ShiftLightB, Print::Hundreds},
    Written{"PILOT_LIGHT_PWM", 3, Offset::Pwm, Print::Tens},
    Written{"REV_OUT_PILOT_LIGHT", 0, Offset::ReverseOutput, Print::Flag},
    Written{"CLUTCH", 6, Offset::ClutchTimeA, Print::Fives},
    Written{"", 0, Offset::ClutchPauseA, Print::Hundreds},
    Written{"", 0, Offset::ClutchTimeB, Print::Fives},
    Written{"", 0, Offset::ClutchPauseB, Print::Hundreds},
    Written{"NO_READING", 3, Offset::NoReading, Print::Flag},
    Written{"RPM", 9, Offset::RpmPulses, Print::Plain},
    Written{"", 0, Offset::RpmCorrection, Print::Correction},
    Written{"INPUT", 7, Offset::Input1, Print::Plain},
    // Input 2 goes out as "%5d "; a byte prints the same either way.
    Written{"", 0, Offset::Input2, Print::Plain},
    Written{"TEST", 8, Offset::TestRpm, Print::Hundreds},
};

// The number right-aligned in `width` characters.
void appendNumber(std::string& out, int value, std::size_t width) {
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    const auto length = static_cast<std::size_t>(end - digits.data());
    if (length < width)
        out.append(width - length, ' ');
    out.append(digits.data(), length);
}

int printedValue(Print print, std::uint8_t byte) {
    switch (print) {
    case Print::Hundreds:
        return toPosition(Conversion::Hundreds, byte);
    case Print::Fives:
        return toPosition(Conversion::Fives, byte);
    case Print::Tens:
        return toPosition(Conversion::Tens, byte);
    case Print::Correction:
        return toPosition(Conversion::Correction, byte);
    case Print::Flag:
        return byte != 0 ? 1 : 0;
    case Print::Plain:
        break;
    }
    return byte;
}

// Texts from the unit or the build go into one line each; a control character would break
// the line structure of the file, so it becomes a blank.
void appendText(std::string& out, std::string_view text) {
    for (char c : text)
        out.push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
}

// ---- reading ------------------------------------------------------------------------------

inline constexpr std::uint16_t kCurrentVersion = kVersion;
// Versions the reader knows by number; any other one is read as this one.
inline constexpr std::array<std::uint16_t, 5> kOlderVersions{19, 27, 33, 41, 46};
inline constexpr std::uint16_t kUnknownOlderVersion = 67;
// Files up to this version carry so little that the default set is loaded first.
inline constexpr std::uint16_t kLastVersionWithoutDefaults = 27;
// From this version on, LIMITER carries the start limiter and curve B's retard.
inline constexpr std::uint16_t kFirstVersionWithStartLimiter = 33;

inline constexpr std::uint8_t kFullPwm = 10;      // 100 %, for files without PILOT_LIGHT_PWM
inline constexpr std::uint8_t kDefaultRetard = 6; // degrees curve B lies below curve A
// An advance byte above this is a negative difference.
inline constexpr std::uint8_t kLargestAdvance = 128;

enum class Stored : std::uint8_t { Byte, Hundreds, Fives, Tens, Correction };

// What a key carries; an empty key continues the key before. LIMITER and BIKE are read by
// hand because they do more than store values.
struct Read {
    std::string_view key;
    std::size_t offset;
    Stored stored = Stored::Byte;
    std::size_t count = 1;
    bool currentOnly = false; // curve B's copy, only in files of the current version
};

constexpr std::array kRead{
    Read{"AB", Offset::CurveSelect},
    Read{"RPM_ADV", Offset::RpmA, Stored::Hundreds, kCurvePoints},
    Read{"RPM_ADV_A", Offset::RpmA, Stored::Hundreds, kCurvePoints},
    Read{"ADVANCE", Offset::AdvanceA, Stored::Byte, kCurvePoints},
    Read{"ADVANCE_A", Offset::AdvanceA, Stored::Byte, kCurvePoints},
    Read{"RPM_ADV_B", Offset::RpmB, Stored::Hundreds, kCurvePoints},
    Read{"ADVANCE_B", Offset::AdvanceB, Stored::Byte, kCurvePoints},
    Read{"POCET_BODU", Offset::PointsA},
    Read{"", Offset::PointsB, Stored::Byte, 1, true},
    Read{"BASE_ADV", Offset::BaseAdvance},
    Read{"POLARITA", Offset::Polarity},
    Read{"GEBER_NR", Offset::Lobes},
    Read{"PILOT_LIGHT", Offset::ShiftLightA, Stored::Hundreds},
    Read{"", Offset::ShiftLightB, Stored::Hundreds, 1, true},
    Read{"PILOT_LIGHT_PWM", Offset::Pwm, Stored::Tens},
    Read{"CLUTCH", Offset::ClutchTimeA, Stored::Fives},
    Read{"", Offset::ClutchPauseA, Stored::Hundreds},
    Read{"", Offset::ClutchTimeB, Stored::Fives, 1, true},
    Read{"", Offset::ClutchPauseB, Stored::Hundreds, 1, true},
    Read{"NO_READING", Offset::NoReading},
    Read{"REV_OUT_PILOT_LIGHT", Offset::ReverseOutput},
    Read{"RPM", Offset::RpmPulses},
    Read{"", Offset::RpmCorrection, Stored::Correction},
    Read{"INPUT", Offset::Input1},
    Read{"", Offset::Input2},
    Read{"TEST", Offset::TestRpm, Stored::Hundreds},
};

constexpr std::uint8_t storedByte(Stored stored, std::uint32_t value) {
    // Divisions work on the value modulo 65536; the correction is signed and is not divided.
    const auto v16 = static_cast<std::uint16_t>(value);
    switch (stored) {
    case Stored::Hundreds:
        return static_cast<std::uint8_t>(v16 / 100);
    case Stored::Fives:
        return static_cast<std::uint8_t>(v16 / 5);
    case Stored::Tens:
        return static_cast<std::uint8_t>(v16 / 10);
    case Stored::Correction:
        return static_cast<std::uint8_t>(value + 100);
    case Stored::Byte:
        break;
    }
    return static_cast<std::uint8_t>(value);
}

class Reader {
  public:
    Reader(TokenScanner& scanner, ParameterImage& image, std::uint16_t version)
        : in_(scanner), image_(image), version_(version) {}

    void readKeys() {
        while (const auto token = in_.token()) {
            if (*token == "BIKE") {
                store(Offset::BikeType, Stored::Byte);
                // Also when the number is missing: the set then belongs to the type already
                // in the image, as if the key had repeated it.
                loadDefaults(image_);
            } else if (*token == "LIMITER") {
                readLimiter();
            } else {
                const auto key = std::find_if(kRead.begin(), kRead.end(),
                                              [&](const Read& r) { return r.key == *token; });
                if (key != kRead.end())
                    readValuesOf(static_cast<std::size_t>(key - kRead.begin()));
            }
        }
    }

    void finish() {
        if (version_ != kCurrentVersion)
            curveBFromCurveA();
    }

  private:
    bool current() const { return version_ == kCurrentVersion; }

    // A value that is not there leaves the field as it was; the text in its place is read
    // as the next token.
    void store(std::size_t offset, Stored stored) {
        if (const auto value = in_.number())
            image_[offset] = storedByte(stored, *value);
    }

    void readValuesOf(std::size_t first) {
        for (std::size_t k = first; k < kRead.size() && (k == first || kRead[k].key.empty()); ++k) {
            const Read& r = kRead[k];
            if (r.currentOnly && !current())
                continue;
            for (std::size_t i = 0; i < r.count; ++i)
                store(r.offset + i, r.stored);
        }
    }

    void readLimiter() {
        if (current()) {
            for (std::size_t offset :
                 {Offset::StartLimiterA, Offset::LimiterA, Offset::StartLimiterB, Offset::LimiterB})
                store(offset, Stored::Hundreds);
            return;
        }
        // Older files give hundreds of rpm and curve A only.
        const bool withStartLimiter = version_ >= kFirstVersionWithStartLimiter;
        if (withStartLimiter)
            store(Offset::StartLimiterA, Stored::Byte);
        store(Offset::LimiterA, Stored::Byte);
        if (image_[Offset::LimiterA] < image_[Offset::StartLimiterA])
            image_[Offset::StartLimiterA] = image_[Offset::LimiterA];
        if (withStartLimiter) {
            if (const auto value = in_.number())
                retard_ = static_cast<std::uint8_t>(*value);
        }
    }

    // Older files know one curve; B is A lowered by the retard.
    void curveBFromCurveA() {
        for (std::size_t i = 0; i < kCurvePoints; ++i) {
            image_.rpm(Curve::B, i) = image_.rpm(Curve::A, i);
            const auto lowered = static_cast<std::uint8_t>(image_.advance(Curve::A, i) - retard_);
            image_.advance(Curve::B, i) = lowered > kLargestAdvance ? 0 : lowered;
        }
        for (auto field :
             {&CurveOffsets::points, &CurveOffsets::startLimiter, &CurveOffsets::limiter,
              &CurveOffsets::shiftLight, &CurveOffsets::clutchTime, &CurveOffsets::clutchPause})
            image_.at(Curve::B, field) = image_.at(Curve::A, field);
    }

    TokenScanner& in_;
    ParameterImage& image_;
    std::uint16_t version_;
    std::uint8_t retard_ = kDefaultRetard;
};

std::uint16_t knownVersion(std::optional<std::uint32_t> read) {
    // A missing version number is as unknown as any other: read as the generic older file.
    if (!read)
        return kUnknownOlderVersion;
    const auto version = static_cast<std::uint16_t>(*read);
    if (version == kCurrentVersion ||
        std::find(kOlderVersions.begin(), kOlderVersions.end(), version) != kOlderVersions.end())
        return version;
    return kUnknownOlderVersion;
}

} // namespace

std::string_view buildDate() {
    return __DATE__;
}
std::string_view buildTime() {
    return __TIME__;
}

std::string parameterFileText(const ParameterImage& image, const UnitTexts& unit,
                              std::string_view date, std::string_view time) {
    std::string out;
    out.reserve(1024);
    out.append(kFileKey).append(2, ' ');
    appendNumber(out, kVersion, 3);
    out.append(" ").append(kEol);
    for (const Written& w : kWritten) {
        if (!w.key.empty())
            out.append(kEol).append(w.key).append(w.blanks, ' ');
        for (std::size_t i = 0; i < w.count; ++i) {
            const int value = printedValue(w.print, image[w.offset + i]);
            if (w.print == Print::Flag) {
                appendNumber(out, value, 4);
            } else {
                appendNumber(out, value, 5);
                out.push_back(' ');
            }
        }
    }
    out.append(kEol);
    out.append(kEol).append("VERSIONS");
    out.append(kEol).append("HEX  ");
    appendText(out, unit.date);
    out.append("  ");
    appendText(out, unit.time);
    out.append("   ");
    appendText(out, unit.name);
    out.append(kEol).append("EXE  ");
    appendText(out, date);
    out.append("   ");
    appendText(out, time);
    out.append(kEol);
    return out;
}

FileOutcome readParameterFile(std::string_view text, ParameterImage& image) {
    TokenScanner scanner(text);
    for (;;) {
        const auto token = scanner.token();
        if (!token)
            return FileOutcome::NotAFile;
        if (*token == kFileKey)
            break;
    }
    const std::uint16_t version = knownVersion(scanner.number());
    image[Offset::Pwm] = kFullPwm;
    if (version <= kLastVersionWithoutDefaults) {
        image[Offset::BikeType] = 0;
        loadDefaults(image);
    }
    Reader reader(scanner, image, version);
    reader.readKeys();
    reader.finish();
    return version == kCurrentVersion ? FileOutcome::Current : FileOutcome::Older;
}

} // namespace zentrola
