// The difference report names settings with the window's own captions and item texts: the
// two copies (core's for the report, the window's control texts) must not drift apart.
#include "core/BikeTypes.h"
#include "core/Jazyk1.h"
#include "ui/Jazyk2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zentrola;
namespace setting = zentrola::texts::setting;

namespace {

std::string textOf(const std::vector<ControlText>& texts, std::string_view control, TextKind kind,
                   int item = 0) {
    for (const ControlText& t : texts)
        if (t.control == control && t.kind == kind && t.item == item)
            return t.text;
    ADD_FAILURE() << "no text for " << control;
    return {};
}

std::string joined(std::initializer_list<const TextRow*> rows, Language language) {
    std::string out;
    for (const TextRow* row : rows)
        out += (out.empty() ? "" : "\n") + std::string((*row)[language]);
    return out;
}

} // namespace

TEST(DifferenceNames, AreTheWindowsCaptionsAndItemsInEveryLanguage) {
    const std::vector<ControlText> form = formTexts();
    EXPECT_EQ(setting::ClutchTime.english, textOf(form, "LabelClutch1", TextKind::Caption));
    EXPECT_EQ(setting::ClutchPause.english, textOf(form, "LabelClutch2", TextKind::Caption));
    EXPECT_EQ(setting::Pwm.english, textOf(form, "LabelPWM", TextKind::Caption));

    for (int index = 0; index < kLanguageCount; ++index) {
        const Language l = languageFromIndex(index);
        const std::vector<ControlText> texts = controlTexts(index, 0); // all three polarities
        const std::vector<std::pair<std::string_view, const TextRow*>> captions{
            {"LabelPocetBodu", &setting::NumberOfItems},
            {"LabelBaseAdv", &setting::BaseAdvance},
            {"LabelRpmPulsu", &setting::Pulses},
            {"LabelRpmKorekce", &setting::Correction},
            {"LabelOmez1", &setting::StartLimiter},
            {"LabelOmez2", &setting::Limiter},
            {"CheckBoxZakazCteni", &setting::NoReading},
            {"LabelLedRazeni", &setting::ShiftLight},
            {"CheckBoxRevOutLedRazeni", &setting::ReverseOutput},
        };
        for (const auto& [control, row] : captions)
            EXPECT_EQ((*row)[l], textOf(texts, control, TextKind::Caption)) << control;

        std::string polarity = textOf(texts, "RadioGroupPolarita", TextKind::Caption);
        if (polarity.ends_with(':'))
            polarity.pop_back();
        EXPECT_EQ(setting::Polarity[l], polarity);
        EXPECT_EQ(joined({&texts::Positive, &texts::Negative, &setting::SelfSearch}, l),
                  textOf(texts, "RadioGroupPolarita", TextKind::Items));
        EXPECT_EQ(joined({&setting::Off, &setting::KillSwitch, &setting::ClutchMaster,
                          &setting::CurveB, &setting::StartLimiterItem},
                         l),
                  textOf(texts, "RadioGroupInput1", TextKind::Items));
        EXPECT_EQ(joined({&setting::Off, &setting::Blocking, &setting::ClutchMaster,
                          &setting::CurveB, &setting::StartLimiterItem},
                         l),
                  textOf(texts, "RadioGroupInput2", TextKind::Items));
        const TextRow* lobes[] = {&setting::OneLobe, &setting::TwoLobes, &setting::ThreeLobes,
                                  &setting::Camshaft};
        for (int item = 0; item < 4; ++item)
            EXPECT_EQ((*lobes[item])[l], textOf(texts, "ComboBoxPocPalcu", TextKind::Item, item));
    }
}
