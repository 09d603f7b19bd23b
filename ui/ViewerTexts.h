// Texts of the recording viewer's analysis: the figures of a stretch, the cursors, the events,
// a second ride laid over the first, and the mark command of the main window, in the four
// languages.
#pragma once

#include "core/Jazyk1.h"

namespace zentrola::viewertexts {
// clang-format off
inline constexpr TextRow ChannelsTab{"C&hannels", "&Kanäle", "&Canaux", "&Kanály"};
inline constexpr TextRow StatisticsTab{"&Statistics", "&Statistik", "&Statistiques", "&Statistika"};
inline constexpr TextRow EventsTab{"E&vents", "&Ereignisse", "É&vénements", "&Události"};
// %1, %2: seconds
inline constexpr TextRow ShownStretch{"Shown: %1 s to %2 s", "Angezeigt: %1 s bis %2 s", "Affiché : de %1 s à %2 s", "Zobrazeno: %1 s až %2 s"};
inline constexpr TextRow BetweenCursors{"Between the cursors: %1 s to %2 s", "Zwischen den Cursorn: %1 s bis %2 s", "Entre les curseurs : de %1 s à %2 s", "Mezi kurzory: %1 s až %2 s"};
inline constexpr TextRow MeanColumn{"Mean", "Mittel", "Moyenne", "Průměr"};
inline constexpr TextRow BandsTitle{"Time per engine speed band", "Zeit je Drehzahlbereich", "Temps par plage de régime", "Čas v pásmech otáček"};
inline constexpr TextRow SecondsAxis{"Time [s]", "Zeit [s]", "Temps [s]", "Čas [s]"};
// %1: seconds without engine speed, %2: seconds without data
inline constexpr TextRow StoppedMissing{"Engine stopped %1 s, no data %2 s", "Motor stand %1 s, keine Daten %2 s", "Moteur arrêté %1 s, sans données %2 s", "Motor stál %1 s, bez dat %2 s"};
// %1, %2: the cursors' times; %3: seconds between; %4, %5: rpm at each; %6: the change; %7: rpm per second
inline constexpr TextRow CursorSpan{"Cursors %1 s to %2 s: %3 s, %4 to %5 rpm (%6 rpm), %7 rpm/s", "Cursor %1 s bis %2 s: %3 s, %4 bis %5 rpm (%6 rpm), %7 rpm/s", "Curseurs de %1 s à %2 s : %3 s, %4 à %5 rpm (%6 rpm), %7 rpm/s", "Kurzory %1 s až %2 s: %3 s, %4 až %5 rpm (%6 rpm), %7 rpm/s"};
inline constexpr TextRow SetSecondCursor{"Shift+click sets the second cursor", "Umschalt+Klick setzt den zweiten Cursor", "Maj+clic place le second curseur", "Shift+klik nastaví druhý kurzor"};

inline constexpr TextRow TimeColumn{"Time [s]", "Zeit [s]", "Temps [s]", "Čas [s]"};
inline constexpr TextRow EventColumn{"Event", "Ereignis", "Événement", "Událost"};
inline constexpr TextRow DetailColumn{"Detail", "Einzelheit", "Détail", "Podrobnost"};
inline constexpr TextRow Limiter{"Limiter", "Begrenzer", "Limitateur", "Omezovač"};
inline constexpr TextRow StartLimiter{"Start limiter", "Startbegrenzer", "Limitateur de départ", "Startovací omezovač"};
inline constexpr TextRow KillSwitch{"Kill switch", "Notaus", "Coupe-circuit", "Vypínač zapalování"};
inline constexpr TextRow MotorOff{"Motor off", "Motor aus", "Moteur coupé", "Motor vypnut"};
inline constexpr TextRow LostConnection{"Connection lost", "Verbindung verloren", "Connexion perdue", "Spojení ztraceno"};
inline constexpr TextRow CurveSwitch{"Curve switched", "Kurve gewechselt", "Courbe changée", "Přepnutí křivky"};
inline constexpr TextRow Mark{"Mark", "Markierung", "Repère", "Značka"};
inline constexpr TextRow OffCurve{"the unit did not run its curve here", "hier lief das Gerät nicht auf seiner Kurve", "ici, le boîtier n'a pas suivi sa courbe", "tady jednotka nejela podle své křivky"};
// %1: seconds
inline constexpr TextRow Lasting{"for %1 s", "für %1 s", "pendant %1 s", "po dobu %1 s"};
// %1: A or B
inline constexpr TextRow ToCurve{"to curve %1", "auf Kurve %1", "vers la courbe %1", "na křivku %1"};
// %1: the mark's number
inline constexpr TextRow MarkNumber{"No. %1", "Nr. %1", "n° %1", "č. %1"};
// %1: degrees, signed
inline constexpr TextRow DegreesOff{"%1° off the curve", "%1° neben der Kurve", "%1° hors de la courbe", "%1° mimo křivku"};
inline constexpr TextRow NoCurvesKnown{"The settings in the unit during this ride are not known: no check against the curve.", "Die Einstellungen im Gerät während dieser Fahrt sind unbekannt: kein Abgleich mit der Kurve.", "Les réglages du boîtier pendant ce parcours sont inconnus : pas de contrôle par rapport à la courbe.", "Nastavení jednotky během této jízdy nejsou známa: bez kontroly proti křivce."};

inline constexpr TextRow CompareMenu{"&Compare", "&Vergleichen", "&Comparer", "&Porovnat"};
inline constexpr TextRow CompareWith{"Lay &another recording over this one...", "&Andere Aufzeichnung darüberlegen...", "Superposer un &autre enregistrement...", "Př&ekrýt jiným záznamem..."};
inline constexpr TextRow StopComparing{"&Remove the second recording", "Zweite Aufzeichnung &entfernen", "&Retirer le second enregistrement", "&Odebrat druhý záznam"};
inline constexpr TextRow AlignStarts{"Align at the &starts", "An den &Anfängen ausrichten", "Aligner sur les &débuts", "Zarovnat na &začátky"};
inline constexpr TextRow AlignEvent{"Align at the selected &event", "Am gewählten &Ereignis ausrichten", "Aligner sur l'&événement choisi", "Zarovnat na vybranou &událost"};
inline constexpr TextRow SecondCursorBack{"Second cursor one row b&ack", "Zweiter Cursor eine Zeile zu&rück", "Second curseur une ligne en arri&ère", "Druhý kurzor o řádek z&pět"};
inline constexpr TextRow SecondCursorOn{"Second cursor one row o&n", "Zweiter Cursor eine Zeile wei&ter", "Second curseur une ligne en ava&nt", "Druhý kurzor o řádek d&ál"};
inline constexpr TextRow ClearCursors{"C&lear the cursors", "Cursor &entfernen", "&Effacer les curseurs", "Z&rušit kurzory"};
inline constexpr TextRow NextEvent{"&Next event", "&Nächstes Ereignis", "Événement &suivant", "&Další událost"};
inline constexpr TextRow PreviousEvent{"&Previous event", "&Voriges Ereignis", "Événement &précédent", "&Předchozí událost"};
// %1: the file, %2: the shift in seconds
inline constexpr TextRow ComparedWith{"Second recording (dashed): %1, moved by %2 s", "Zweite Aufzeichnung (gestrichelt): %1, verschoben um %2 s", "Second enregistrement (en tirets) : %1, décalé de %2 s", "Druhý záznam (čárkovaně): %1, posunut o %2 s"};
// %1: the event
inline constexpr TextRow NoSuchEvent{"The second recording has no event to match: %1.", "Die zweite Aufzeichnung hat kein passendes Ereignis: %1.", "Le second enregistrement n'a pas d'événement correspondant : %1.", "Druhý záznam nemá odpovídající událost: %1."};
inline constexpr TextRow ChooseEventFirst{"Choose an event in the list first.", "Zuerst ein Ereignis in der Liste wählen.", "Choisissez d'abord un événement dans la liste.", "Nejprve vyberte událost v seznamu."};

inline constexpr TextRow MarkCommand{"Set a &mark", "&Markierung setzen", "Poser un &repère", "Vložit &značku"};
inline constexpr TextRow MarkHint{"Marks this moment in the recording under way; the viewer lists the marks", "Markiert diesen Moment in der laufenden Aufzeichnung; der Betrachter listet die Markierungen", "Repère cet instant dans l'enregistrement en cours ; la visionneuse liste les repères", "Označí tento okamžik v probíhajícím záznamu; prohlížeč značky vypíše"};
// %1: the mark's number
inline constexpr TextRow MarkSet{"Mark %1 set", "Markierung %1 gesetzt", "Repère %1 posé", "Značka %1 vložena"};
inline constexpr TextRow MarkNeedsRecording{"Marks go into a recording: start one with Record live data first.", "Markierungen gehören in eine Aufzeichnung: zuerst mit Live-Daten aufzeichnen eine starten.", "Les repères vont dans un enregistrement : lancez-en d'abord un avec Enregistrer les données en direct.", "Značky patří do záznamu: nejprve spusťte Záznam živých dat."};
// clang-format on
} // namespace zentrola::viewertexts
