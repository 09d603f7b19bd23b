// The texts of the parameter sheet and of its dialog, in the four languages. The settings'
// captions and items are those of the difference report (texts::setting); these are the
// sheet's own.
#pragma once

#include "core/Jazyk1.h"

namespace zentrola::texts::sheet {
// clang-format off
inline constexpr TextRow Command{"Parameter s&heet...", "&Kenndatenblatt...", "Fic&he des paramètres...", "&List s parametry..."};
inline constexpr TextRow CommandHint{"A one-page sheet of every setting with both curves, the unit and the customer, for the printer or as a PDF", "Ein Blatt mit allen Einstellungen, beiden Kurven, der Zündung und dem Kunden, für den Drucker oder als PDF", "Une page avec tous les paramètres, les deux courbes, le boîtier et le client, pour l'imprimante ou en PDF", "Jedna stránka se všemi nastaveními, oběma křivkami, zapalováním a zákazníkem, pro tiskárnu nebo jako PDF"};
inline constexpr TextRow Title{"Parameter sheet", "Kenndatenblatt", "Fiche des paramètres", "List s parametry"};
inline constexpr TextRow Customer{"Customer", "Kunde", "Client", "Zákazník"};
inline constexpr TextRow Bike{"Motorcycle", "Motorrad", "Moto", "Motocykl"};
inline constexpr TextRow Notes{"Notes", "Bemerkungen", "Remarques", "Poznámky"};
inline constexpr TextRow PrintButton{"&Print", "&Drucken", "&Imprimer", "&Tisk"};
inline constexpr TextRow PdfButton{"Save as P&DF...", "Als P&DF speichern...", "Enregistrer en P&DF...", "Uložit jako P&DF..."};
inline constexpr TextRow Cancel{"Cancel", "Abbrechen", "Annuler", "Zrušit"};

// The head.
inline constexpr TextRow Program{"Program", "Programm", "Programme", "Program"};
inline constexpr TextRow VersionWord{"version", "Version", "version", "verze"};
inline constexpr TextRow Printed{"Date and time", "Datum und Uhrzeit", "Date et heure", "Datum a čas"};
inline constexpr TextRow File{"File", "Datei", "Fichier", "Soubor"};
inline constexpr TextRow NoFile{"not saved", "nicht gespeichert", "non enregistré", "neuloženo"};
// After the file's name when the window's settings are no longer those of the file.
inline constexpr TextRow FileChanged{" (changed since, not saved)", " (seitdem geändert, nicht gespeichert)", " (modifié depuis, non enregistré)", " (od té doby změněno, neuloženo)"};
inline constexpr TextRow Unit{"Unit", "Zündung", "Boîtier", "Zapalování"};
inline constexpr TextRow UnitUnknown{"not known", "nicht bekannt", "inconnu", "neznámé"};
inline constexpr TextRow UnitHolds{"In the unit", "In der Zündung", "Dans le boîtier", "V zapalování"};
inline constexpr TextRow HoldsConfirmed{"yes, confirmed by the last verify", "ja, vom letzten Vergleich bestätigt", "oui, confirmé par la dernière vérification", "ano, potvrzeno poslední verifikací"};
inline constexpr TextRow HoldsAsSent{"yes, as the unit sent them during the last verify", "ja, so wie die Zündung sie beim letzten Vergleich gesendet hat", "oui, tels que le boîtier les a envoyés pendant la dernière vérification", "ano, jak je zapalování poslalo při poslední verifikaci"};
inline constexpr TextRow HoldsNot{"no, the unit holds other settings (not programmed)", "nein, die Zündung hat andere Einstellungen (nicht programmiert)", "non, le boîtier a d'autres paramètres (non programmé)", "ne, zapalování má jiná nastavení (nenaprogramováno)"};
inline constexpr TextRow HoldsUnknown{"not known: the unit was not read, programmed or verified", "nicht bekannt: die Zündung wurde nicht gelesen, programmiert oder verglichen", "inconnu : le boîtier n'a été ni lu, ni programmé, ni vérifié", "neznámo: zapalování nebylo přečteno, naprogramováno ani ověřeno"};

// The curves and the settings.
inline constexpr TextRow CurveA{"Curve A", "Kurve A", "Courbe A", "Křivka A"};
inline constexpr TextRow CurveB{"Curve B", "Kurve B", "Courbe B", "Křivka B"};
inline constexpr TextRow Point{"Point", "Punkt", "Point", "Bod"};
inline constexpr TextRow Rpm{"RPM", "RPM", "RPM", "RPM"};
inline constexpr TextRow Advance{"Advance [°]", "Vorzündung [°]", "Avance [°]", "Předstih [°]"};
inline constexpr TextRow Setting{"Setting", "Einstellung", "Paramètre", "Nastavení"};
inline constexpr TextRow CurveSelection{"Curve selection (A/B)", "Kurvenwahl (A/B)", "Choix de la courbe (A/B)", "Volba křivky (A/B)"};
inline constexpr TextRow TestSpeed{"Test speed [rpm]", "Testdrehzahl [rpm]", "Régime de test [rpm]", "Testovací otáčky [rpm]"};
inline constexpr TextRow NotInUse{"Grey: not in use, no input is set to it.", "Grau: nicht in Gebrauch, kein Eingang ist darauf gestellt.", "En gris : inutilisé, aucune entrée n'y est réglée.", "Šedě: nepoužito, žádný vstup na to není nastaven."};

// The plot.
inline constexpr TextRow PlotTitle{"Advance curves", "Zündkurven", "Courbes d'avance", "Křivky předstihu"};
inline constexpr TextRow EngineSpeed{"Engine speed [rpm]", "Drehzahl [rpm]", "Régime [rpm]", "Otáčky [rpm]"};
inline constexpr TextRow LimiterA{"Limiter A", "Begrenzer A", "Limitateur A", "Omezovač A"};
inline constexpr TextRow LimiterB{"Limiter B", "Begrenzer B", "Limitateur B", "Omezovač B"};
inline constexpr TextRow StartLimiter{"Start limiter", "Startbegrenzer", "Limitateur départ", "Startovací omezovač"};
// clang-format on
} // namespace zentrola::texts::sheet
