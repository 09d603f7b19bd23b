// What the parameter rules promise about any image they have run over, as checks for the
// fuzz targets and the soak: each returns the first broken promise, or nothing.
#pragma once

#include "core/BikeTypes.h"
#include "core/ParameterImage.h"
#include "link/Transfer.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The checks are not what a fuzzer should explore, and they run after every tick: no
// coverage feedback for them.
#if defined(__clang__)
#define ZENTROLA_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define ZENTROLA_NO_COVERAGE
#endif

namespace zentrola::testing {

inline constexpr std::uint8_t kLowestLimiter = 10;
inline constexpr std::uint8_t kHighestAdvance = 128;
// A normalised curve: point i lies in i + 6 .. i + 186 hundreds of rpm.
inline constexpr int kNormalisedLow = 6;
inline constexpr int kNormalisedHigh = 186;

// Holds after every run of the rules, whatever came before.
ZENTROLA_NO_COVERAGE inline std::optional<std::string> brokenRule(const ParameterImage& image) {
    const auto broken = [](Curve c, const char* what) {
        return std::optional<std::string>(std::string(c == Curve::A ? "curve A: " : "curve B: ") +
                                          what);
    };
    const bool capped = image[Offset::BikeType] == kBikeCappedAdvance;
    for (Curve c : {Curve::A, Curve::B}) {
        const std::uint8_t limiter = image.at(c, &CurveOffsets::limiter);
        if (limiter < kLowestLimiter)
            return broken(c, "limiter below 1000 rpm");
        if (image.at(c, &CurveOffsets::startLimiter) > limiter)
            return broken(c, "start limiter above the limiter");
        for (std::size_t i = 0; i < kCurvePoints; ++i) {
            if (image.advance(c, i) > kHighestAdvance)
                return broken(c, "negative advance kept");
            if (capped && image.advance(c, i) > image[Offset::BaseAdvance])
                return broken(c, "advance above the base advance of the capped type");
        }
    }
    if (image[Offset::Pwm] == 0)
        return "pilot light duty 0 kept";
    return std::nullopt;
}

// Holds when the rules ran without an anchor point: both curves put in order from scratch.
ZENTROLA_NO_COVERAGE inline std::optional<std::string>
brokenNormalisation(const ParameterImage& image) {
    for (Curve c : {Curve::A, Curve::B}) {
        for (std::size_t i = 0; i < kCurvePoints; ++i) {
            const int s = image.rpm(c, i);
            const int at = static_cast<int>(i);
            if (s < at + kNormalisedLow || s > at + kNormalisedHigh)
                return std::string(c == Curve::A ? "curve A" : "curve B") + ": point " +
                       std::to_string(i) + " out of its speed range";
            if (i > 0 && image.rpm(c, i - 1) >= s)
                return std::string(c == Curve::A ? "curve A" : "curve B") + ": point " +
                       std::to_string(i) + " not above the point before";
        }
    }
    return std::nullopt;
}

// The most ticks from a transfer command to idle: the first page may wait for every one of
// its sends, each later page (its first send made by the reply before it) for the rest.
inline int transferBound(TransferMode mode) {
    constexpr int firstPage = (kMaxSends + 1) * kReplyWaitTicks;
    constexpr int laterPage = kMaxSends * kReplyWaitTicks;
    // Program and Read: page 0, 1, 2, then the verify's 1 and 2. Verify alone: 1 and 2.
    const int pages = mode == TransferMode::Verify ? 2 : 5;
    return firstPage + (pages - 1) * laterPage;
}

// Whether a verify may pass a page the unit reported: the first difference decides, and only
// the no-reading byte, or a duty of 0 where the image holds full duty, may be it.
ZENTROLA_NO_COVERAGE inline bool verifyMayPass(std::span<const std::uint8_t> unitPage, int page,
                                               const ParameterImage& image) {
    constexpr std::uint8_t fullDuty = 10;
    const std::size_t base = kPageSize * static_cast<std::size_t>(page - 1);
    for (std::size_t k = 0; k < kPageSize; ++k) {
        const std::size_t offset = base + k;
        if (unitPage[k] == image[offset])
            continue;
        return offset == Offset::NoReading ||
               (offset == Offset::Pwm && unitPage[k] == 0 && image[offset] == fullDuty);
    }
    return true;
}

// Whether the unit's settings are the image, bytes 18 and 23 as the verify excuses them.
ZENTROLA_NO_COVERAGE inline std::optional<std::string>
unitDiffers(std::span<const std::uint8_t> unit, const ParameterImage& image) {
    constexpr std::uint8_t fullDuty = 10;
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        if (unit[i] == image[i] || i == Offset::NoReading ||
            (i == Offset::Pwm && unit[i] == 0 && image[i] == fullDuty))
            continue;
        return "the unit holds " + std::to_string(unit[i]) + " at byte " + std::to_string(i) +
               ", the image " + std::to_string(image[i]);
    }
    return std::nullopt;
}

// Ends the process with the message: the fuzzer keeps the input, the soak reports the tick.
// Bytes that are not printable ASCII show as \xNN.
[[noreturn]] inline void violated(std::string_view what) {
    std::string shown;
    for (unsigned char ch : what) {
        if (ch >= 0x20 && ch < 0x7F) {
            shown.push_back(static_cast<char>(ch));
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", ch);
            shown += hex;
        }
    }
    std::fprintf(stderr, "violated: %s\n", shown.c_str());
    std::fflush(stderr);
    std::abort();
}

// A view, not a string: the checks run after every tick, and a message built from a literal
// each time would be most of the fuzzer's allocations.
inline void require(bool holds, std::string_view what) {
    if (!holds)
        violated(what);
}

inline void require(const std::optional<std::string>& broken) {
    if (broken)
        violated(*broken);
}

} // namespace zentrola::testing
