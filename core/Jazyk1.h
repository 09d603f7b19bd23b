// The message table: the named texts of the four languages that status lines, message boxes,
// monitor labels and the print line are composed from. Texts are UTF-8 data, one row each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zentrola {

enum class Language : std::uint8_t { English = 0, German = 1, French = 2, Czech = 3 };
inline constexpr int kLanguageCount = 4;

// Keywords of the first command line argument and of the CLI's --lang, by language index.
inline constexpr std::array<std::string_view, kLanguageCount> kLanguageKeywords{
    "ENGLISH", "DEUTSCH", "FRANCE", "CESKY"};

// Exact, case-sensitive match of a whole keyword; anything else selects nothing.
std::optional<int> languageFromArgument(std::string_view arg);

// Index outside 0..3 -> English, as a stale settings value must never pick a missing column.
constexpr Language languageFromIndex(int index) {
    return index >= 0 && index < kLanguageCount ? static_cast<Language>(index) : Language::English;
}

// One text in the four languages. A column that repeats another language's text holds that
// text again: the repetition is part of the data, not a fallback.
struct TextRow {
    std::string_view english;
    std::string_view german;
    std::string_view french;
    std::string_view czech;

    constexpr std::string_view operator[](Language language) const {
        switch (language) {
        case Language::German:
            return german;
        case Language::French:
            return french;
        case Language::Czech:
            return czech;
        case Language::English:
            break;
        }
        return english;
    }
};

inline constexpr std::string_view kProgramName = "ZENTROLA";

