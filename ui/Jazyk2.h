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

// Texts of the window's own additions, in the four languages.
namespace windowtexts {
// clang-format off
inline constexpr TextRow ExportPdf{"Export as &PDF...", "Als &PDF exportieren...", "Exporter en &PDF...", "Exportovat do &PDF..."};
inline constexpr TextRow ExportPdfHint{"Save the parameter sheet as a PDF file", "Kenndatenblatt als PDF-Datei speichern", "Enregistrer la fiche des paramètres en PDF", "Uložit list s parametry jako soubor PDF"};
// %1: the file
inline constexpr TextRow SavedAsPdf{"Parameter sheet saved as PDF: %1", "Kenndatenblatt als PDF gespeichert: %1", "Fiche des paramètres enregistrée en PDF : %1", "List s parametry uložen jako PDF: %1"};
// %1: the printer
inline constexpr TextRow SentToPrinter{"Parameter sheet sent to the printer %1", "Kenndatenblatt an den Drucker %1 geschickt", "Fiche des paramètres envoyée à l'imprimante %1", "List s parametry odeslán na tiskárnu %1"};
// clang-format on
} // namespace windowtexts

// The About box's lines: the same in every language.
inline constexpr std::string_view kAboutProgram = "ZENTROLA Configurator";
inline constexpr std::string_view kAboutLicence1 = "Free software: you may share and change it";
inline constexpr std::string_view kAboutLicence2 = "under the GNU General Public License,";
inline constexpr std::string_view kAboutLicence3 = "version 3 or any later version.";
inline constexpr std::string_view kAboutWarranty = "It comes with no warranty.";
inline constexpr std::string_view kAboutVersion = "Version - ";
inline constexpr std::string_view kAboutOk = "OK";

// The filters of the file dialogs.
inline constexpr std::string_view kOpenFilter = "Ignition Parametrs(*.ign);;All Files (*.*)";
inline constexpr std::string_view kSaveFilter = "Ignition Parametrs(*.ign)";
inline constexpr std::string_view kFileSuffix = "ign";
inline constexpr std::string_view kPdfFilter = "PDF (*.pdf)";
inline constexpr std::string_view kPdfSuffix = "pdf";

// The pop-up part and the status bar part of a hint.
struct HintParts {
    std::string tip;
    std::string longText;
};
HintParts splitHint(std::string_view hint);

} // namespace zentrola
