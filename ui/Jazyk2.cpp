#include "ui/Jazyk2.h"
#include "ui/LiveTexts.h"

#include "core/BikeTypes.h"

#include <array>
#include <tuple>

namespace zentrola {

namespace {

struct Row {
    std::string_view control;
    TextKind kind;
    TextRow text;
    int item = 0;
};

// A text made of a message table row with a fixed prefix and suffix.
struct Composed {
    std::string_view control;
    std::string_view prefix;
    const TextRow* base;
    std::string_view suffix;
};

// clang-format off
constexpr std::array kMenuRows{
    Row{"LabelSpojeni", TextKind::Caption, texts::NoConnection},
    Row{"MenuFile", TextKind::Caption, {"&File", "&Datei", "&Fichier", "&Soubor"}},
    Row{"MenuNew", TextKind::Caption, {"&New", "&Neu", "&Nouveau", "&Nový"}},
    Row{"MenuOpen", TextKind::Caption, {"&Open", "&Öffnen", "&Ouvrir", "&Otevřít"}},
    Row{"MenuOpenExeDir", TextKind::Caption, {"Open from exe dir", "Öffnen aus exe dir", "Open from exe dir", "Otevřít z exe dir"}},
    Row{"MenuSaveExeDir", TextKind::Caption, {"Save to exe dir", "Speichern in exe dir", "Save to exe dir", "Uložit do exe dir"}},
    Row{"MenuSave", TextKind::Caption, {"&Save", "&Speichern", "&Mèmoriser", "&Uložit"}},
    Row{"MenuPrint", TextKind::Caption, {"&Print", "&Drucken", "&Imprimer", "&Tisk"}},
    Row{"MenuExit", TextKind::Caption, {"E&xit", "&Beenden", "&Sortir", "&Konec"}},
    Row{"MenuCom", TextKind::Caption, {"&Com", "&COM-Anschluß", "&Connection com", "&Port"}},
    Row{"MenuDevice", TextKind::Caption, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
};

constexpr std::array kTransferCaptions{
    Composed{"MenuRead", "&", &texts::Read, ""},
    Composed{"ButtonRead", "&", &texts::Read, ""},
    Composed{"MenuVerify", "&", &texts::Verify, ""},
    Composed{"ButtonVerify", "&", &texts::Verify, ""},
    Composed{"MenuProgram", "&", &texts::Programming, ""},
    Composed{"ButtonProgram", "&", &texts::Programming, ""},
};

constexpr Row kMenuTools{"MenuTools", TextKind::Caption, {"Tools", "Werkzeuge", "Outillage", "Pomůcky"}};

constexpr std::array kShiftCaptions{
    Composed{"MenuAdvanceMinus", "", &texts::Advance, " -"},
    Composed{"MenuAdvancePlus", "", &texts::Advance, " +"},
};

constexpr std::array kControlRows{
    Row{"MenuLanguage", TextKind::Caption, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    Row{"MenuEnglish", TextKind::Caption, {"&English", "&Englisch", "&Englais", "&Anglicky"}},
    Row{"MenuGerman", TextKind::Caption, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    Row{"MenuFrench", TextKind::Caption, {"&French", "&Französisch", "&Francais", "Francouzky"}},
    Row{"MenuCzech", TextKind::Caption, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    Row{"MenuHelp", TextKind::Caption, {"&Help", "&Hilfe", "&Aide", "Nápověda"}},
    Row{"MenuContens", TextKind::Caption, {"&Contents...", "&Inhalt...", "&Contenu", "Obsah"}},
    Row{"MenuAbout", TextKind::Caption, {"&About...", "&Über Programm...", "&Contenu du programme", "&O programu..."}},
    Row{"CheckBoxIgnAll", TextKind::Caption, {"All", "Alles", "Tout", "Vše"}},
    Row{"CheckBoxProgHned", TextKind::Caption, {"Programming after change", "Programmierung nach Änderung", "Sovegarde après modification", "Programování po změně"}},
    Row{"CheckBoxZakazCteni", TextKind::Caption, {"No Reading", "Lesen Verboten", "Pas axessible", "Zákaz čtení"}},
    Row{"LabelAdvance1", TextKind::Caption, {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    Row{"LabelAdvance2", TextKind::Caption, {"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"}},
    Row{"LabelOmez1", TextKind::Caption, {"Start limiter [rpm]", "Startbegrenzer [rpm]", "Limitateur départ [rpm]", "Startovací omezovač [rpm]"}},
    Row{"LabelOmez2", TextKind::Caption, {"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]", "Omezovač [rpm]"}},
    Row{"LabelBaseAdv", TextKind::Caption, {"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"}},
    Row{"LabelPocetBodu", TextKind::Caption, {"Number of items", "Anzahl der Stützpunkte", "Nombre de points", "Počet bodů"}},
    Row{"ComboBoxPocPalcu", TextKind::Item, {"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution", "1 zápal za otáčku"}, 0},
    Row{"ComboBoxPocPalcu", TextKind::Item, {"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution", "2 zápaly za otáčku"}, 1},
    Row{"ComboBoxPocPalcu", TextKind::Item, {"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution", "3 zápaly za otáčku"}, 2},
    Row{"ComboBoxPocPalcu", TextKind::Item, {"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)", "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"}, 3},
    Row{"LabelLedRazeni", TextKind::Caption, {"Gear shift light [rpm]", "Schaltblitz [rpm]", "Témoin de rapport [rpm]", "Kontrolka řazení [rpm]"}},
    Row{"CheckBoxRevOutLedRazeni", TextKind::Caption, {"Reverse otput polarity", "Umgekehrte Ausgangpolarität", "Reverse otput polarity", "Opačná polarita výstupu"}},
};

constexpr TextRow kPolarityCaption{"Polarity of CPS:", "Polarität des CPS:", "Polarité CPS", "Polarita CPS:"};
constexpr TextRow kPolarityTwo{"Positive\nNegative", "Positiv\nNegativ", "Positif\nNégatif", "Kladná\nZáporná"};
constexpr TextRow kPolarityThree{"Positive\nNegative\nSelfsearch", "Positiv\nNegativ\nAutomatisch", "Positif\nNégatif\nAutomatique", "Kladná\nZáporná\nSamohledání"};

constexpr std::array kInputCaptions{
    Composed{"RadioGroupInput1", "", &texts::Input, " 1"},
    Composed{"RadioGroupInput2", "", &texts::Input, " 2"},
};

constexpr std::array kLaterRows{
    Row{"RadioGroupInput1", TextKind::Items, {"Off\nKill switch\nClutch master\nCurve B\nStart Limiter", "Aus\nNot Aus\nSchaltautomat\nKurve B\nStartbegrenzer", "Off\nInterrupteur de sécurité\npar embeillage\nB\nLimitateur départ", "Vypnut\nKill switch\nClutch master\nKřivka B\nStartovací omezovač"}},
    Row{"RadioGroupInput2", TextKind::Items, {"Off\nBlocking\nClutch master\nCurve B\nStart Limiter", "Aus\nBlockierung\nSchaltautomat\nKurve B\nStartbegrenzer", "Off\nBlocage\npar embeillage\nB\nLimitateur départ", "Vypnut\nBlokování\nClutch master\nKřivka B\nStartovací omezovač"}},
    Row{"GroupBoxRpm", TextKind::Caption, {"Tachometer output", "Drehzählerausgang", "Tachometer output", "Výstup pro otáčkoměr"}},
    Row{"LabelRpmPulsu", TextKind::Caption, {"Pulses per revolution", "Pulse pro Umdrehung", "Pulses per revolution", "Počet pulsů za otáčku"}},
    Row{"LabelRpmKorekce", TextKind::Caption, {"Correction [%]", "Korrektion [%]", "Correction [%]", "Korekce [%]"}},
    Row{"GroupBoxMonInput", TextKind::Caption, {"Input to ground", "Eingang zu Erde", "Entrée de terre", "Vstup uzeměn"}},
    Row{"ButtonTestIgn1", TextKind::Caption, {"Ignition", "Zündung", "Ignition", "Zapalování"}},
};

constexpr TextRow kHintOpen{"Open file with parametrs", "Kenndatendatei öffnen", "Ouvrir fichier avec paramètres", "Otevření souboru s parametry"};
constexpr TextRow kHintNew{"Set default parametrs", "neue Kenndatendatei erstellen", "Reprogramation des paramètres initial Dórigine", "Nastavení výchozích parametrů"};
constexpr TextRow kHintSave{"Save parametrs to file", "Kenndaten in Datei speichern", "Sauvegarder les paramètres", "Uložení parametrů do souboru"};
constexpr TextRow kHintPrint{"Print parametrs", "Kenndaten Drucken", "Imprimer paramètres", "Tisk parametrů"};
constexpr TextRow kHintProgram{"Programing  set parametrs to ignition", "Kenndaten in die Zündung programmieren", "Programer les paramètres dans ECU", "Programování nastavených parametrů do zapalování"};
constexpr TextRow kHintVerify{"Compare set parametrs  with parametrs of ignition", "Kenndaten mit Zündungskenndaten vergleichen", "Comparer les paramètres de ECU", "Ověření zda  nastavené parametry souhlasí s parametry naprogramovanými do zapalování"};
constexpr TextRow kHintRead{"Reading parametrs from ignition", "Kenndaten aus Zündung lesen", "Lire paramètres ECU", "Čtení parametrů ze zapalování"};
constexpr TextRow kHintRpm{"Round per Minute|Speed - Round per Minute", "Umdrehungen pro Minute", "Tours minute", "Otáčky za minutu|Rychlost - Otáčky za minutu"};

constexpr std::array kHintRows{
    Row{"LabelVerze1", TextKind::Hint, {"Version of program in ignition", "Programmverion der Zündung", "Variantes de courbe d´avance", "Verze programu v zapalování"}},
    Row{"LabelVerze2", TextKind::Hint, {"Date of program in ignition", "Datum des Programm in der Zündung", "Date de programation de la courbe d´avance", "Datum zhotovení programu v zapalování"}},
    Row{"LabelVerze3", TextKind::Hint, {"Time of program in ignition", "Programmierzeitpunkt der Zündung", "Temp de programation de la courbe d´avance", "Čas zhotovení programu v zapalování"}},
    Row{"SpeedButtonOpen", TextKind::Hint, kHintOpen},
    Row{"MenuOpen", TextKind::Hint, kHintOpen},
    Row{"SpeedButton6", TextKind::Hint, kHintNew},
    Row{"MenuNew", TextKind::Hint, kHintNew},
    Row{"SpeedButtonSave", TextKind::Hint, kHintSave},
    Row{"MenuSave", TextKind::Hint, kHintSave},
    Row{"SpeedButtonPrint", TextKind::Hint, kHintPrint},
    Row{"MenuPrint", TextKind::Hint, kHintPrint},
    Row{"ButtonProgram", TextKind::Hint, kHintProgram},
    Row{"MenuProgram", TextKind::Hint, kHintProgram},
    Row{"ButtonVerify", TextKind::Hint, kHintVerify},
    Row{"MenuVerify", TextKind::Hint, kHintVerify},
    Row{"BitBtnAdvMinus", TextKind::Hint, {"Take off 1 degree of Advance", "Vorzündung minus 1 Grad", "Retarder de 1 degré l´avance a l´allumage", "Zmenšení předstihu o 1 stupeň"}},
    Row{"BitBtnAdvPlus", TextKind::Hint, {"Add 1 degree of Advance", "Vorzündung plus 1 Grad", "Avance accroître l´avance a l´allumage de 1 degré", "Zvětšení předstihu o 1 stupeň"}},
    Row{"ButtonRead", TextKind::Hint, kHintRead},
    Row{"MenuRead", TextKind::Hint, kHintRead},
    Row{"MenuExit", TextKind::Hint, {"End of program", "Programm beenden", "Sortir du programme", "Ukončení programu"}},
    Row{"MenuLanguage", TextKind::Hint, {"Set English or German or French or Czech ", "wählen sie Englisch, Deutsch, Französisch oder Tschechisch ", "installer lange; Englais,Allemand , Francais ou Czech", "Nastavení jazyka na angličtinu, němčinu, francozštinu nebo češtinu "}},
    Row{"CheckBoxProgHned", TextKind::Hint, {"Programing at once after change", "Programmmieren sofort nach dem änderung", "Programation instantanée des modifications", "Programování ihned po změně"}},
    Row{"MenuCom", TextKind::Hint, {"Set number of com", "Com-Anschluß festlegen", "installer nombre de com", "Nastavení čísla serivého portu (Com) "}},
    Row{"LabelRpm1", TextKind::Hint, kHintRpm},
    Row{"LabelRpm2", TextKind::Hint, kHintRpm},
};

constexpr TextRow kUndo{"Undo", "Zurück", "Undo", "Zpět"};
constexpr TextRow kRedo{"Redo", "Wieder", "Redo", "Znovu"};
// The toolbar's history buttons take the menu items' words as their hints.
constexpr std::array kHistoryRows{
    Row{"MenuZpet", TextKind::Caption, kUndo},
    Row{"MenuZnovu", TextKind::Caption, kRedo},
    Row{"SpeedButtonZpet", TextKind::Hint, kUndo},
    Row{"SpeedButtonZnovu", TextKind::Hint, kRedo},
};
// clang-format on

void add(std::vector<ControlText>& out, const Row& row, Language language) {
    out.push_back({row.control, row.kind, std::string(row.text[language]), row.item});
}

template <std::size_t N>
void add(std::vector<ControlText>& out, const std::array<Row, N>& rows, Language language) {
    for (const Row& row : rows)
        add(out, row, language);
}

template <std::size_t N>
void add(std::vector<ControlText>& out, const std::array<Composed, N>& rows, Language language) {
    for (const Composed& c : rows) {
        std::string text(c.prefix);
        text += (*c.base)[language];
        text += c.suffix;
        out.push_back({c.control, TextKind::Caption, std::move(text)});
    }
}

} // namespace

std::vector<ControlText> polarityTexts(int languageIndex, std::uint8_t bikeType) {
    const Language language = languageFromIndex(languageIndex);
    const TextRow& items = offersSelfSearch(bikeType) ? kPolarityThree : kPolarityTwo;
    // The caption first, in every case.
    return {{"RadioGroupPolarita", TextKind::Caption, std::string(kPolarityCaption[language])},
            {"RadioGroupPolarita", TextKind::Items, std::string(items[language])}};
}

std::vector<ControlText> controlTexts(int languageIndex, std::uint8_t bikeType) {
    const Language language = languageFromIndex(languageIndex);
    std::vector<ControlText> out;
    add(out, kMenuRows, language);
    add(out, kTransferCaptions, language);
    add(out, kMenuTools, language);
    add(out, kShiftCaptions, language);
    add(out, kControlRows, language);
    for (ControlText& t : polarityTexts(languageIndex, bikeType))
        out.push_back(std::move(t));
    add(out, kInputCaptions, language);
    add(out, kLaterRows, language);
    add(out, kHintRows, language);
    add(out, kHistoryRows, language);
    // The window's own additions.
    out.push_back(
        {"MenuExportPdf", TextKind::Caption, std::string(windowtexts::ExportPdf[language])});
    out.push_back(
        {"MenuExportPdf", TextKind::Hint, std::string(windowtexts::ExportPdfHint[language])});
    for (const auto& [control, caption, hint] :
         {std::tuple{"MenuDifferences", &windowtexts::Differences, &windowtexts::DifferencesHint},
          std::tuple{"MenuCompareFile", &windowtexts::CompareFile, &windowtexts::CompareFileHint},
          std::tuple{"MenuRecord", &windowtexts::Record, &windowtexts::RecordHint},
          std::tuple{"MenuLiveChart", &livetexts::LiveChart, &livetexts::LiveChartHint},
          std::tuple{"MenuViewRecording", &livetexts::ViewRecording,
                     &livetexts::ViewRecordingHint}}) {
        out.push_back({control, TextKind::Caption, std::string((*caption)[language])});
        out.push_back({control, TextKind::Hint, std::string((*hint)[language])});
    }
    out.push_back({"LabelNotProgrammed", TextKind::Caption,
                   std::string(windowtexts::NotProgrammed[language])});
    out.push_back(
        {"LabelNotKnown", TextKind::Caption, std::string(windowtexts::NotKnown[language])});
    out.push_back(
        {"LabelNotSaved", TextKind::Caption, std::string(windowtexts::NotSaved[language])});
    return out;
}

std::vector<ControlText> formTexts() {
    std::string bikes;
    for (const BikeType& b : kBikeList) {
        if (!bikes.empty())
            bikes += '\n';
        bikes += b.text;
    }
    return {{"ComboBoxBike", TextKind::Items, bikes},
            {"ComboBoxBike", TextKind::Hint, "Type of keying"},
            {"ComboBoxPocPalcu", TextKind::Hint, "Type of keying"},
            {"RadioGroupAB", TextKind::Caption, "A/B"},
            {"RadioGroupAB", TextKind::Items, "A\nB\nMonitor"},
            {"GroupBoxTestIgn", TextKind::Caption, "Test"},
            {"ButtonTestRpm", TextKind::Caption, "Rpm"},
            {"ButtonTestPilotLight", TextKind::Caption, "Pilot light"},
            {"LabelClutch1", TextKind::Caption, "Clutch master time [ms]"},
            {"LabelClutch2", TextKind::Caption, "Clutch master pause [ms]"},
            {"LabelPWM", TextKind::Caption, "PWM [%]"},
            {"LabelRpm1", TextKind::Caption, "RPM"},
            {"LabelRpm2", TextKind::Caption, "RPM"},
            {"BitBtnAdvMinus", TextKind::Caption, "-"},
            {"BitBtnAdvPlus", TextKind::Caption, "+"},
            {"MenuAdvanceMinus", TextKind::Hint, "Curve A minus|Take off 1 degree of curve A"},
            {"MenuAdvancePlus", TextKind::Hint, "Curve A plus|Add 1 degree of curve A"},
            {"SpeedButton6", TextKind::Hint, "New|Set default parametrs"},
            {"SpeedButtonOpen", TextKind::Hint, "Open|Open file with parametrs"},
            {"SpeedButtonSave", TextKind::Hint, "Save|Save parametrs to file"}};
}

std::vector<ControlText> languageItemHints() {
    return {{"MenuEnglish", TextKind::Hint, "Set English menu"},
            {"MenuGerman", TextKind::Hint, "Deutsches Menü"},
            {"MenuFrench", TextKind::Hint, "Installer en Francais "},
            {"MenuCzech", TextKind::Hint, "Nastavit české menu"}};
}

HintParts splitHint(std::string_view hint) {
    const auto bar = hint.find('|');
    if (bar == std::string_view::npos)
        return {std::string(hint), std::string(hint)};
    return {std::string(hint.substr(0, bar)), std::string(hint.substr(bar + 1))};
}

} // namespace zentrola
