// The edit loop without widgets: controls captured, rules applied, controls refreshed.
#include "core/BikeTypes.h"
#include "core/CurveRules.h"
#include "core/FormValues.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zentrola;

namespace {

struct EditLoop : ::testing::Test {
    ParameterImage image;
    FormValues form = FormValues::designed();
    CurveRules rules;
    std::uint8_t language = 0, portIndex = 20, scanPosition = 0;
    int activeChannel = -1;

    EditLoop() {
        loadDefaults(image);
        apply();
        refreshForm();
    }
    std::optional<Curve> shown() const { return shownCurve(image, activeChannel); }
    void apply() { rules.apply(image, shown(), Housekeeping{language, portIndex, scanPosition}); }
    void refreshForm() { refresh(image, shown(), form); }
    // What a spinner edit does: marker -2, capture, rules, refresh.
    void edit(std::size_t spinner, int value) {
        form.setSpinner(spinner, value);
        rules.marker = Marker::FromControls;
        capture(form, image, shown(), rules.marker);
        apply();
        refreshForm();
    }
    std::vector<int> speeds(Curve c) const {
        std::vector<int> v;
        for (std::size_t i = 0; i < kCurvePoints; ++i)
            v.push_back(image.rpm(c, i));
        return v;
    }
};

std::vector<int> rising(int from) {
    std::vector<int> v;
    for (int i = 0; i < 15; ++i)
        v.push_back(from + i);
    return v;
}

} // namespace

TEST_F(EditLoop, FirstApplicationAdjustsAroundPointZeroOfCurveA) {
    EXPECT_EQ(rules.anchor(), 0);
    EXPECT_EQ(speeds(Curve::A)[0], 10);
    EXPECT_EQ(form.spin[Spin::Rpm + 14], 15000);
}

TEST_F(EditLoop, TypingBelowTheFloorPushesLowerPointsDown) {
    edit(Spin::Rpm + 3, 600);
    EXPECT_EQ(rules.marker, 3);
    std::vector<int> want{6, 7, 8, 9};
    for (int i = 4; i < 15; ++i)
        want.push_back(10 * (i + 1));
    EXPECT_EQ(speeds(Curve::A), want);
    EXPECT_EQ(form.spin[Spin::Rpm + 0], 600);
    EXPECT_EQ(form.spin[Spin::Rpm + 3], 900);

    // Moving the point back lets the pushed neighbours spring back, never past it.
    edit(Spin::Rpm + 3, 2500);
    EXPECT_EQ(speeds(Curve::A)[0], 10);
    EXPECT_EQ(speeds(Curve::A)[1], 20);
    EXPECT_EQ(speeds(Curve::A)[2], 24);
    EXPECT_TRUE(rules.displaced(2));
    edit(Spin::Rpm + 3, 4000);
    EXPECT_EQ(speeds(Curve::A)[2], 30);
    EXPECT_FALSE(rules.displaced(2));
}

TEST_F(EditLoop, TopSpeedOnPointZeroPushesTheRestUp) {
    edit(Spin::Rpm + 0, 20100);
    EXPECT_EQ(speeds(Curve::A), rising(185));
    // A new anchor forgets the displacements: the pushed points do not come back.
    edit(Spin::Rpm + 5, 18000);
    const int pointOne = speeds(Curve::A)[1];
    edit(Spin::Rpm + 0, 1000);
    EXPECT_EQ(speeds(Curve::A)[0], 10);
    EXPECT_EQ(speeds(Curve::A)[1], pointOne);
}

TEST_F(EditLoop, NegativeAnchorNormalisesBothCurves) {
    for (std::size_t i = 0; i < kCurvePoints; ++i) {
        image.rpm(Curve::A, i) = 10;
        image.rpm(Curve::B, i) = 0;
    }
    image[Offset::CurveSelect] = CurveSelection::B; // a change of shown curve
    rules.marker = Marker::None;
    apply();
    EXPECT_EQ(rules.anchor(), -1);
    EXPECT_EQ(speeds(Curve::A), rising(10));
    EXPECT_EQ(speeds(Curve::B), rising(6));
}

