#include "link/UnitInfo.h"

#include <array>

namespace zentrola {

namespace {
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> kMonthTexts{" 1", " 2", " 3", " 4", " 5", " 6",
                                                  " 7", " 8", " 9", "10", "11", "12"};

std::string twoDigits(unsigned v) {
    return {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}
} // namespace

std::uint8_t monthCode(const char* m) {
    return static_cast<std::uint8_t>(m[0] + m[1] + m[2]);
}

std::string monthText(std::uint8_t code) {
    for (std::size_t i = 0; i < kMonths.size(); ++i)
        if (monthCode(kMonths[i]) == code)
            return kMonthTexts[i];
    return "00";
}

UnitTexts designUnitTexts() {
    return UnitTexts{};
}

UnitTexts unitTexts(const Page& info) {
    UnitTexts t{"", "", ""};
    if (info[InfoByte::Text] != 0) {
        for (std::size_t i = 0; i < InfoByte::TextLength && info[InfoByte::Text + i] != 0; ++i)
            t.name += static_cast<char>(info[InfoByte::Text + i]);
    } else {
        for (std::size_t i = 0; i < 3; ++i)
            t.name += static_cast<char>(info[InfoByte::Name + i]);
        t.name += twoDigits(info[InfoByte::FirmwareNumber]);
    }
    const unsigned day = info[InfoByte::Day];
    std::string dayText = twoDigits(day);
    if (day < 10)
        dayText[0] = ' ';
    t.date =
        dayText + "." + monthText(info[InfoByte::Month]) + ".20" + twoDigits(info[InfoByte::Year]);
    t.time = twoDigits(info[InfoByte::Hour]) + ":" + twoDigits(info[InfoByte::Minute]);
    return t;
}

} // namespace zentrola
