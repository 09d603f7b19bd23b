// The unit information page: what the unit answers to page 0 (its program's name, build
// date and time, read permission and version), and the three texts shown from it.
#pragma once

#include "core/ParameterImage.h"
#include "core/UnitTexts.h"

#include <string>

namespace zentrola {

namespace InfoByte {
inline constexpr std::size_t Name = 0; // three characters
inline constexpr std::size_t FirmwareNumber = 3;
inline constexpr std::size_t Day = 4;
inline constexpr std::size_t Month = 5; // low byte of the sum of the month name's letters
inline constexpr std::size_t Year = 6;  // within 2000..2099
inline constexpr std::size_t Hour = 7;
inline constexpr std::size_t Minute = 8;
inline constexpr std::size_t ReadPermission = 9;
inline constexpr std::size_t Version = 10;
inline constexpr std::size_t Text = 16; // optional firmware text, 30 bytes
inline constexpr std::size_t TextLength = 30;
} // namespace InfoByte

// Before any unit has answered, the window shows its design-time texts.
UnitTexts designUnitTexts();
UnitTexts unitTexts(const Page& info);
// " 1" .. "12" for the codes of January..December, "00" otherwise.
std::string monthText(std::uint8_t code);
// The month code of an English three-letter month name.
std::uint8_t monthCode(const char* threeLetters);

} // namespace zentrola
