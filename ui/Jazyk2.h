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
inline constexpr TextRow Differences{"&Differences...", "&Unterschiede...", "&Différences...", "&Rozdíly..."};
inline constexpr TextRow DifferencesHint{"The window's settings against the unit's, as the last verify confirmed them", "Einstellungen im Fenster gegen die der Zündung, wie der letzte Vergleich sie bestätigt hat", "Paramètres de la fenêtre face à ceux du boîtier, tels que la dernière vérification les a confirmés", "Nastavení v okně proti nastavení zapalování, jak je potvrdila poslední verifikace"};
inline constexpr TextRow CompareFile{"Compare with &file...", "Mit &Datei vergleichen...", "Comparer avec un &fichier...", "Porovnat se &souborem..."};
inline constexpr TextRow CompareFileHint{"The window's settings against those of a parameter file", "Einstellungen im Fenster gegen die einer Kenndatendatei", "Paramètres de la fenêtre face à ceux d'un fichier de paramètres", "Nastavení v okně proti nastavení v souboru s parametry"};
inline constexpr TextRow Record{"&Record live data...", "Live-Daten &aufzeichnen...", "&Enregistrer les données en direct...", "&Záznam živých dat..."};
inline constexpr TextRow RecordHint{"Writes every monitor frame into a CSV file until chosen again", "Schreibt jeden Messwert-Rahmen in eine CSV-Datei, bis erneut gewählt", "Écrit chaque trame de mesure dans un fichier CSV jusqu'au prochain choix", "Zapisuje každý rámec měření do souboru CSV, dokud se znovu nezvolí"};
inline constexpr TextRow NotProgrammed{"Not programmed", "Nicht programmiert", "Non programmé", "Nenaprogramováno"};
inline constexpr TextRow DifferencesTitle{"Differences", "Unterschiede", "Différences", "Rozdíly"};
// %1: the file
inline constexpr TextRow FileDifferencesTitle{"Differences from the file %1", "Unterschiede zur Datei %1", "Différences avec le fichier %1", "Rozdíly oproti souboru %1"};
inline constexpr TextRow SettingColumn{"Setting", "Einstellung", "Paramètre", "Nastavení"};
inline constexpr TextRow WindowColumn{"Window", "Fenster", "Fenêtre", "Okno"};
inline constexpr TextRow UnitColumn{"Unit", "Zündung", "Boîtier", "Zapalování"};
inline constexpr TextRow FileColumn{"File", "Datei", "Fichier", "Soubor"};
inline constexpr TextRow NoneConfirmed{"The unit's settings are not known yet: read, program or verify the unit first.", "Die Einstellungen der Zündung sind noch nicht bekannt: zuerst die Zündung lesen, programmieren oder vergleichen.", "Les paramètres du boîtier ne sont pas encore connus : lisez, programmez ou vérifiez d'abord le boîtier.", "Nastavení zapalování ještě není známo: nejdříve zapalování přečtěte, naprogramujte nebo ověřte."};
inline constexpr TextRow FailedVerifyNote{"The last verify failed: the unit holds these settings differently, as it sent them during the verify and right after it.", "Der letzte Vergleich ist fehlgeschlagen: Die Zündung hat diese Einstellungen anders, so wie sie sie beim Vergleich und gleich danach gesendet hat.", "La dernière vérification a échoué : le boîtier a ces paramètres différents, tels qu'il les a envoyés pendant la vérification et juste après.", "Poslední verifikace selhala: zapalování má tato nastavení jinak, jak je poslalo během verifikace a hned po ní."};
inline constexpr TextRow FailedVerifyUnshown{"The last verify failed, but the unit differs only where the window shows nothing, such as curve points beyond the number of points.", "Der letzte Vergleich ist fehlgeschlagen, die Zündung weicht aber nur dort ab, wo das Fenster nichts zeigt, etwa bei Kurvenpunkten jenseits der Anzahl der Stützpunkte.", "La dernière vérification a échoué, mais le boîtier ne diffère que là où la fenêtre n'affiche rien, par exemple des points de courbe au-delà du nombre de points.", "Poslední verifikace selhala, zapalování se ale liší jen tam, kde okno nic nezobrazuje, například v bodech křivky nad nastaveným počtem bodů."};
inline constexpr TextRow NotKnown{"Unit's settings not known", "Einstellungen der Zündung unbekannt", "Paramètres du boîtier inconnus", "Nastavení zapalování neznámé"};
inline constexpr TextRow NotSaved{"Not saved", "Nicht gespeichert", "Non enregistré", "Neuloženo"};
inline constexpr TextRow NoDifferences{"No differences.", "Keine Unterschiede.", "Aucune différence.", "Žádné rozdíly."};
// %1: the number of rows written
inline constexpr TextRow Recording{"Recording: %1 rows", "Aufzeichnung: %1 Zeilen", "Enregistrement : %1 lignes", "Záznam: %1 řádků"};
inline constexpr TextRow Close{"Close", "Schließen", "Fermer", "Zavřít"};
inline constexpr TextRow PrintFailed{"Printing failed!", "Drucken fehlgeschlagen!", "L'impression a échoué !", "Tisk se nezdařil!"};
// %1: the printer
inline constexpr TextRow PrintFailedDetail{"The parameter sheet could not be sent to the printer %1. Check that it is switched on and connected, or use File > Export as PDF.", "Das Kenndatenblatt konnte nicht an den Drucker %1 geschickt werden. Prüfen Sie, ob er eingeschaltet und angeschlossen ist, oder nehmen Sie Datei > Als PDF exportieren.", "La fiche des paramètres n'a pas pu être envoyée à l'imprimante %1. Vérifiez qu'elle est allumée et branchée, ou passez par Fichier > Exporter en PDF.", "List s parametry se nepodařilo odeslat na tiskárnu %1. Zkontrolujte, že je zapnutá a připojená, nebo použijte Soubor > Exportovat do PDF."};
// %1: the device, %2: its group, %3: the user
inline constexpr TextRow PortPermission{"You may not use %1: it belongs to the group \"%2\", and the user %3 is not in it. Join the group with the command\n    sudo usermod -aG %2 %3\nthen log out and log in again.", "Sie dürfen %1 nicht benutzen: das Gerät gehört der Gruppe \"%2\", und der Benutzer %3 ist nicht darin. Treten Sie der Gruppe mit dem Befehl\n    sudo usermod -aG %2 %3\nbei, dann melden Sie sich ab und wieder an.", "Vous n'avez pas le droit d'utiliser %1 : il appartient au groupe « %2 », dont l'utilisateur %3 ne fait pas partie. Ajoutez-le au groupe avec la commande\n    sudo usermod -aG %2 %3\npuis fermez la session et rouvrez-la.", "Zařízení %1 nesmíte používat: patří skupině „%2“ a uživatel %3 v ní není. Přidejte se do skupiny příkazem\n    sudo usermod -aG %2 %3\npotom se odhlaste a znovu přihlaste."};
// %1: the manual's full path
inline constexpr TextRow NoPdfViewer{"%1\nNo program is set to open PDF files on this computer: install a PDF viewer, or open the file by hand.", "%1\nAuf diesem Rechner ist kein Programm zum Öffnen von PDF-Dateien eingerichtet: installieren Sie einen PDF-Betrachter oder öffnen Sie die Datei von Hand.", "%1\nAucun programme n'est défini pour ouvrir les fichiers PDF sur cet ordinateur : installez un lecteur PDF ou ouvrez le fichier vous-même.", "%1\nNa tomto počítači není nastaven žádný program pro otevírání souborů PDF: nainstalujte prohlížeč PDF, nebo soubor otevřete ručně."};
inline constexpr TextRow VirtualUnit{"Virtual unit (demo)", "Virtuelle Zündung (Demo)", "Boîtier virtuel (démo)", "Virtuální zapalování (demo)"};
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
#ifdef _WIN32
inline constexpr std::string_view kOpenFilter = "Ignition Parametrs(*.ign);;All Files (*.*)";
#else
// Elsewhere "*.*" would hide every file whose name has no dot.
inline constexpr std::string_view kOpenFilter = "Ignition Parametrs(*.ign);;All Files (*)";
#endif
inline constexpr std::string_view kSaveFilter = "Ignition Parametrs(*.ign)";
inline constexpr std::string_view kFileSuffix = "ign";
inline constexpr std::string_view kPdfFilter = "PDF (*.pdf)";
inline constexpr std::string_view kCsvFilter = "CSV (*.csv)";
inline constexpr std::string_view kCsvSuffix = "csv";
inline constexpr std::string_view kPdfSuffix = "pdf";

// The pop-up part and the status bar part of a hint.
struct HintParts {
    std::string tip;
    std::string longText;
};
HintParts splitHint(std::string_view hint);

} // namespace zentrola