TEST_F(EditLoop, CaptureOfTwoChangedPointsKeepsTheAnchorOrNormalises) {
    edit(Spin::Rpm + 3, 3500);
    ASSERT_EQ(rules.anchor(), 3);
    form.spin[Spin::Rpm + 7] = 1000; // out of order, but not the anchor
    form.spin[Spin::Advance + 8] = 30;
    rules.marker = Marker::FromControls;
    capture(form, image, shown(), rules.marker);
    EXPECT_EQ(rules.marker, -1);
    apply();
    EXPECT_EQ(rules.anchor(), 3); // same curve: no normalisation
    EXPECT_EQ(image.rpm(Curve::A, 7), 10);

    // The same capture followed by a change of shown curve normalises both.
    image[Offset::CurveSelect] = CurveSelection::B;
    rules.marker = -1;
    apply();
    EXPECT_EQ(rules.anchor(), -1);
    EXPECT_EQ(image.rpm(Curve::A, 7), 71);
}

TEST_F(EditLoop, LimitersAndAdvanceBounds) {
    edit(Spin::Limiter, 999);
    EXPECT_EQ(image[Offset::LimiterA], 10);
    EXPECT_EQ(form.spin[Spin::Limiter], 1000);
    EXPECT_EQ(image[Offset::StartLimiterA], 10); // start limiter follows it down
    edit(Spin::Limiter, 12000);
    edit(Spin::StartLimiter, 15000);
    EXPECT_EQ(image[Offset::StartLimiterA], 120);
    EXPECT_EQ(image[Offset::StartLimiterB], 100); // curve B untouched

    image.advance(Curve::B, 4) = 200; // a negative result of a subtraction
    image[Offset::Pwm] = 0;
    apply();
    EXPECT_EQ(image.advance(Curve::B, 4), 0);
    EXPECT_EQ(image[Offset::Pwm], 10);
}

TEST_F(EditLoop, TwoStrokeTypeCapsAdvanceAtBase) {
    image[Offset::BikeType] = kBikeCappedAdvance;
    image[Offset::BaseAdvance] = 20;
    image.advance(Curve::A, 0) = 25;
    image.advance(Curve::A, 1) = 18;
    image.advance(Curve::B, 2) = 21;
    apply();
    EXPECT_EQ(image.advance(Curve::A, 0), 20);
    EXPECT_EQ(image.advance(Curve::A, 1), 18);
    EXPECT_EQ(image.advance(Curve::B, 2), 20);
}

TEST_F(EditLoop, HousekeepingOfOtherModulesValues) {
    language = 7;
    portIndex = 21;
    scanPosition = 255; // a missing key read as 0, minus one
    apply();
    EXPECT_EQ(language, 0);
    EXPECT_EQ(portIndex, 0);
    EXPECT_EQ(scanPosition, 0);
    portIndex = 20;
    scanPosition = 19;
    apply();
    EXPECT_EQ(portIndex, 20);
    EXPECT_EQ(scanPosition, 19);
}

TEST_F(EditLoop, MonitorWithUnknownChannelCapturesNoCurveValue) {
    edit(Spin::Limiter, 12000);
    image[Offset::CurveSelect] = CurveSelection::Monitor;
    refreshForm();
    EXPECT_EQ(form.spin[Spin::Limiter], 12000); // kept, not rewritten
    form.spin[Spin::Limiter] = 9000;
    form.spin[Spin::Rpm + 0] = 5000;
    form.spin[Spin::BaseAdvance] = 12;
    int marker = Marker::FromControls;
    const ParameterImage before = image;
    capture(form, image, shown(), marker);
    EXPECT_EQ(marker, Marker::FromControls);
    EXPECT_EQ(image[Offset::LimiterA], before[Offset::LimiterA]);
    EXPECT_EQ(image[Offset::LimiterB], before[Offset::LimiterB]);
    EXPECT_EQ(image.rpm(Curve::A, 0), before.rpm(Curve::A, 0));
    EXPECT_EQ(image[Offset::BaseAdvance], 12); // common fields are still taken

    activeChannel = 1;
    refreshForm();
    EXPECT_EQ(form.spin[Spin::Limiter], 15000); // now curve B's
}

