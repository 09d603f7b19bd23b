#include "ui/SheetPage.h"

#include "ui/Jazyk2.h"
#include "ui/QtText.h"

#include "core/Differences.h"
#include "core/SheetTexts.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <functional>

namespace zentrola {

namespace {

namespace sheet = texts::sheet;

// The sheet is laid out 1900 units wide (a tenth of a millimetre on A4 within its margins)
// and then scaled to the page, so that A4 and Letter give the same sheet.
constexpr double kWidth = 1900;
constexpr int kText = 34;
constexpr int kSmall = 29;
constexpr int kSetting = 32; // the settings table has the longest captions
constexpr int kTitle = 62;
constexpr double kGap = 36;
constexpr double kCellPad = 8;
constexpr double kPlotHeight = 820;
const QColor kCurveColour[2] = {QColor(220, 0, 0), QColor(0, 0, 230)};
const QColor kGrey(128, 128, 128);
const QColor kWarning(176, 0, 0);
const QColor kRule(160, 160, 160);
const QColor kGrid(215, 215, 215);

QFont font(int pixels, bool bold = false) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    // Ligatures ("fi" as one glyph) would make the PDF's words unsearchable: "confirmed"
    // would not be found in it.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// One pass lays the sheet out, measuring only; the second paints it where the first found
// room for it.
class Layout {
  public:
    Layout(QPainter& painter, const ParameterSheet& sheet, bool paint)
        : p_(painter), s_(sheet), paint_(paint), language_(sheet.language) {}

    SheetRegions run() {
        SheetRegions r;
        double y = 0;
        y = title(y);
        r.head = QRectF(0, y, kWidth, 0);
        y = head(y);
        r.head.setBottom(y);
        y += kGap;
        r.plot = QRectF(0, y, kWidth, kPlotHeight);
        plot(r.plot);
        y = r.plot.bottom() + kGap;
        const auto columns = curveColumns();
        const double tableWidth = std::max(400.0, columns[0] + columns[1] + columns[2]);
        r.curveA = QRectF(0, y, tableWidth, curveTable(0, QPointF(0, y), tableWidth) - y);
        r.curveB = QRectF(tableWidth + 20, y, tableWidth,
                          curveTable(1, QPointF(tableWidth + 20, y), tableWidth) - y);
        const double left = 2 * tableWidth + 50;
        r.settings = QRectF(left, y, kWidth - left, settings(QPointF(left, y), kWidth - left) - y);
        double bottom = std::max({r.curveA.bottom(), r.curveB.bottom(), r.settings.bottom()});
        if (s_.anyNotInUse)
            bottom = text(QRectF(left, bottom + 12, kWidth - left, 0), tr(sheet::NotInUse),
                          font(kSmall), Qt::AlignLeft, kGrey);
        r.all = QRectF(0, 0, kWidth, bottom);
        return r;
    }

  private:
    QString tr(const TextRow& row) const { return q(row[language_]); }

    // Text wrapped into the width; returns the bottom it reached.
    double text(const QRectF& box, const QString& t, const QFont& given, int align,
                const QColor& colour = Qt::black) {
        // A word wider than its column ("Vorzündung" over a column of numbers) is set
        // smaller rather than cut.
        QFont f = given;
        double widest = 0;
        for (const QString& word : t.split(QRegularExpression(QStringLiteral("\\s+"))))
            widest = std::max(widest, QFontMetricsF(f, p_.device()).horizontalAdvance(word));
        if (widest > box.width() && widest > 0)
            f.setPixelSize(std::max(1, static_cast<int>(f.pixelSize() * box.width() / widest)));
        const QFontMetricsF m(f, p_.device());
        const int flags = align | Qt::AlignTop | Qt::TextWordWrap;
        const QRectF need = m.boundingRect(QRectF(box.left(), box.top(), box.width(), 1e6), flags,
                                           t.isEmpty() ? QStringLiteral(" ") : t);
        const double height = std::max(need.height(), m.height());
        if (paint_ && !t.isEmpty()) {
            p_.setFont(f);
            p_.setPen(colour);
            p_.drawText(QRectF(box.left(), box.top(), box.width(), height + 2), flags, t);
        }
        return box.top() + height;
    }

