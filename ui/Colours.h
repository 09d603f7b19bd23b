// The program's colours as Qt colours, and painting a widget's background with one. The
// face and window colours are the style's own, so they follow the desktop's theme.
#pragma once

#include "core/Colour.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace zentrola {

inline QColor qColour(Colour c) {
    switch (c) {
    case Colour::White:
        return QColor(255, 255, 255);
    case Colour::Red:
        return QColor(255, 0, 0);
    case Colour::Blue:
        return QColor(0, 0, 255);
    case Colour::Grey:
        return QColor(128, 128, 128);
    case Colour::Yellow:
        return QColor(255, 255, 0);
    case Colour::Fuchsia:
        return QColor(255, 0, 255);
    case Colour::Aqua:
        return QColor(0, 255, 255);
    case Colour::Lime:
        return QColor(0, 255, 0);
    case Colour::Face:
    case Colour::Window:
        break;
    }
    return QColor(); // invalid: the style's own colour
}

// Paints the widget's background (role Window for labels and boxes, Base for fields) in the
// colour; face and window give the style's colour back. Untouched when nothing changes.
inline void paintBackground(QWidget* w, Colour c, QPalette::ColorRole role = QPalette::Window) {
    const QColor colour = qColour(c);
    const bool fill = colour.isValid();
    const QVariant was = w->property("zentrolaColour");
    if (was.isValid() && was.toInt() == static_cast<int>(c))
        return;
    w->setProperty("zentrolaColour", static_cast<int>(c));
    QPalette p = w->palette();
    const QPalette base = w->parentWidget() ? w->parentWidget()->palette() : QPalette();
    const QPalette::ColorRole text = role == QPalette::Base ? QPalette::Text : QPalette::WindowText;
    if (fill) {
        p.setColor(role, colour);
        // Dark themes paint light text: on these colours only dark text stays readable.
        p.setColor(QPalette::Active, text, Qt::black);
        p.setColor(QPalette::Inactive, text, Qt::black);
    } else {
        p.setColor(role, base.color(role));
        p.setColor(QPalette::Active, text, base.color(QPalette::Active, text));
        p.setColor(QPalette::Inactive, text, base.color(QPalette::Inactive, text));
    }
    // A greyed widget keeps the style's greyed text: it must look greyed, whatever its colour.
    p.setColor(QPalette::Disabled, text, base.color(QPalette::Disabled, text));
    w->setPalette(p);
    if (role == QPalette::Window)
        w->setAutoFillBackground(fill);
}

} // namespace zentrola