namespace texts {
// clang-format off
inline constexpr TextRow ManualFile{"manual_zentrola_en.pdf", "manual_zentrola_de.pdf", "manual_zentrola_fr.pdf", "manual_zentrola_cz.pdf"};
inline constexpr TextRow ProgramError{"Program error!", "Programmierfehler!", "Erreur de programmation!", "Chyba programování"};
inline constexpr TextRow VerifyError{"Verify error!", "Vergleichsfehler", "Verifier erreur!", "Chyba verifikace!"};
inline constexpr TextRow ReadError{"Read error!", "Lesefehler", "Lire erreur!", "Chyba čtení!"};
inline constexpr TextRow Programming{"Programing", "Programmieren", "Programmer", "Programování"};
inline constexpr TextRow Verify{"Verify", "Vergleichen", "Vérifier", "Verifikace"};
inline constexpr TextRow Read{"Read", "Lesen", "Lire", "Čtení"};
inline constexpr TextRow Saving{"Saving:", "Speichern:", "Mémorisation", "Ukládání:"};
inline constexpr TextRow UnitMismatch{"Unmatched version of PC and Ignition programs!", "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!", "Programme du boitier d´alumage non compatible avec programme PC!", "Neshodné verze proramu v PC a zapalování!"};
// The older-file message is three pieces: first line, reason, explanation.
inline constexpr TextRow OlderFileFirstLine{"Older version of *.ign file!\n\n", "Älter Version von Datendatei *.ign!\n\n", "Older version of *.ign file!\n\n", "Starší verze souboru *.ign!\n\n"};
inline constexpr TextRow OlderFileReason{"Some parameters won't be changed or will be set to default value.\n", "Einige Kenndaten werden nicht geändert oder werden implizit Wert gestellt.\n", "Some parameters won't be changed or will be set to default value.\n", "Některé parametry budou nezměněny nebo nataveny na základní hodnotu.\n"};
inline constexpr TextRow OlderFileExplanation{"They are parameters which are not in older version or have another structure.", "Sie sind die Kenndaten, die in älter Version nicht sind oder andere Struktur haben", "They are parameters which are not in older version or have another structure.", "Jsou to parametry, které v této verzi nebyly obsaženy nebo měly jinou strukturu."};
inline constexpr TextRow FileMismatch{"Unmatched version of *.ign file!", "Datei *.ign ist nicht kompatiebel!", "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"};
inline constexpr TextRow PrintDate{"Date and time of printing:  ", "Zeitpunkt des Ausdruckes   ", "Date et heur de l´imprimé:   ", "Datum a čas tisku:  "};
inline constexpr TextRow Polarity{"Polarity of CKPS", "Polarität des CKPS", "Polarité CKPS", "Polarita CKPS"};
inline constexpr TextRow Positive{"Positive", "Positiv", "Positif", "Kladná"};
inline constexpr TextRow Negative{"Negative", "Negativ", "Négatif", "Záporná"};
inline constexpr TextRow ComError{"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!", "Chyba při otevírání portu Com!"};
// Shared by the file error (with "!") and the manual error (with the manual's name).
inline constexpr TextRow OpenFileError{"Open file error", "Fehler beim öffnen der Datei", "Erreur ouvertur fichier", "Chyba při otevírání souboru"};
inline constexpr TextRow DefaultQuestion{"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?", "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"};
inline constexpr TextRow NoReading{"No reading!", "Lesen verboten!", "Pas axessible!", "Zákaz čtení!"};
inline constexpr TextRow Advance{"Advance", "Vorzündung", "Avance", "Předstih"};
inline constexpr TextRow StartLimiter{"Start limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"};
inline constexpr TextRow Limiter{"Limiter", "Begrenzer", "Limitateur", "Omezovač"};
inline constexpr TextRow ShiftLight{"Gear shift light", "Schaltblitz", "Retard à l´allumage", "Kontrolka řazení"};
inline constexpr TextRow ClutchMaster{"Clutch master", "Schaltautomat", "Clutch master", "Clutch master"};
inline constexpr TextRow UsedCurve{"Used curve", "Kurve", "Courbe", "Zvolená křivka"};
inline constexpr TextRow Blocking{"Motor off", "Motor off", "Blocage", "Blokování"};
inline constexpr TextRow ProgramCount{"Number of Programing= ", "Programmierungsanzahl= ", "Nombre de programmations= ", "Počet programování= "};
inline constexpr TextRow Yes{"Yes", "Ja", "Oui", "Ano"};
inline constexpr TextRow No{"No", "Nein", "Non", "Ne"};
inline constexpr TextRow Pickup{"Pick-up (CPS)", "Geber(CPS)", "Capteur(CPS)", "Snímač (CPS)"};
inline constexpr TextRow Running{" is running", " läuft", " fonctionne", " pracuje"};
inline constexpr TextRow NoSignal{" no signal", " kein Signal", " pas de signal", " bez signálu"};
inline constexpr TextRow Input{"Input", "Eingang", "Entrée", "Vstup"};
inline constexpr TextRow Basic{"Basic", "Grund", "De base", "Základní"};
inline constexpr TextRow Channel{"Channel", "Kanal", "Kanal", "Kanál"};
inline constexpr TextRow AboutTitle{"About ZENTROLA", "Über Programm ZENTROLA", "Information ZENTROLA", "O programu ZENTROLA"};
inline constexpr TextRow SetCom{"Set com", "Com-Anschluß auswahl", "installer com", "Nastavení komunikace na port com"};
// The stored-data-error label's caption, the same in every language.
inline constexpr TextRow DataError{"Programmed data error", "Programmed data error", "Programmed data error", "Programmed data error"};
// The no-connection label's text; the command line says it too when the unit does not answer.
inline constexpr TextRow NoConnection{"No connection with PC", "Keine Verbindung zum PC", "Pas de connection acec pc", "Není spojení s PC"};
// The advance graph: its tooltip and what a screen reader says about it.
inline constexpr TextRow RpmUnit{"rpm", "U/min", "tr/min", "ot/min"};
inline constexpr TextRow BaseAdvance{"Base advance", "Grundvorzündung", "Avance de base", "Základní předstih"};
inline constexpr TextRow CurveWord{"Curve", "Kurve", "Courbe", "Křivka"};
inline constexpr TextRow NoCurve{"No curve shown", "Keine Kurve angezeigt", "Aucune courbe affichée", "Není zobrazena žádná křivka"};
// The connection went while the unit wrote its memory: nobody knows how far it got.
inline constexpr TextRow SavingInterrupted{"Saving interrupted! A Read will show what the unit holds.", "Speichern unterbrochen! Lesen zeigt, was in der Zündung steht.", "Mémorisation interrompue ! Une lecture montrera ce que contient le boîtier.", "Ukládání přerušeno! Co v zapalování je, ukáže čtení."};
// A programming that failed part-way: the unit may hold one page of the new set.
inline constexpr TextRow ProgramUnfinished{"The programming did not finish: the unit's settings are not known. Read the unit, or program it again.", "Die Programmierung wurde nicht beendet: Die Einstellungen der Zündung sind nicht bekannt. Zündung lesen oder noch einmal programmieren.", "La programmation ne s'est pas terminée : les paramètres du boîtier ne sont pas connus. Lisez le boîtier ou programmez-le à nouveau.", "Programování nebylo dokončeno: nastavení zapalování není známo. Zapalování přečtěte, nebo ho naprogramujte znovu."};
// clang-format on

// Names and values of settings as the window shows them, for the difference report. The
// captions are the window's control texts (the polarity group's without its colon); the two
// combo boxes have no caption, so their names are the report's own.
namespace setting {
// clang-format off
inline constexpr TextRow Curve{"Curve", "Kurve", "Courbe", "Křivka"};   // opens a curve point's name
inline constexpr TextRow OfCurve{"curve", "Kurve", "courbe", "křivka"}; // after a per-curve caption
inline constexpr TextRow Point{"point", "Stützpunkt", "point", "bod"};
inline constexpr TextRow Rpm{"RPM", "RPM", "RPM", "RPM"};
inline constexpr TextRow Advance{"advance [°]", "Vorzündung [°]", "avance [°]", "předstih [°]"};
// A curve point beyond that side's number of points.
inline constexpr TextRow Unused{"unused", "nicht belegt", "non utilisé", "nepoužitý"};
inline constexpr TextRow NumberOfItems{"Number of items", "Anzahl der Stützpunkte", "Nombre de points", "Počet bodů"};
inline constexpr TextRow BaseAdvance{"Base advance [°]", "Basis Vorzündung [°]", "Avance de base [°]", "Základní předstih [°]"};
inline constexpr TextRow CurveSelection{"A/B", "A/B", "A/B", "A/B"};
inline constexpr TextRow A{"A", "A", "A", "A"};
inline constexpr TextRow B{"B", "B", "B", "B"};
inline constexpr TextRow Monitor{"Monitor", "Monitor", "Monitor", "Monitor"};
inline constexpr TextRow Polarity{"Polarity of CPS", "Polarität des CPS", "Polarité CPS", "Polarita CPS"};
inline constexpr TextRow SelfSearch{"Selfsearch", "Automatisch", "Automatique", "Samohledání"};
inline constexpr TextRow Off{"Off", "Aus", "Off", "Vypnut"};
inline constexpr TextRow KillSwitch{"Kill switch", "Not Aus", "Interrupteur de sécurité", "Kill switch"};
inline constexpr TextRow Blocking{"Blocking", "Blockierung", "Blocage", "Blokování"};
inline constexpr TextRow ClutchMaster{"Clutch master", "Schaltautomat", "par embeillage", "Clutch master"};
inline constexpr TextRow CurveB{"Curve B", "Kurve B", "B", "Křivka B"};
inline constexpr TextRow StartLimiterItem{"Start Limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"};
inline constexpr TextRow Pulses{"Pulses per revolution", "Pulse pro Umdrehung", "Pulses per revolution", "Počet pulsů za otáčku"};
inline constexpr TextRow Correction{"Correction [%]", "Korrektion [%]", "Correction [%]", "Korekce [%]"};
inline constexpr TextRow BikeType{"Bike type", "Motorradtyp", "Type de moto", "Typ motocyklu"};
inline constexpr TextRow Lobes{"Ignitions per revolution", "Zündungen pro Umdrehung", "Allumages par tour", "Počet zápalů za otáčku"};
inline constexpr TextRow OneLobe{"1 ignition per revolution", "1 Zündung pro Umdrehung", "1 ignition per revolution", "1 zápal za otáčku"};
inline constexpr TextRow TwoLobes{"2 ignitions per revolution", "2 Zündungen pro Umdrehung", "2 ignitions per revolution", "2 zápaly za otáčku"};
inline constexpr TextRow ThreeLobes{"3 ignitions per revolution", "3 Zündungen pro Umdrehung", "3 ignitions per revolution", "3 zápaly za otáčku"};
inline constexpr TextRow Camshaft{"1 ignition per 2 revolutions (camshaft)", "1 Zündung pro 2 Umdrehungen (Nockenwelle)", "1 ignition per 2 revolutions (camshaft)", "1 zápal za 2 otáčky (vačkový hřídel)"};
inline constexpr TextRow StartLimiter{"Start limiter [rpm]", "Startbegrenzer [rpm]", "Limitateur départ [rpm]", "Startovací omezovač [rpm]"};
inline constexpr TextRow Limiter{"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]", "Omezovač [rpm]"};
inline constexpr TextRow ClutchTime{"Clutch master time [ms]", "Clutch master time [ms]", "Clutch master time [ms]", "Clutch master time [ms]"};
inline constexpr TextRow ClutchPause{"Clutch master pause [ms]", "Clutch master pause [ms]", "Clutch master pause [ms]", "Clutch master pause [ms]"};
inline constexpr TextRow NoReading{"No Reading", "Lesen Verboten", "Pas axessible", "Zákaz čtení"};
inline constexpr TextRow ShiftLight{"Gear shift light [rpm]", "Schaltblitz [rpm]", "Témoin de rapport [rpm]", "Kontrolka řazení [rpm]"};
inline constexpr TextRow Pwm{"PWM [%]", "PWM [%]", "PWM [%]", "PWM [%]"};
inline constexpr TextRow ReverseOutput{"Reverse otput polarity", "Umgekehrte Ausgangpolarität", "Reverse otput polarity", "Opačná polarita výstupu"};
inline constexpr TextRow TestRpm{"Test [rpm]", "Test [rpm]", "Test [rpm]", "Test [rpm]"};
// Bytes the window does not show; the unit keeps them and a verify compares them.
inline constexpr TextRow ReservedByte{"Reserved byte", "Reserviertes Byte", "Octet réservé", "Rezervovaný bajt"};
// clang-format on
} // namespace setting
} // namespace texts