    void line(QPointF a, QPointF b, const QColor& colour, double width = 2,
              Qt::PenStyle style = Qt::SolidLine) {
        if (!paint_)
            return;
        QPen pen(colour, width, style);
        pen.setCapStyle(Qt::FlatCap);
        p_.setPen(pen);
        p_.drawLine(a, b);
    }

    double title(double y) {
        const double bottom =
            text(QRectF(0, y, kWidth, 0), q(s_.title), font(kTitle, true), Qt::AlignLeft);
        line(QPointF(0, bottom + 10), QPointF(kWidth, bottom + 10), Qt::black, 3);
        return bottom + 24;
    }

    // Two columns of "label  value": the program and the unit on the left, the mechanic's
    // lines on the right.
    double head(double y) {
        const std::size_t split = s_.head.size() >= 2 ? s_.head.size() - 2 : s_.head.size();
        // The program and the unit take the wider left column; the mechanic's lines the rest.
        const double leftWidth = kWidth * 0.56;
        auto column = [&](double left, double columnWidth, std::size_t from, std::size_t to,
                          bool notes) {
            double labelWidth = 0;
            const QFontMetricsF bold(font(kText, true), p_.device());
            for (std::size_t i = from; i < to; ++i)
                labelWidth = std::max(labelWidth, bold.horizontalAdvance(q(s_.head[i].label)));
            if (notes)
                labelWidth = std::max(labelWidth, bold.horizontalAdvance(tr(sheet::Notes)));
            labelWidth = std::min(labelWidth + 20, columnWidth * 0.45);
            double yy = y;
            auto entry = [&](const QString& label, const QString& value, bool warning) {
                const double a = text(QRectF(left, yy, labelWidth - 10, 0), label,
                                      font(kText, true), Qt::AlignLeft);
                const double b =
                    text(QRectF(left + labelWidth, yy, columnWidth - labelWidth, 0), value,
                         font(kText, warning), Qt::AlignLeft, warning ? kWarning : Qt::black);
                yy = std::max(a, b) + 6;
            };
            for (std::size_t i = from; i < to; ++i)
                entry(q(s_.head[i].label), q(s_.head[i].value), s_.head[i].warning);
            if (notes) {
                QStringList lines;
                for (const std::string& l : s_.noteLines)
                    lines << q(l);
                entry(tr(sheet::Notes), lines.join(QLatin1Char('\n')), false);
            }
            return yy;
        };
        const double left = column(0, leftWidth - kGap, 0, split, false);
        const double right = column(leftWidth, kWidth - leftWidth, split, s_.head.size(), true);
        const double bottom = std::max(left, right);
        line(QPointF(0, bottom + 6), QPointF(kWidth, bottom + 6), kRule, 2);
        return bottom + 8;
    }

