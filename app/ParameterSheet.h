// The parameter sheet as data: its head, both curves, every other setting with its caption
// and value in the window's language, and the scales of the curves' plot. The window only
// lays it out on the page; what the sheet says is decided here.
#pragma once

#include "core/Jazyk1.h"
#include "core/ParameterImage.h"
#include "core/UnitTexts.h"
#include "files/Settings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zentrola {

class Configurator;

// Whether the unit holds the window's settings, as far as the program knows.
enum class UnitHolds : std::uint8_t { Unknown, Confirmed, AsSent, No };

// What the head states besides the settings; gathered from the program by sheetFacts().
struct SheetFacts {
    std::string printed;  // date and time, in the system's formats
    std::string fileName; // empty: the settings were never saved
    bool fileChanged = false;
    std::optional<UnitTexts> unit; // name, date and time of the unit's program, when known
    UnitHolds holds = UnitHolds::Unknown;
    SheetLines lines;
};

struct SheetHeadLine {
    std::string label;
    std::string value;
    bool warning = false; // a claim the mechanic must not overlook
};

struct SheetPoint {
    int rpm = 0;
    int advance = 0;
};

struct SheetCurve {
    std::string name; // "Curve A"
    std::vector<SheetPoint> points;
    int baseAdvance = 0;
    int limiter = 0;
    std::optional<int> startLimiter; // while an input switches it on
};

struct SheetRow {
    std::string caption; // with its unit
    std::string a;       // curve A's value, or the common value
    std::string b;       // curve B's value; empty for a common setting
    bool perCurve = false;
    bool inUse = true; // false: no input switches it on
};

// Axis ends and grid steps of the plot, in rpm and degrees, from 0.
struct SheetScale {
    int rpmEnd = 0;
    int rpmStep = 0;
    int degreeEnd = 0;
    int degreeStep = 0;
};

struct ParameterSheet {
    Language language = Language::English;
    std::string thousands = ","; // between groups of three digits, as the window shows them
    std::string title;
    std::vector<SheetHeadLine> head;
    std::vector<std::string> noteLines; // the notes, a line each
    std::array<SheetCurve, 2> curves;
    std::vector<SheetRow> rows;
    SheetScale scale;
    bool anyNotInUse = false;
};

// The sheet of the image; thousands is the separator the window shows in rpm values.
ParameterSheet makeSheet(const ParameterImage& image, const SheetFacts& facts, Language language,
                         std::string_view thousands);

// The head's facts as the program knows them now: the file, the unit (as the not-programmed
// marker judges it), the mechanic's lines. The date and time come from the caller.
SheetFacts sheetFacts(const Configurator& cfg, const SheetLines& lines, std::string printed);

// The points of a curve as the unit uses them: the number of points kept within 1..15.
int sheetPointCount(const ParameterImage& image, Curve curve);

} // namespace zentrola
