#include "core/Jazyk1.h"

#include <utility>

namespace zentrola {

namespace {

struct PlainEntry {
    std::string MessageTable::*entry;
    const TextRow* row;
};

// Entries that take their row's text as it stands, in the order of the table.
constexpr std::array kPlainEntries{
    PlainEntry{&MessageTable::TextManualFile, &texts::ManualFile},
    PlainEntry{&MessageTable::TextProgramError, &texts::ProgramError},
    PlainEntry{&MessageTable::TextVerifyError, &texts::VerifyError},
    PlainEntry{&MessageTable::TextReadError, &texts::ReadError},
    PlainEntry{&MessageTable::TextProgramming, &texts::Programming},
    PlainEntry{&MessageTable::TextVerify, &texts::Verify},
    PlainEntry{&MessageTable::TextRead, &texts::Read},
    PlainEntry{&MessageTable::TextSaving, &texts::Saving},
    PlainEntry{&MessageTable::TextUnitMismatch, &texts::UnitMismatch},
    PlainEntry{&MessageTable::TextFileMismatch, &texts::FileMismatch},
    PlainEntry{&MessageTable::TextPrintDate, &texts::PrintDate},
    PlainEntry{&MessageTable::TextPolarity, &texts::Polarity},
    PlainEntry{&MessageTable::TextPositive, &texts::Positive},
    PlainEntry{&MessageTable::TextNegative, &texts::Negative},
    PlainEntry{&MessageTable::TextComError, &texts::ComError},
    PlainEntry{&MessageTable::TextDefaultQuestion, &texts::DefaultQuestion},
    PlainEntry{&MessageTable::TextNoReading, &texts::NoReading},
    PlainEntry{&MessageTable::TextAdvance, &texts::Advance},
    PlainEntry{&MessageTable::TextStartLimiter, &texts::StartLimiter},
    PlainEntry{&MessageTable::TextLimiter, &texts::Limiter},
    PlainEntry{&MessageTable::TextShiftLight, &texts::ShiftLight},
    PlainEntry{&MessageTable::TextClutchMaster, &texts::ClutchMaster},
    PlainEntry{&MessageTable::TextUsedCurve, &texts::UsedCurve},
    PlainEntry{&MessageTable::TextBlocking, &texts::Blocking},
    PlainEntry{&MessageTable::TextProgramCount, &texts::ProgramCount},
    PlainEntry{&MessageTable::TextYes, &texts::Yes},
    PlainEntry{&MessageTable::TextNo, &texts::No},
    PlainEntry{&MessageTable::TextPickup, &texts::Pickup},
    PlainEntry{&MessageTable::TextRunning, &texts::Running},
    PlainEntry{&MessageTable::TextNoSignal, &texts::NoSignal},
    PlainEntry{&MessageTable::TextInput, &texts::Input},
    PlainEntry{&MessageTable::TextBasic, &texts::Basic},
    PlainEntry{&MessageTable::TextChannel, &texts::Channel},
    PlainEntry{&MessageTable::TextAboutTitle, &texts::AboutTitle},
    PlainEntry{&MessageTable::TextSetCom, &texts::SetCom},
    PlainEntry{&MessageTable::TextDataError, &texts::DataError},
    PlainEntry{&MessageTable::TextRpmUnit, &texts::RpmUnit},
    PlainEntry{&MessageTable::TextBaseAdvance, &texts::BaseAdvance},
    PlainEntry{&MessageTable::TextCurve, &texts::CurveWord},
    PlainEntry{&MessageTable::TextNoCurve, &texts::NoCurve},
    PlainEntry{&MessageTable::TextSavingInterrupted, &texts::SavingInterrupted},
};

constexpr std::string_view kTitleIndent = "  ";
constexpr std::string_view kCaptionGap = "       ";

} // namespace

std::optional<int> languageFromArgument(std::string_view arg) {
    for (int i = 0; i < kLanguageCount; ++i)
        if (arg == kLanguageKeywords[static_cast<std::size_t>(i)])
            return i;
    return std::nullopt;
}

void applyLanguage(MessageTable& table, int languageIndex) {
    const Language language = languageFromIndex(languageIndex);
    for (const PlainEntry& plain : kPlainEntries)
        table.*plain.entry = std::string((*plain.row)[language]);

    std::string olderFile(texts::OlderFileFirstLine[language]);
    olderFile += texts::OlderFileReason[language];
    olderFile += texts::OlderFileExplanation[language];
    table.TextOlderFile = std::move(olderFile);

    const std::string_view openFileError = texts::OpenFileError[language];
    table.TextFileError = std::string(openFileError) + "!";
    // The manual's name is taken from the entry just set, so both always name the same file.
    table.TextManualError = std::string(openFileError) + " " + table.TextManualFile + " !";

    table.TextTitle = std::string(kTitleIndent) + std::string(kProgramName);
}

std::string windowCaption(const MessageTable& table) {
    return table.TextTitle + std::string(kCaptionGap) + table.TextFileName;
}

} // namespace zentrola