    // Both curves in one plot, with the limiters that end them.
    void plot(const QRectF& area) {
        const SheetScale& sc = s_.scale;
        const QFontMetricsF small(font(kSmall), p_.device());
        const double titleBottom = text(QRectF(area.left(), area.top(), kWidth / 2, 0),
                                        tr(sheet::PlotTitle), font(kText, true), Qt::AlignLeft);
        const double labelWidth = small.horizontalAdvance(QStringLiteral("60")) + 16;
        const QRectF frame(area.left() + labelWidth + 20, titleBottom + 3 * small.height() + 8,
                           area.width() - labelWidth - 90,
                           area.bottom() - titleBottom - 5 * small.height() - 16);
        auto x = [&](double rpm) { return frame.left() + frame.width() * rpm / sc.rpmEnd; };
        auto yOf = [&](double deg) { return frame.bottom() - frame.height() * deg / sc.degreeEnd; };

        text(QRectF(frame.left(), titleBottom + 2 * small.height(), kWidth / 2, 0),
             tr(sheet::Advance), font(kSmall), Qt::AlignLeft);
        for (int rpm = 0; rpm <= sc.rpmEnd; rpm += sc.rpmStep) {
            line(QPointF(x(rpm), frame.top()), QPointF(x(rpm), frame.bottom()), kGrid, 2);
            text(QRectF(x(rpm) - 150, frame.bottom() + 8, 300, 0),
                 q(groupedNumber(rpm, thousands())), font(kSmall), Qt::AlignHCenter);
        }
        for (int deg = 0; deg <= sc.degreeEnd; deg += sc.degreeStep) {
            line(QPointF(frame.left(), yOf(deg)), QPointF(frame.right(), yOf(deg)), kGrid, 2);
            text(QRectF(frame.left() - labelWidth - 10, yOf(deg) - small.height() / 2, labelWidth,
                        0),
                 QString::number(deg), font(kSmall), Qt::AlignRight);
        }
        text(QRectF(frame.left(), frame.bottom() + 10 + small.height(), frame.width(), 0),
             tr(sheet::EngineSpeed), font(kSmall), Qt::AlignRight);
        line(frame.bottomLeft(), frame.bottomRight(), Qt::black, 3);
        line(frame.bottomLeft(), frame.topLeft(), Qt::black, 3);

        // Legend and limiter labels above the frame, one row per curve.
        for (std::size_t c = 0; c < 2; ++c) {
            const SheetCurve& curve = s_.curves[c];
            const double row = titleBottom + small.height() * static_cast<double>(c) + 4;
            const double mid = row + small.height() / 2;
            const double legend = kWidth - 900;
            line(QPointF(legend, mid), QPointF(legend + 60, mid), kCurveColour[c], 5);
            text(QRectF(legend + 75, row, 300, 0), q(curve.name), font(kSmall), Qt::AlignLeft,
                 kCurveColour[c]);
            line(QPointF(legend + 360, mid), QPointF(legend + 420, mid), kCurveColour[c], 3,
                 Qt::DashLine);
            text(QRectF(legend + 435, row, 465, 0),
                 tr(c == 0 ? sheet::LimiterA : sheet::LimiterB) + QStringLiteral(": ") +
                     q(groupedNumber(curve.limiter, thousands())),
                 font(kSmall), Qt::AlignLeft, kCurveColour[c]);
        }
        if (s_.curves[0].startLimiter) {
            const double row = titleBottom + 4;
            line(QPointF(kWidth - 1400, row + small.height() / 2),
                 QPointF(kWidth - 1340, row + small.height() / 2), Qt::black, 3, Qt::DotLine);
            text(QRectF(kWidth - 1325, row, 420, 0), tr(sheet::StartLimiter), font(kSmall),
                 Qt::AlignLeft);
        }

        if (!paint_)
            return;
        p_.save();
        p_.setClipRect(frame.adjusted(-12, -12, 12, 12));
        for (std::size_t c = 0; c < 2; ++c) {
            const SheetCurve& curve = s_.curves[c];
            if (curve.limiter > 0)
                line(QPointF(x(curve.limiter), frame.top()),
                     QPointF(x(curve.limiter), frame.bottom()), kCurveColour[c], 3, Qt::DashLine);
            if (curve.startLimiter)
                line(QPointF(x(*curve.startLimiter), frame.top()),
                     QPointF(x(*curve.startLimiter), frame.bottom()), kCurveColour[c], 3,
                     Qt::DotLine);
            // From rpm 0 along the base advance, up to the first point, point to point, then
            // level up to the limiter, where the unit cuts the ignition.
            QPainterPath path(QPointF(x(0), yOf(curve.baseAdvance)));
            const SheetPoint& first = curve.points.front();
            path.lineTo(x(first.rpm), yOf(curve.baseAdvance));
            for (const SheetPoint& pt : curve.points)
                path.lineTo(x(pt.rpm), yOf(pt.advance));
            const SheetPoint& last = curve.points.back();
            if (curve.limiter > last.rpm)
                path.lineTo(x(curve.limiter), yOf(last.advance));
            QPen pen(kCurveColour[c], 5);
            pen.setJoinStyle(Qt::RoundJoin);
            p_.setPen(pen);
            p_.setBrush(Qt::NoBrush);
            p_.drawPath(path);
            p_.setBrush(kCurveColour[c]);
            p_.setPen(Qt::NoPen);
            for (const SheetPoint& pt : curve.points) {
                const QPointF at(x(pt.rpm), yOf(pt.advance));
                if (c == 0)
                    p_.drawEllipse(at, 9, 9);
                else
                    p_.drawRect(QRectF(at.x() - 8, at.y() - 8, 16, 16));
            }
        }
        p_.restore();
    }

