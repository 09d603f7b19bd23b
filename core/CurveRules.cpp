#include "core/CurveRules.h"

#include "core/BikeTypes.h"
#include "core/PortIndex.h"

#include <algorithm>

namespace zentrola {

namespace {
constexpr int kLastPoint = static_cast<int>(kCurvePoints) - 1;
constexpr int kLowestSpeed = 6;       // point i is at least i + 6 hundreds
constexpr int kHighestSpeed = 186;    // ... and at most i + 186 when normalised
constexpr int kHighestAnchored = 185; // ... and i + 185 for the point being moved
constexpr std::uint8_t kMinLimiter = 10;
constexpr std::uint8_t kMaxAdvanceByte = 128; // above: a negative result, cleared
constexpr std::uint8_t kMaxLanguage = 3;
// Scan positions the housekeeping keeps (COM1..COM20); any higher one starts over at COM1.
constexpr std::uint8_t kKeptScanPositions = 20;
constexpr std::uint8_t kFullPwm = 10;
constexpr int kSpringBackPasses = 15;

std::uint8_t u8(int v) {
    return static_cast<std::uint8_t>(v);
}
// A neighbour's speed plus or minus one, kept inside a byte rather than wrapping around.
std::uint8_t beside(std::uint8_t v, int step) {
    return u8(std::clamp(v + step, 0, 255));
}
} // namespace

void CurveRules::clearDisplacement() {
    displaced_.fill(false);
    wish_.fill(0);
    marker = Marker::None;
}

void CurveRules::normalise(ParameterImage& image, Curve curve) {
    for (int i = 0; i <= kLastPoint; ++i) {
        std::uint8_t& s = image.rpm(curve, static_cast<std::size_t>(i));
        if (s < i + kLowestSpeed)
            s = u8(i + kLowestSpeed);
        if (s > i + kHighestSpeed)
            s = u8(i + kHighestSpeed);
    }
    for (std::size_t i = 1; i < kCurvePoints; ++i)
        if (image.rpm(curve, i - 1) >= image.rpm(curve, i))
            image.rpm(curve, i) = u8(image.rpm(curve, i - 1) + 1);
}

void CurveRules::pushNeighbour(ParameterImage& image, Curve curve, int k, int step) {
    // Iterative form of the cascade: each neighbour lands one step beyond the point that
    // pushed it, and the push goes on from there.
    for (int n = k + step; n >= 0 && n <= kLastPoint; k = n, n += step) {
        const std::uint8_t c = image.rpm(curve, static_cast<std::size_t>(k));
        std::uint8_t& d = image.rpm(curve, static_cast<std::size_t>(n));
        const bool conflict = step < 0 ? d >= c : d <= c;
        if (!conflict)
            return;
        const auto ni = static_cast<std::size_t>(n);
        if (!displaced_[ni])
            wish_[ni] = d;
        displaced_[ni] = true;
        d = u8(c + step);
    }
}

void CurveRules::adjustAround(ParameterImage& image, Curve curve, int k) {
    std::uint8_t& s = image.rpm(curve, static_cast<std::size_t>(k));
    if (s < k + kLowestSpeed)
        s = u8(k + kLowestSpeed);
    pushNeighbour(image, curve, k, -1);
    if (s > k + kHighestAnchored)
        s = u8(k + kHighestAnchored);
    pushNeighbour(image, curve, k, +1);

    for (int pass = 0; pass < kSpringBackPasses; ++pass) {
        for (std::size_t j = 0; j < kCurvePoints; ++j) {
            if (!displaced_[j])
                continue;
            const std::uint8_t w = wish_[j];
            std::uint8_t& v = image.rpm(curve, j);
            if (v < w) {
                v = w;
                if (j < kCurvePoints - 1 && beside(image.rpm(curve, j + 1), -1) < v)
                    v = beside(image.rpm(curve, j + 1), -1);
            }
            if (v > w) {
                v = w;
                if (j > 0 && beside(image.rpm(curve, j - 1), +1) > v)
                    v = beside(image.rpm(curve, j - 1), +1);
            }
            if (v == w)
                displaced_[j] = false;
        }
    }
}

void CurveRules::apply(ParameterImage& image, std::optional<Curve> shown, const Housekeeping& hk) {
    const Curve worked = shown == Curve::A ? Curve::A : Curve::B;

    if ((marker != anchor_ && marker >= 0) || shown != lastCurve_) {
        lastCurve_ = shown;
        anchor_ = marker;
        clearDisplacement();
        marker = anchor_;
    }

    if (anchor_ < 0) {
        normalise(image, Curve::A);
        normalise(image, Curve::B);
    } else {
        adjustAround(image, worked, anchor_);
    }

    for (Curve c : {Curve::A, Curve::B}) {
        std::uint8_t& limiter = image.at(c, &CurveOffsets::limiter);
        if (limiter < kMinLimiter)
            limiter = kMinLimiter;
    }
    for (Curve c : {Curve::A, Curve::B})
        for (std::size_t i = 0; i < kCurvePoints; ++i)
            if (image.advance(c, i) > kMaxAdvanceByte)
                image.advance(c, i) = 0;
    for (Curve c : {Curve::A, Curve::B}) {
        const std::uint8_t limiter = image.at(c, &CurveOffsets::limiter);
        std::uint8_t& start = image.at(c, &CurveOffsets::startLimiter);
        if (start > limiter)
            start = limiter;
    }
    if (image[Offset::BikeType] == kBikeCappedAdvance) {
        const std::uint8_t base = image[Offset::BaseAdvance];
        for (Curve c : {Curve::A, Curve::B})
            for (std::size_t i = 0; i < kCurvePoints; ++i)
                if (image.advance(c, i) > base)
                    image.advance(c, i) = base;
    }

    if (hk.language > kMaxLanguage)
        hk.language = 0;
    if (hk.portIndex > kAutoPortIndex)
        hk.portIndex = 0;
    if (hk.scanPosition >= kKeptScanPositions)
        hk.scanPosition = 0;
    if (image[Offset::Pwm] == 0)
        image[Offset::Pwm] = kFullPwm;
}

} // namespace zentrola