// The texts other parts read by name and compose with; they never write them.
struct MessageTable {
    std::string TextTitle;    // "  " + program name, the same in every language
    std::string TextFileName; // current parameter file; owned by the caller, no language text
    std::string TextManualFile;
    std::string TextProgramError;
    std::string TextVerifyError;
    std::string TextReadError;
    std::string TextProgramming;
    std::string TextVerify;
    std::string TextRead;
    std::string TextSaving;
    std::string TextUnitMismatch;
    std::string TextOlderFile;
    std::string TextFileMismatch;
    std::string TextPrintDate;
    std::string TextPolarity;
    std::string TextPositive;
    std::string TextNegative;
    std::string TextComError;
    std::string TextFileError;
    std::string TextDefaultQuestion;
    std::string TextNoReading;
    std::string TextManualError;
    std::string TextAdvance;
    std::string TextStartLimiter;
    std::string TextLimiter;
    std::string TextShiftLight;
    std::string TextClutchMaster;
    std::string TextUsedCurve;
    std::string TextBlocking;
    std::string TextProgramCount;
    std::string TextYes;
    std::string TextNo;
    std::string TextPickup;
    std::string TextRunning;
    std::string TextNoSignal;
    std::string TextInput;
    std::string TextBasic;
    std::string TextChannel;
    std::string TextAboutTitle;
    std::string TextSetCom;
    std::string TextDataError;
    std::string TextRpmUnit;
    std::string TextBaseAdvance;
    std::string TextCurve;
    std::string TextNoCurve;
    std::string TextSavingInterrupted;
};

// Fills every language text and the composed entries for the index (outside 0..3: English).
// TextFileName is left as it is.
void applyLanguage(MessageTable& table, int languageIndex);

// Title, seven blanks, then the current file name.
std::string windowCaption(const MessageTable& table);

} // namespace zentrola