    std::string_view thousands() const { return s_.thousands; }

    // A table row: cells left to right, each wrapped into its width; returns the row's bottom.
    struct Cell {
        QString text;
        double width;
        int align;
        QColor colour = Qt::black;
        bool bold = false;
    };
    double row(QPointF at, const std::vector<Cell>& cells, int pixels) {
        double bottom = at.y();
        double x = at.x();
        for (const Cell& c : cells) {
            bottom =
                std::max(bottom, text(QRectF(x + kCellPad, at.y() + 4, c.width - 2 * kCellPad, 0),
                                      c.text, font(pixels, c.bold), c.align, c.colour));
            x += c.width;
        }
        return bottom + 6;
    }

    // The curve table's columns, each as wide as its widest word: point, rpm, advance.
    std::array<double, 3> curveColumns() const {
        const QFontMetricsF heading(font(kSmall, true), p_.device());
        const QFontMetricsF body(font(kText), p_.device());
        auto widest = [&](const QString& title, const QString& value) {
            double w = body.horizontalAdvance(value);
            for (const QString& word : title.split(QLatin1Char(' ')))
                w = std::max(w, heading.horizontalAdvance(word));
            return w + 2 * kCellPad + 8;
        };
        return {widest(tr(sheet::Point), QStringLiteral("15")),
                widest(tr(sheet::Rpm), q(groupedNumber(25000, thousands()))) + 16,
                widest(tr(sheet::Advance), QStringLiteral("60"))};
    }

    double curveTable(std::size_t c, QPointF at, double width) {
        const SheetCurve& curve = s_.curves[c];
        const auto [w0, w1, natural] = curveColumns();
        const double w2 = std::max(natural, width - w0 - w1);
        const int right = Qt::AlignRight;
        double y = text(QRectF(at.x(), at.y(), width, 0), q(curve.name), font(kText, true),
                        Qt::AlignLeft, kCurveColour[c]);
        y = row({at.x(), y},
                {{tr(sheet::Point), w0, right, Qt::black, true},
                 {tr(sheet::Rpm), w1, right, Qt::black, true},
                 {tr(sheet::Advance), w2, right, Qt::black, true}},
                kSmall);
        line(QPointF(at.x(), y), QPointF(at.x() + width, y), Qt::black, 2);
        for (std::size_t k = 0; k < curve.points.size(); ++k) {
            const SheetPoint& pt = curve.points[k];
            y = row({at.x(), y},
                    {{QString::number(k + 1), w0, right, kGrey},
                     {q(groupedNumber(pt.rpm, thousands())), w1, right},
                     {QString::number(pt.advance), w2, right}},
                    kText);
            line(QPointF(at.x(), y), QPointF(at.x() + width, y), kGrid, 1);
        }
        return y;
    }

