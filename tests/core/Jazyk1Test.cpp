#include "core/Jazyk1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace zentrola;

namespace {

MessageTable tableIn(int language) {
    MessageTable table;
    applyLanguage(table, language);
    return table;
}

// Every member except the file name, which is no language text.
std::vector<const std::string*> languageEntries(const MessageTable& t) {
    return {&t.TextTitle,
            &t.TextManualFile,
            &t.TextProgramError,
            &t.TextVerifyError,
            &t.TextReadError,
            &t.TextProgramming,
            &t.TextVerify,
            &t.TextRead,
            &t.TextSaving,
            &t.TextUnitMismatch,
            &t.TextOlderFile,
            &t.TextFileMismatch,
            &t.TextPrintDate,
            &t.TextPolarity,
            &t.TextPositive,
            &t.TextNegative,
            &t.TextComError,
            &t.TextFileError,
            &t.TextDefaultQuestion,
            &t.TextNoReading,
            &t.TextManualError,
            &t.TextAdvance,
            &t.TextStartLimiter,
            &t.TextLimiter,
            &t.TextShiftLight,
            &t.TextClutchMaster,
            &t.TextUsedCurve,
            &t.TextBlocking,
            &t.TextProgramCount,
            &t.TextYes,
            &t.TextNo,
            &t.TextPickup,
            &t.TextRunning,
            &t.TextNoSignal,
            &t.TextInput,
            &t.TextBasic,
            &t.TextChannel,
            &t.TextAboutTitle,
            &t.TextSetCom,
            &t.TextDataError,
            &t.TextRpmUnit,
            &t.TextBaseAdvance,
            &t.TextCurve,
            &t.TextNoCurve,
            &t.TextSavingInterrupted};
}

} // namespace

TEST(Jazyk1, EveryEntryIsFilledInEveryLanguage) {
    static_assert(sizeof(MessageTable) == 46 * sizeof(std::string),
                  "a new entry must be added to languageEntries");
    for (int language = 0; language < kLanguageCount; ++language) {
        const MessageTable table = tableIn(language);
        for (const std::string* entry : languageEntries(table))
            EXPECT_FALSE(entry->empty()) << "language " << language;
    }
}

TEST(Jazyk1, RepeatedTextsStandAsTheTablesGiveThem) {
    const MessageTable english = tableIn(0);
    const MessageTable german = tableIn(1);
    const MessageTable french = tableIn(2);
    const MessageTable czech = tableIn(3);
    EXPECT_EQ(french.TextOlderFile, english.TextOlderFile);
    EXPECT_NE(german.TextOlderFile, english.TextOlderFile);
    EXPECT_NE(czech.TextOlderFile, english.TextOlderFile);
    EXPECT_EQ(french.TextClutchMaster, "Clutch master");
    EXPECT_EQ(czech.TextClutchMaster, "Clutch master");
    EXPECT_EQ(german.TextClutchMaster, "Schaltautomat");
    EXPECT_EQ(german.TextBlocking, "Motor off");
    EXPECT_EQ(french.TextChannel, "Kanal");
    EXPECT_EQ(czech.TextChannel, "Kanál");
    // Misspellings are the program's own texts.
    EXPECT_EQ(english.TextProgramming, "Programing");
    EXPECT_EQ(german.TextVerifyError, "Vergleichsfehler");
    EXPECT_EQ(french.TextNoReading, "Pas axessible!");
    EXPECT_EQ(czech.TextUnitMismatch, "Neshodné verze proramu v PC a zapalování!");
}

TEST(Jazyk1, ComposedEntries) {
    const MessageTable english = tableIn(0);
    EXPECT_EQ(english.TextFileError, "Open file error!");
    EXPECT_EQ(english.TextManualError, "Open file error manual_zentrola_en.pdf !");
    EXPECT_EQ(english.TextTitle, "  ZENTROLA");
    EXPECT_EQ(english.TextOlderFile,
              "Older version of *.ign file!\n\n"
              "Some parameters won't be changed or will be set to default value.\n"
              "They are parameters which are not in older version or have another structure.");

    const MessageTable german = tableIn(1);
    EXPECT_EQ(german.TextFileError, "Fehler beim öffnen der Datei!");
    EXPECT_EQ(german.TextManualError, "Fehler beim öffnen der Datei manual_zentrola_de.pdf !");
    EXPECT_EQ(german.TextTitle, "  ZENTROLA");
    EXPECT_EQ(german.TextOlderFile.find("Älter Version von Datendatei *.ign!\n\nEinige"), 0u);
    EXPECT_EQ(german.TextOlderFile.back(), 'n'); // "...haben", no full stop
    // First line, blank line, reason, explanation: three line feeds whatever the language.
    for (int language = 0; language < kLanguageCount; ++language) {
        const std::string text = tableIn(language).TextOlderFile;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << language;
        EXPECT_NE(text.find("!\n\n"), std::string::npos) << language;
    }

    EXPECT_EQ(tableIn(3).TextManualError, "Chyba při otevírání souboru manual_zentrola_cz.pdf !");
}

TEST(Jazyk1, BlanksAtTheEndsAreKept) {
    EXPECT_EQ(tableIn(0).TextPrintDate, "Date and time of printing:  ");
    EXPECT_EQ(tableIn(1).TextPrintDate, "Zeitpunkt des Ausdruckes   ");
    EXPECT_EQ(tableIn(2).TextPrintDate, "Date et heur de l´imprimé:   ");
    EXPECT_EQ(tableIn(3).TextPrintDate, "Datum a čas tisku:  ");
    EXPECT_EQ(tableIn(0).TextRunning, " is running");
    EXPECT_EQ(tableIn(1).TextNoSignal, " kein Signal");
    EXPECT_EQ(tableIn(0).TextProgramCount, "Number of Programing= ");
}

TEST(Jazyk1, ChangingLanguageKeepsTheFileNameAndRewritesEverythingElse) {
    MessageTable table;
    table.TextFileName = "/home/rider/klr.ign";
    applyLanguage(table, 3);
    applyLanguage(table, 1);
    EXPECT_EQ(table.TextFileName, "/home/rider/klr.ign");
    EXPECT_EQ(table.TextYes, "Ja");
    EXPECT_EQ(table.TextAboutTitle, "Über Programm ZENTROLA");
    EXPECT_EQ(table.TextSetCom, "Com-Anschluß auswahl");
    EXPECT_EQ(windowCaption(table), "  ZENTROLA       /home/rider/klr.ign");

    MessageTable fresh;
    applyLanguage(fresh, 0);
    EXPECT_EQ(windowCaption(fresh), "  ZENTROLA       ");
}

TEST(Jazyk1, IndexOutsideTheTableFallsBackToEnglish) {
    for (int index : {-1, 4, 7, 255}) {
        const MessageTable table = tableIn(index);
        EXPECT_EQ(table.TextManualFile, "manual_zentrola_en.pdf") << index;
        EXPECT_EQ(table.TextOlderFile, tableIn(0).TextOlderFile) << index;
    }
}

TEST(Jazyk1, ArgumentKeywordsAreExactAndCaseSensitive) {
    EXPECT_EQ(languageFromArgument("ENGLISH"), 0);
    EXPECT_EQ(languageFromArgument("DEUTSCH"), 1);
    EXPECT_EQ(languageFromArgument("FRANCE"), 2);
    EXPECT_EQ(languageFromArgument("CESKY"), 3);
    for (const char* other : {"deutsch", "Deutsch", "DEUTSCH ", "DEUTSCHE", "FRENCH", "CZECH", ""})
        EXPECT_EQ(languageFromArgument(other), std::nullopt) << '"' << other << '"';
}