TEST_F(EditLoop, CaptureReadsTheClampedControlBack) {
    image.rpm(Curve::A, 0) = 5;       // below the spinner's 600
    image[Offset::RpmCorrection] = 0; // -100 % is below -60
    refreshForm();
    EXPECT_EQ(form.spin[Spin::Rpm + 0], 600);
    EXPECT_EQ(form.spin[Spin::RpmCorrection], -60);
    int marker = Marker::FromControls;
    capture(form, image, shown(), marker);
    EXPECT_EQ(image.rpm(Curve::A, 0), 6);
    EXPECT_EQ(image[Offset::RpmCorrection], 40);
    EXPECT_EQ(marker, 0);
}

TEST_F(EditLoop, SwitchingTheShownCurveShowsCurveBInTheSameControls) {
    image[Offset::ClutchTimeB] = 40;
    image.rpm(Curve::B, 0) = 8;
    image[Offset::CurveSelect] = CurveSelection::B;
    refreshForm();
    EXPECT_EQ(form.spin[Spin::ClutchTime], 200);
    EXPECT_EQ(form.spin[Spin::Rpm], 800);
    EXPECT_EQ(form.spin[Spin::Advance], 4);
    EXPECT_EQ(form.curveItem, 1);
}

TEST_F(EditLoop, KeyingPerBikeType) {
    // Husaberg 4T SEM forces positive polarity and one lobe whatever the controls show.
    form.bikeItem = 2;
    form.lobeItem = 3;
    form.polarityItem = 1;
    int marker = Marker::FromControls;
    capture(form, image, shown(), marker);
    EXPECT_EQ(image[Offset::BikeType], 6);
    EXPECT_EQ(image[Offset::Lobes], 1);
    EXPECT_EQ(image[Offset::Polarity], 0);
    EXPECT_EQ(form.lobeItem, 0);
    EXPECT_EQ(form.polarityItem, 0);
    refreshForm();
    EXPECT_EQ(form.polarityItems, 2);

    // Standard lets the user choose one ignition per two revolutions and self-search.
    form.bikeItem = 0;
    form.lobeItem = 3;
    form.polarityItem = 2;
    capture(form, image, shown(), marker);
    EXPECT_EQ(image[Offset::Lobes], 0);
    EXPECT_EQ(image[Offset::Polarity], 2);
    refreshForm();
    EXPECT_EQ(form.lobeItem, 3);
    EXPECT_EQ(form.polarityItems, 3);

    // Start of lobe: the default set, or only its keying.
    image[Offset::BikeType] = kBikeStartOfLobe;
    image[Offset::BaseAdvance] = 15;
    resetKeying(image);
    EXPECT_EQ(image[Offset::BaseAdvance], 15);
    EXPECT_EQ(image[Offset::Lobes], 1);
    EXPECT_EQ(image[Offset::Polarity], 1);
    loadDefaults(image);
    EXPECT_EQ(image[Offset::BaseAdvance], 22);
}

TEST(SpinnerTable, RangesAsTheWindowShowsThem) {
    const auto& t = spinnerTable();
    EXPECT_EQ(t[Spin::Limiter].min, 999);
    EXPECT_EQ(t[Spin::Rpm + 14].formValue, 7000);
    EXPECT_EQ(t[Spin::Rpm + 9].formValue, 10000);
    EXPECT_EQ(t[Spin::ClutchTime].step, 5);
    EXPECT_EQ(t[Spin::Rpm + 5].byteB, Offset::RpmB + 5);
    FormValues f;
    f.setSpinner(Spin::Pwm, 150);
    EXPECT_EQ(f.spin[Spin::Pwm], 100);
}

TEST(ShownCurve, FromSelectionAndChannel) {
    EXPECT_EQ(shownCurve(0, -1), Curve::A);
    EXPECT_EQ(shownCurve(1, 0), Curve::B);
    EXPECT_EQ(shownCurve(2, 0), Curve::A);
    EXPECT_EQ(shownCurve(2, 1), Curve::B);
    EXPECT_EQ(shownCurve(2, -1), std::nullopt);
    EXPECT_EQ(shownCurve(3, 0), std::nullopt);
}
