// The rules that keep the image consistent after every edit: curves in strictly rising
// order around the point being moved (its neighbours pushed aside and later allowed to
// spring back), limiters in range, negative advance cleared, the cap of the two-stroke type.
#pragma once

#include "core/ParameterImage.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zentrola {

// Values that other modules own but the rules bring into range.
struct Housekeeping {
    std::uint8_t& language;
    std::uint8_t& portIndex;
    std::uint8_t& scanPosition;
};

namespace Marker {
inline constexpr int None = -1;
inline constexpr int FromControls = -2;
} // namespace Marker

class CurveRules {
  public:
    // Edited-point marker: -1 none, -2 the last edit came from the controls, 0..14 the point
    // being dragged or typed.
    int marker = Marker::None;

    void clearDisplacement();
    void apply(ParameterImage& image, std::optional<Curve> shown, const Housekeeping& hk);
    void pushNeighbour(ParameterImage& image, Curve curve, int point, int step);

    // The next application normalises both curves, as after a change of the shown curve.
    void forgetAnchor() { anchor_ = marker = Marker::None; }
    int anchor() const { return anchor_; }
    bool displaced(std::size_t point) const { return displaced_[point]; }

  private:
    void normalise(ParameterImage& image, Curve curve);
    void adjustAround(ParameterImage& image, Curve curve, int k);

    std::array<bool, kCurvePoints> displaced_{};
    std::array<std::uint8_t, kCurvePoints> wish_{};
    int anchor_ = 0;
    std::optional<Curve> lastCurve_ = Curve::A;
};

} // namespace zentrola
