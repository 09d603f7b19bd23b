#include "core/ParameterImage.h"

#include <algorithm>

namespace zentrola {

std::span<std::uint8_t, kPageSize> ParameterImage::page(int p) {
    return std::span<std::uint8_t, kPageSize>(bytes_.data() + kPageSize * (p - 1), kPageSize);
}

std::span<const std::uint8_t, kPageSize> ParameterImage::page(int p) const {
    return std::span<const std::uint8_t, kPageSize>(bytes_.data() + kPageSize * (p - 1), kPageSize);
}

Page exchangePage(std::span<const std::uint8_t> lastMonitorFrame) {
    Page page{};
    // Frame bytes 2..50 become page bytes 0..48; byte 49 stays 0.
    if (lastMonitorFrame.size() > 2) {
        const std::size_t n = std::min<std::size_t>(kPageSize - 1, lastMonitorFrame.size() - 2);
        std::copy_n(lastMonitorFrame.begin() + 2, n, page.begin());
    }
    return page;
}

namespace {
std::uint8_t divided(int position, int divisor) {
    // The control position is taken as a signed 16-bit number.
    const auto p = static_cast<std::int16_t>(position);
    return static_cast<std::uint8_t>(p / divisor);
}
} // namespace

std::uint8_t toByte(Conversion c, int position) {
    switch (c) {
    case Conversion::Hundreds:
        return divided(position, 100);
    case Conversion::Fives:
        return divided(position, 5);
    case Conversion::Tens:
        return divided(position, 10);
    case Conversion::Correction:
        return static_cast<std::uint8_t>(position + 100);
    case Conversion::Lobes:
        return static_cast<std::uint8_t>((position + 1) % 4);
    case Conversion::Plain:
        break;
    }
    return static_cast<std::uint8_t>(position);
}

int toPosition(Conversion c, std::uint8_t byte) {
    switch (c) {
    case Conversion::Hundreds:
        return byte * 100;
    case Conversion::Fives:
        return byte * 5;
    case Conversion::Tens:
        return byte * 10;
    case Conversion::Correction:
        return byte - 100;
    case Conversion::Lobes:
        return (byte - 1) & 3;
    case Conversion::Plain:
        break;
    }
    return byte;
}

} // namespace zentrola
