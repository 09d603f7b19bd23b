// The pick-up variants ("bike types"): the list shown to the user, the code stored in the
// image, which keying each type fixes, and the default parameter set.
#pragma once

#include "core/ParameterImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrola {

inline constexpr std::size_t kBikeCount = 10;

namespace Polarity {
inline constexpr std::uint8_t Positive = 0;
inline constexpr std::uint8_t Negative = 1;
inline constexpr std::uint8_t SelfSearch = 2;
} // namespace Polarity

struct BikeType {
    std::string_view text; // the same in every language
    std::uint8_t code;
};

// In the order of the bike list.
inline constexpr std::array<BikeType, kBikeCount> kBikeList{{
    {"Standard", 0},
    {"Honda CBF250", 4},
    {"Husaberg 4T SEM", 6},
    {"Kawasaki KLR 600 older model", 1},
    {"KTM 4T SEM", 3},
    {"Suzuki DR650SE", 9},
    {"Suzuki Freewind", 5},
    {"Yamaha XT 600 older model", 2},
    {"2T SEM", 7},
    {"Start of lobe", 8},
}};

// The type whose advance is capped at the base advance.
inline constexpr std::uint8_t kBikeCappedAdvance = 7;
inline constexpr std::uint8_t kBikeStartOfLobe = 8;

// Item of the bike list -> code; out-of-range items give nothing.
std::optional<std::uint8_t> bikeTypeFromItem(int item);
// Code -> item of the bike list; unknown codes give nothing (the selection stays).
std::optional<int> itemFromBikeType(std::uint8_t code);

// Whether the user chooses lobes and polarity himself (types 0 and 8).
bool keyingIsFree(std::uint8_t code);
// Whether the polarity selector offers self-search (three items) for this type.
bool offersSelfSearch(std::uint8_t code);
// Polarity of the default set and of resetKeying.
std::uint8_t defaultPolarity(std::uint8_t code);

struct Keying {
    std::uint8_t lobes;
    std::uint8_t polarity;
};
// The keying a fixed type forces at every capture; nothing for free or unknown types.
std::optional<Keying> fixedKeying(std::uint8_t code);

// Fills the default set for the bike type already in the image.
void loadDefaults(ParameterImage& image);
// Lobe code 1 and the default polarity of the type; nothing else.
void resetKeying(ParameterImage& image);

} // namespace zentrola
