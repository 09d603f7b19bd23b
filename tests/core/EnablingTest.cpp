#include "core/Enabling.h"
#include "core/BikeTypes.h"

#include <gtest/gtest.h>

using namespace zentrola;

namespace {
struct Pass : ::testing::Test {
    ParameterImage image;
    Pass() { loadDefaults(image); }
    Enabling run(std::optional<Curve> shown = Curve::A, bool printing = false) {
        return enablingPass(image, shown, printing, false);
    }
};
} // namespace

TEST_F(Pass, RowsFollowTheNumberOfPoints) {
    image[Offset::PointsA] = 3;
    const Enabling e = run();
    EXPECT_TRUE(e.rows[2].rpmField.visible);
    EXPECT_TRUE(e.rows[2].advanceSpinner.visible);
    EXPECT_FALSE(e.rows[3].rpmField.visible);
    EXPECT_FALSE(e.rows[14].advanceField.visible);
    EXPECT_TRUE(e.rows[0].rpmField.enabled);
    EXPECT_FALSE(e.rows[0].rpmField.emptied);
}

TEST_F(Pass, NoCurveShownEmptiesAndGreysTheCurveControls) {
    const Enabling e = run(std::nullopt);
    for (const CurveRowLook& row : e.rows) {
        EXPECT_FALSE(row.rpmField.visible);
        EXPECT_TRUE(row.advanceField.emptied);
        EXPECT_FALSE(row.rpmSpinner.enabled);
    }
    EXPECT_TRUE(e[Control::EditOmez2].emptied);
    EXPECT_TRUE(e[Control::EditPocetBodu].emptied);
    EXPECT_TRUE(e[Control::EditLedRazeni].emptied);
    EXPECT_FALSE(e[Control::UpDownOmez2].enabled);
    EXPECT_FALSE(e[Control::UpDownPocetBodu].enabled);
    // The start limiter and clutch fields keep their values.
    EXPECT_FALSE(e[Control::EditOmez1].emptied);
    EXPECT_FALSE(e[Control::EditClutch1].emptied);
}

TEST_F(Pass, InputFunctionsEnableTheirFields) {
    Enabling e = run();
    EXPECT_FALSE(e[Control::EditOmez1].enabled);
    EXPECT_FALSE(e[Control::UpDownOmez1].visible);
    EXPECT_FALSE(e[Control::EditClutch2].enabled);
    EXPECT_FALSE(e[Control::LabelKillSwitch].enabled);
    image[Offset::Input1] = 4; // start limiter
    image[Offset::Input2] = 2; // clutch master
    e = run();
    EXPECT_TRUE(e[Control::EditOmez1].enabled);
    EXPECT_TRUE(e[Control::LabelOmez1].enabled);
    EXPECT_TRUE(e[Control::UpDownOmez1].visible);
    EXPECT_TRUE(e[Control::EditClutch2].enabled);
    EXPECT_TRUE(e[Control::UpDownClutch1].visible);
    EXPECT_TRUE(e[Control::LabelClutchMon].enabled);
    EXPECT_TRUE(e[Control::LabelMonStartLimiterOut].enabled);
    image[Offset::Input1] = 1;
    image[Offset::Input2] = 1;
    e = run();
    EXPECT_TRUE(e[Control::LabelKillSwitch].enabled);
    EXPECT_TRUE(e[Control::LabelBlocking].enabled);
}

TEST_F(Pass, KeyingControlsByBikeType) {
    image[Offset::BikeType] = 3; // KTM 4T SEM
    Enabling e = run();
    EXPECT_FALSE(e[Control::RadioGroupPolarita].visible);
    EXPECT_FALSE(e[Control::ComboBoxPocPalcu].enabled);
    image[Offset::BikeType] = 0;
    e = run();
    EXPECT_TRUE(e[Control::RadioGroupPolarita].visible);
    EXPECT_TRUE(e[Control::RadioGroupPolarita].enabled);
    EXPECT_TRUE(e[Control::ComboBoxPocPalcu].enabled);
    EXPECT_TRUE(e[Control::LabelPolaritaMer].visible);
    image[Offset::BikeType] = 4; // Honda CBF250
    e = run();
    EXPECT_TRUE(e[Control::RadioGroupPolarita].visible);
    EXPECT_FALSE(e[Control::RadioGroupPolarita].enabled);
    EXPECT_FALSE(e[Control::LabelPolaritaMer].visible);
    EXPECT_FALSE(e[Control::LabelPolaritaMer].enabled);
}

TEST_F(Pass, CheckBoxColours) {
    EXPECT_EQ(run()[Control::CheckBoxZakazCteni].colour, Colour::Face);
    image[Offset::NoReading] = 1;
    EXPECT_EQ(run()[Control::CheckBoxZakazCteni].colour, Colour::Red);
    EXPECT_EQ(enablingPass(image, Curve::A, false, true)[Control::CheckBoxProgHned].colour,
              Colour::Red);
}

TEST_F(Pass, PrintLookLeavesOutTheEditingAids) {
    image[Offset::Input1] = 4;
    const Enabling e = run(Curve::A, true);
    EXPECT_EQ(e.background, Colour::White);
    EXPECT_TRUE(e.rows[0].rpmField.visible);
    EXPECT_FALSE(e.rows[0].rpmSpinner.visible);
    for (Control c : {Control::GroupBoxToolBar, Control::StatusBar1, Control::CheckBoxProgHned,
                      Control::CheckBoxZakazCteni, Control::CheckBoxIgnAll, Control::BitBtnAdvMinus,
                      Control::UpDownOmez1, Control::UpDownOmez2, Control::UpDownPocetBodu,
                      Control::UpDownBaseAdv, Control::CGaugeRpm})
        EXPECT_FALSE(e[c].visible) << kControlNames[static_cast<std::size_t>(c)];
    EXPECT_TRUE(e[Control::EditOmez1].visible);
    EXPECT_EQ(run().background, Colour::Face);
}
