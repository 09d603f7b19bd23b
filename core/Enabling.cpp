#include "core/Enabling.h"

#include "core/BikeTypes.h"

#include <algorithm>

namespace zentrola {

const std::array<std::string_view, kControlCount> kControlNames{"EditPocetBodu",
                                                                "UpDownPocetBodu",
                                                                "EditOmez1",
                                                                "UpDownOmez1",
                                                                "LabelOmez1",
                                                                "EditOmez2",
                                                                "UpDownOmez2",
                                                                "EditLedRazeni",
                                                                "UpDownLedRazeni",
                                                                "EditClutch1",
                                                                "UpDownClutch1",
                                                                "LabelClutch1",
                                                                "EditClutch2",
                                                                "UpDownClutch2",
                                                                "LabelClutch2",
                                                                "UpDownBaseAdv",
                                                                "CheckBoxProgHned",
                                                                "CheckBoxZakazCteni",
                                                                "CheckBoxIgnAll",
                                                                "BitBtnAdvMinus",
                                                                "BitBtnAdvPlus",
                                                                "CGaugeRpm",
                                                                "StatusBar1",
                                                                "GroupBoxToolBar",
                                                                "ComboBoxPocPalcu",
                                                                "RadioGroupPolarita",
                                                                "LabelPolaritaMer",
                                                                "LabelSnimac",
                                                                "LabelKillSwitch",
                                                                "LabelBlocking",
                                                                "LabelMonStartLimiterOut",
                                                                "LabelClutchMon"};

namespace {

// Functions of the two inputs.
namespace InputFunction {
constexpr std::uint8_t KillSwitch = 1; // input 1; "Blocking" on input 2
constexpr std::uint8_t ClutchMaster = 2;
constexpr std::uint8_t StartLimiter = 4;
} // namespace InputFunction

// Editing aids that the printed sheet leaves out.
constexpr std::array kHiddenWhilePrinting{
    Control::CGaugeRpm,     Control::CheckBoxProgHned, Control::CheckBoxZakazCteni,
    Control::StatusBar1,    Control::GroupBoxToolBar,  Control::UpDownBaseAdv,
    Control::UpDownOmez2,   Control::UpDownLedRazeni,  Control::BitBtnAdvMinus,
    Control::BitBtnAdvPlus, Control::CheckBoxIgnAll,   Control::UpDownPocetBodu,
    Control::LabelSnimac};

// The bike types whose polarity is fixed and not worth showing.
constexpr std::array<std::uint8_t, 3> kPolarityHidden{3, 6, 7};

} // namespace

Enabling enablingPass(const ParameterImage& image, std::optional<Curve> shown, bool printing,
                      bool programAfterChange) {
    Enabling e;
    const std::uint8_t in1 = image[Offset::Input1];
    const std::uint8_t in2 = image[Offset::Input2];
    const bool killSwitch = in1 == InputFunction::KillSwitch;
    const bool blocking = in2 == InputFunction::KillSwitch;
    const bool clutch = in1 == InputFunction::ClutchMaster || in2 == InputFunction::ClutchMaster;
    const bool startLimiter =
        in1 == InputFunction::StartLimiter || in2 == InputFunction::StartLimiter;

    e.background = printing ? Colour::White : Colour::Face;

    const std::size_t n = shown ? image.at(*shown, &CurveOffsets::points) : 0;
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        CurveRowLook& row = e.rows[k];
        row.rpmField.visible = row.advanceField.visible = k < n;
        row.rpmSpinner.visible = row.advanceSpinner.visible = k < n && !printing;
        row.rpmField.enabled = row.advanceField.enabled = row.rpmSpinner.enabled =
            row.advanceSpinner.enabled = shown.has_value();
        row.rpmField.emptied = row.advanceField.emptied = !shown;
    }

    for (Control c : {Control::EditOmez2, Control::UpDownOmez2, Control::EditPocetBodu,
                      Control::UpDownPocetBodu, Control::UpDownLedRazeni})
        e[c].enabled = shown.has_value();
    for (Control c : {Control::EditOmez2, Control::EditPocetBodu, Control::EditLedRazeni})
        e[c].emptied = !shown;

    e[Control::CheckBoxProgHned].colour = programAfterChange ? Colour::Red : Colour::Face;
    for (Control c : kHiddenWhilePrinting)
        e[c].visible = !printing;

    e[Control::LabelKillSwitch].enabled = killSwitch;
    e[Control::LabelBlocking].enabled = blocking;
    e[Control::LabelMonStartLimiterOut].enabled = startLimiter;
    e[Control::LabelClutchMon].enabled = clutch;

    const std::uint8_t bike = image[Offset::BikeType];
    e[Control::ComboBoxPocPalcu].enabled = keyingIsFree(bike);

    e[Control::EditOmez1].enabled = e[Control::LabelOmez1].enabled = startLimiter;
    e[Control::UpDownOmez1].visible = startLimiter && !printing;
    for (Control c :
         {Control::EditClutch1, Control::LabelClutch1, Control::EditClutch2, Control::LabelClutch2})
        e[c].enabled = clutch;
    e[Control::UpDownClutch1].visible = e[Control::UpDownClutch2].visible = clutch && !printing;

    ControlLook& polarity = e[Control::RadioGroupPolarita];
    polarity.enabled = keyingIsFree(bike);
    polarity.visible = polarity.enabled || std::find(kPolarityHidden.begin(), kPolarityHidden.end(),
                                                     bike) == kPolarityHidden.end();
    e[Control::LabelPolaritaMer].enabled = polarity.enabled;
    e[Control::LabelPolaritaMer].visible = bike == 0;

    // The box shows the image's byte in red, whatever its own state.
    e[Control::CheckBoxZakazCteni].colour =
        image[Offset::NoReading] != 0 ? Colour::Red : Colour::Face;
    return e;
}

} // namespace zentrola
