// Which controls the window shows, enables and colours for the image as it stands: the
// curve rows in use, the fields the inputs' functions need, the keying a bike type leaves
// free, and the print look. The window only applies the result.
#pragma once

#include "core/Look.h"
#include "core/ParameterImage.h"

#include <array>
#include <optional>
#include <string_view>

namespace zentrola {

// The controls the pass decides about besides the curve rows, by the window's names.
enum class Control : std::uint8_t {
    EditPocetBodu,
    UpDownPocetBodu,
    EditOmez1,
    UpDownOmez1,
    LabelOmez1,
    EditOmez2,
    UpDownOmez2,
    EditLedRazeni,
    UpDownLedRazeni,
    EditClutch1,
    UpDownClutch1,
    LabelClutch1,
    EditClutch2,
    UpDownClutch2,
    LabelClutch2,
    UpDownBaseAdv,
    CheckBoxProgHned,
    CheckBoxZakazCteni,
    CheckBoxIgnAll,
    BitBtnAdvMinus,
    BitBtnAdvPlus,
    CGaugeRpm,
    StatusBar1,
    GroupBoxToolBar,
    ComboBoxPocPalcu,
    RadioGroupPolarita,
    LabelPolaritaMer,
    LabelSnimac,
    LabelKillSwitch,
    LabelBlocking,
    LabelMonStartLimiterOut,
    LabelClutchMon,
    Count
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Count);
extern const std::array<std::string_view, kControlCount> kControlNames;

struct ControlLook : Look {
    bool emptied = false; // the field shows no text
};

struct CurveRowLook {
    ControlLook rpmField, advanceField, rpmSpinner, advanceSpinner;
};

struct Enabling {
    Colour background = Colour::Face;
    std::array<CurveRowLook, kCurvePoints> rows{};
    std::array<ControlLook, kControlCount> controls{};

    ControlLook& operator[](Control c) { return controls[static_cast<std::size_t>(c)]; }
    const ControlLook& operator[](Control c) const { return controls[static_cast<std::size_t>(c)]; }
};

// programAfterChange is the state of its check box, which the image does not hold.
Enabling enablingPass(const ParameterImage& image, std::optional<Curve> shown, bool printing,
                      bool programAfterChange);

} // namespace zentrola