    double settings(QPointF at, double width) {
        // The two value columns as wide as the widest per-curve value or heading; the captions
        // take the rest, and a common value whatever its caption leaves free.
        const QFontMetricsF body(font(kSetting), p_.device());
        const QFontMetricsF heading(font(kSmall, true), p_.device());
        double valueWidth = 0;
        for (const SheetCurve& c : s_.curves)
            valueWidth = std::max(valueWidth, heading.horizontalAdvance(q(c.name)));
        for (const SheetRow& r : s_.rows)
            if (r.perCurve)
                valueWidth = std::max(
                    {valueWidth, body.horizontalAdvance(q(r.a)), body.horizontalAdvance(q(r.b))});
        valueWidth = std::min(valueWidth + 2 * kCellPad + 16, width / 4);
        const double captionWidth = width - 2 * valueWidth;
        const int right = Qt::AlignRight;
        double y = text(QRectF(at.x(), at.y(), width, 0), tr(sheet::Setting), font(kText, true),
                        Qt::AlignLeft);
        y = row({at.x(), y},
                {{QString(), captionWidth, Qt::AlignLeft},
                 {q(s_.curves[0].name), valueWidth, right, kCurveColour[0], true},
                 {q(s_.curves[1].name), valueWidth, right, kCurveColour[1], true}},
                kSmall);
        line(QPointF(at.x(), y), QPointF(at.x() + width, y), Qt::black, 2);
        for (const SheetRow& r : s_.rows) {
            const QColor colour = r.inUse ? QColor(Qt::black) : kGrey;
            std::vector<Cell> cells{{q(r.caption), captionWidth, Qt::AlignLeft, colour}};
            if (r.perCurve) {
                cells.push_back({q(r.a), valueWidth, right, colour});
                cells.push_back({q(r.b), valueWidth, right, colour});
            } else {
                const double used = std::min(captionWidth, body.horizontalAdvance(q(r.caption)) +
                                                               2 * kCellPad + 24);
                cells.front().width = used;
                cells.push_back({q(r.a), width - used, right, colour});
            }
            y = row({at.x(), y}, cells, kSetting);
            line(QPointF(at.x(), y), QPointF(at.x() + width, y), kGrid, 1);
        }
        return y;
    }

    QPainter& p_;
    const ParameterSheet& s_;
    bool paint_;
    Language language_;
};

} // namespace

SheetRegions paintSheet(QPainter& painter, const ParameterSheet& sheet, const QRectF& area) {
    Layout measure(painter, sheet, false);
    const SheetRegions logical = measure.run();
    const double scale = std::min(area.width() / kWidth, area.height() / logical.all.height());
    const QTransform toArea =
        QTransform::fromTranslate(area.left(), area.top()).scale(scale, scale);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toArea, true);
    Layout(painter, sheet, true).run();
    painter.restore();
    SheetRegions out;
    for (auto [from, to] : {std::pair{&logical.head, &out.head},
                            {&logical.plot, &out.plot},
                            {&logical.curveA, &out.curveA},
                            {&logical.curveB, &out.curveB},
                            {&logical.settings, &out.settings},
                            {&logical.all, &out.all}})
        *to = toArea.mapRect(*from);
    return out;
}

bool writeSheetPdf(const ParameterSheet& sheet, const QString& path, const QPageSize& paper,
                   SheetRegions* regions) {
    QPdfWriter pdf(path);
    pdf.setCreator(q(kAboutProgram));
    pdf.setTitle(q(sheet.title));
    pdf.setResolution(1200);
    const QMarginsF margins(10, 10, 10, 10);
    pdf.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const QRect paint = pdf.pageLayout().paintRectPixels(pdf.resolution());
    const SheetRegions found =
        paintSheet(painter, sheet, QRectF(0, 0, paint.width(), paint.height()));
    if (!painter.end())
        return false;
    if (regions) {
        // Pixels of the paint area to points of the page.
        const QRectF points = pdf.pageLayout().paintRect(QPageLayout::Point);
        const double k = 72.0 / pdf.resolution();
        auto page = [&](const QRectF& r) {
            return QRectF(points.left() + r.left() * k, points.top() + r.top() * k, r.width() * k,
                          r.height() * k);
        };
        *regions = {page(found.head),   page(found.plot),     page(found.curveA),
                    page(found.curveB), page(found.settings), page(found.all)};
    }
    return true;
}

bool printSheetOn(const ParameterSheet& sheet, QPrinter& printer) {
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(q(sheet.title));
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    paintSheet(painter, sheet, QRectF(0, 0, paint.width(), paint.height()));
    return painter.end();
}

} // namespace zentrola
