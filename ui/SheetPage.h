// The parameter sheet laid out on one page and painted with QPainter: text stays text and
// lines stay lines, on a printer as in a PDF file.
#pragma once

#include "app/ParameterSheet.h"

#include <QPageSize>
#include <QRectF>
#include <QString>

class QPainter;
class QPrinter;

namespace zentrola {

// Where the parts of the sheet went, in points from the page's top left corner.
struct SheetRegions {
    QRectF head;
    QRectF plot;
    QRectF curveA;
    QRectF curveB;
    QRectF settings;
    QRectF all; // everything painted
};

// Paints the sheet into the rectangle (device pixels), as large as it fits with its
// proportions kept; returns the parts' rectangles in the same pixels.
SheetRegions paintSheet(QPainter& painter, const ParameterSheet& sheet, const QRectF& area);

// The sheet as a one-page vector PDF on paper of that size; regions, when asked for, in
// points of the page. False when the file could not be written.
bool writeSheetPdf(const ParameterSheet& sheet, const QString& path, const QPageSize& paper,
                   SheetRegions* regions = nullptr);

// The sheet on the printer, on the paper it is set up with.
bool printSheetOn(const ParameterSheet& sheet, QPrinter& printer);

} // namespace zentrola
