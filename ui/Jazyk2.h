// The control texts of the window in the four languages: captions, item lists and hints,
// one table of data beside the message table. Applying a language walks the rows in order;
// the window maps each control name to its widget or menu item.
#pragma once

#include "core/Jazyk1.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrola {

enum class TextKind : std::uint8_t {
    Caption, // label, button, group, menu or check box text
    Items,   // a radio group's or combo box's items, "\n" between them
    Item,    // one item of a combo box, replaced in place (index in `item`)
    Hint,    // "short|long": tool tip and status bar text; without a bar both
};

struct ControlText {
    std::string_view control;
    TextKind kind;
    std::string text;
    int item = 0;
};

// Every control text of the language for the bike type, in the order they are applied.
std::vector<ControlText> controlTexts(int languageIndex, std::uint8_t bikeType);

// Caption and items of the polarity group alone, as every refresh applies them.
std::vector<ControlText> polarityTexts(int languageIndex, std::uint8_t bikeType);

// The texts that no language changes: the form's own captions, items and hints.
std::vector<ControlText> formTexts();

// The hints of the four language items, each in its own language.
std::vector<ControlText> languageItemHints();

// The filters of the file dialogs.
inline constexpr std::string_view kOpenFilter = "Ignition Parametrs(*.ign);;All Files (*.*)";
inline constexpr std::string_view kSaveFilter = "Ignition Parametrs(*.ign)";
inline constexpr std::string_view kFileSuffix = "ign";

// The pop-up part and the status bar part of a hint.
struct HintParts {
    std::string tip;
    std::string longText;
};
HintParts splitHint(std::string_view hint);

} // namespace zentrola
