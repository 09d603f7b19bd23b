// Texts of the live chart, the recording viewer and their menu commands, in the four
// languages. Channel names are the recording's column names, the same in every language.
#pragma once

#include "core/Jazyk1.h"

#include <QString>

namespace zentrola {

namespace livetexts {
// clang-format off
inline constexpr TextRow LiveChart{"&Live chart", "&Live-Diagramm", "&Graphique en direct", "Ž&ivý graf"};
inline constexpr TextRow LiveChartHint{"Engine speed and advance of the last minute in a window of their own", "Drehzahl und Vorzündung der letzten Minute in einem eigenen Fenster", "Régime et avance de la dernière minute dans une fenêtre à part", "Otáčky a předstih za poslední minutu ve vlastním okně"};
inline constexpr TextRow ViewRecording{"&View recording...", "Aufzeichnung &ansehen...", "&Voir un enregistrement...", "&Prohlížet záznam..."};
inline constexpr TextRow ViewRecordingHint{"Opens a recording of live data and plots it over time and over the advance curves", "Öffnet eine Aufzeichnung der Live-Daten und zeigt sie über der Zeit und über den Zündkurven", "Ouvre un enregistrement des données en direct et le trace dans le temps et sur les courbes d'avance", "Otevře záznam živých dat a vykreslí ho v čase a nad křivkami předstihu"};

inline constexpr TextRow ChartTitle{"Live data", "Live-Daten", "Données en direct", "Živá data"};
inline constexpr TextRow EngineSpeed{"Engine speed [rpm]", "Drehzahl [rpm]", "Régime [rpm]", "Otáčky [rpm]"};
inline constexpr TextRow Advance{"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"};
inline constexpr TextRow Supply{"Supply [V]", "Versorgung [V]", "Alimentation [V]", "Napájení [V]"};
inline constexpr TextRow Limiter{"Limiter", "Begrenzer", "Limitateur", "Omezovač"};
inline constexpr TextRow ShiftLight{"Gear shift light", "Schaltblitz", "Témoin de rapport", "Kontrolka řazení"};
inline constexpr TextRow SecondsAgo{"Seconds ago", "Sekunden zurück", "Il y a (s)", "Před sekundami"};
// %1: engine speed, %2: advance in use ("-" while the base advance is in force)
inline constexpr TextRow Reading{"%1 rpm     %2°", "%1 rpm     %2°", "%1 rpm     %2°", "%1 rpm     %2°"};

inline constexpr TextRow ViewerTitle{"Recording viewer", "Aufzeichnungs-Betrachter", "Visionneuse d'enregistrements", "Prohlížeč záznamů"};
inline constexpr TextRow FileMenu{"&File", "&Datei", "&Fichier", "&Soubor"};
inline constexpr TextRow Open{"&Open...", "Ö&ffnen...", "&Ouvrir...", "&Otevřít..."};
inline constexpr TextRow ExportPng{"Export as P&NG...", "Als P&NG exportieren...", "Exporter en P&NG...", "Exportovat do P&NG..."};
inline constexpr TextRow ExportPdf{"Export as &PDF...", "Als &PDF exportieren...", "Exporter en &PDF...", "Exportovat do &PDF..."};
inline constexpr TextRow Close{"&Close", "&Schließen", "&Fermer", "&Zavřít"};
inline constexpr TextRow ViewMenu{"&View", "&Ansicht", "&Affichage", "&Zobrazení"};
inline constexpr TextRow ZoomIn{"Zoom &in", "&Vergrößern", "Zoom &avant", "&Přiblížit"};
inline constexpr TextRow ZoomOut{"Zoom &out", "Ver&kleinern", "Zoom a&rrière", "&Oddálit"};
inline constexpr TextRow WholeRecording{"&Whole recording", "&Ganze Aufzeichnung", "&Tout l'enregistrement", "&Celý záznam"};
inline constexpr TextRow PanLeft{"Pan &left", "Nach &links", "Vers la &gauche", "Posunout &vlevo"};
inline constexpr TextRow PanRight{"Pan &right", "Nach &rechts", "Vers la &droite", "Posunout v&pravo"};
inline constexpr TextRow CursorBack{"Cursor one row &back", "Cursor eine Zeile &zurück", "Curseur une ligne en &arrière", "Kurzor o řádek &zpět"};
inline constexpr TextRow CursorOn{"Cursor one row &on", "Cursor eine Zeile &weiter", "Curseur une ligne en a&vant", "Kurzor o řádek &dál"};
inline constexpr TextRow ChannelColumn{"Channel", "Kanal", "Canal", "Kanál"};
inline constexpr TextRow CursorColumn{"At cursor", "Am Cursor", "Au curseur", "Na kurzoru"};
inline constexpr TextRow MinColumn{"Minimum", "Minimum", "Minimum", "Minimum"};
inline constexpr TextRow MaxColumn{"Maximum", "Maximum", "Maximum", "Maximum"};
inline constexpr TextRow TimeAxis{"Time [s]", "Zeit [s]", "Temps [s]", "Čas [s]"};
inline constexpr TextRow StateAxis{"State [0/1]", "Zustand [0/1]", "État [0/1]", "Stav [0/1]"};
inline constexpr TextRow CountAxis{"Number", "Anzahl", "Nombre", "Počet"};
// %1: the cursor's time in seconds
inline constexpr TextRow CursorAt{"Cursor at %1 s", "Cursor bei %1 s", "Curseur à %1 s", "Kurzor na %1 s"};
// %1: the file, %2: rows, %3: the duration in seconds
inline constexpr TextRow Opened{"%1: %2 rows, %3 s", "%1: %2 Zeilen, %3 s", "%1 : %2 lignes, %3 s", "%1: %2 řádků, %3 s"};
inline constexpr TextRow PointsTitle{"Where the engine ran on the advance curves", "Wo der Motor auf den Zündkurven lief", "Où le moteur a tourné sur les courbes d'avance", "Kde motor běžel na křivkách předstihu"};
inline constexpr TextRow CurveA{"Curve A", "Kurve A", "Courbe A", "Křivka A"};
inline constexpr TextRow CurveB{"Curve B", "Kurve B", "Courbe B", "Křivka B"};
inline constexpr TextRow Often{"Often", "Oft", "Souvent", "Často"};
inline constexpr TextRow Sometimes{"Sometimes", "Manchmal", "Parfois", "Občas"};
inline constexpr TextRow Rarely{"Rarely", "Selten", "Rarement", "Zřídka"};

// A recording that could not be read whole. %1: the file, %2: the line, %3: what is wrong,
// %4: the rows shown.
inline constexpr TextRow ProblemAtLine{"%1, line %2: %3\n%4 rows could be read and are shown.", "%1, Zeile %2: %3\n%4 Zeilen konnten gelesen werden und werden gezeigt.", "%1, ligne %2 : %3\n%4 lignes ont pu être lues et sont affichées.", "%1, řádek %2: %3\nPřečíst a zobrazit šlo %4 řádků."};
// The same for a file that could not be read at all. %1: the file, %2: what is wrong
inline constexpr TextRow ProblemWithFile{"%1: %2", "%1: %2", "%1 : %2", "%1: %2"};
inline constexpr TextRow CannotOpen{"the file cannot be opened.", "die Datei lässt sich nicht öffnen.", "impossible d'ouvrir le fichier.", "soubor nelze otevřít."};
inline constexpr TextRow Empty{"the file is empty.", "die Datei ist leer.", "le fichier est vide.", "soubor je prázdný."};
inline constexpr TextRow NotARecording{"this is not a recording of live data: the first line is not its header.", "das ist keine Aufzeichnung von Live-Daten: die erste Zeile ist nicht ihre Kopfzeile.", "ce n'est pas un enregistrement de données en direct : la première ligne n'en est pas l'en-tête.", "nejde o záznam živých dat: první řádek není jeho záhlaví."};
inline constexpr TextRow Truncated{"the last row ends early; the recording was cut off.", "die letzte Zeile bricht ab; die Aufzeichnung wurde abgeschnitten.", "la dernière ligne s'arrête trop tôt ; l'enregistrement a été coupé.", "poslední řádek je neúplný; záznam byl přerušen."};
inline constexpr TextRow NotANumber{"a field holds text where a number belongs.", "ein Feld enthält Text, wo eine Zahl stehen muss.", "un champ contient du texte à la place d'un nombre.", "pole obsahuje text tam, kde má být číslo."};
inline constexpr TextRow FieldCount{"the row has more or fewer fields than the header.", "die Zeile hat mehr oder weniger Felder als die Kopfzeile.", "la ligne a plus ou moins de champs que l'en-tête.", "řádek má víc nebo méně polí než záhlaví."};
inline constexpr TextRow TimeGoesBack{"time goes back here: the rows are not in the order they were recorded.", "die Zeit läuft hier rückwärts: die Zeilen stehen nicht in der Reihenfolge der Aufzeichnung.", "le temps recule ici : les lignes ne sont pas dans l'ordre de l'enregistrement.", "čas se tady vrací zpět: řádky nejsou v pořadí, v jakém byly zaznamenány."};
inline constexpr TextRow TooLarge{"the file is larger than 1 GB and was not read; even a recording of a whole day is far smaller.", "die Datei ist größer als 1 GB und wurde nicht gelesen; selbst die Aufzeichnung eines ganzen Tages ist weit kleiner.", "le fichier dépasse 1 Go et n'a pas été lu ; même l'enregistrement d'une journée entière est bien plus petit.", "soubor je větší než 1 GB a nebyl načten; i záznam celého dne je mnohem menší."};
inline constexpr TextRow SaveFailed{"%1: the file cannot be written.", "%1: die Datei lässt sich nicht schreiben.", "%1 : impossible d'écrire le fichier.", "%1: soubor nelze zapsat."};
// clang-format on
} // namespace livetexts

inline QString lt(const TextRow& row, int languageIndex) {
    const std::string_view text = row[languageFromIndex(languageIndex)];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What screen readers and tests find the two new windows by, in every language.
namespace accessible {
inline const QString kLiveChart = QStringLiteral("Live data chart");
inline const QString kRecordingViewer = QStringLiteral("Recording viewer");
} // namespace accessible

} // namespace zentrola
