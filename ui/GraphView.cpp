#include "ui/GraphView.h"

#include "app/Configurator.h"
#include "ui/AccessibleNames.h"

#include <QCursor>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <type_traits>

namespace zentrola {

namespace {

QColor colour(const Rgb& c, const QWidget* w) {
    return c.face ? w->palette().color(QPalette::Window) : QColor(c.r, c.g, c.b);
}

QRect pixels(const GraphRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

QPen pen(const QColor& c, int width) {
    QPen p(c);
    p.setWidth(width);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

std::string separator() {
    return QLocale().groupSeparator().toStdString();
}

} // namespace

GraphView::GraphView(Configurator& cfg, QWidget* parent) : QWidget(parent), cfg_(cfg) {
    setObjectName("GrafAdv");
    setAccessibleName(accessible::kGraph);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphView::draw(int request) {
    if (request == 0)
        return;
    ++draws_;
    const QString description = QString::fromStdString(cfg_.graphDescription(separator()));
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
    update();
}

void GraphView::paintList(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const GraphItem& item : cfg_.graph().displayList()) {
        std::visit(
            [&](const auto& it) {
                using T = std::decay_t<decltype(it)>;
                if constexpr (std::is_same_v<T, RectItem>) {
                    p.fillRect(pixels(it.rect), colour(it.colour, this));
                } else if constexpr (std::is_same_v<T, MarkerItem>) {
                    p.setPen(pen(colour(it.pen, this), 1));
                    p.setBrush(colour(it.fill, this));
                    const QRect r = pixels(it.rect);
                    p.drawRoundedRect(r, it.corner / 2.0, it.corner / 2.0);
                } else if constexpr (std::is_same_v<T, OutlineItem>) {
                    p.setPen(pen(colour(it.colour, this), 1));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(pixels(it.rect));
                } else if constexpr (std::is_same_v<T, LineItem>) {
                    p.setPen(pen(colour(it.colour, this), it.width));
                    p.drawLine(it.from.x, it.from.y, it.to.x, it.to.y);
                } else if constexpr (std::is_same_v<T, PolylineItem>) {
                    p.setPen(pen(colour(it.colour, this), it.width));
                    p.setBrush(Qt::NoBrush);
                    QPolygon poly;
                    for (const GraphPoint& pt : it.points)
                        poly << QPoint(pt.x, pt.y);
                    p.drawPolyline(poly);
                } else if constexpr (std::is_same_v<T, TextItem>) {
                    p.setPen(colour(it.colour, this));
                    p.setBackgroundMode(Qt::OpaqueMode);
                    p.setBackground(colour(it.background, this));
                    const QString text = QString::fromStdString(it.text);
                    const QFontMetrics fm(p.font());
                    p.drawText(QPoint(it.topLeft.x, it.topLeft.y + fm.ascent()), text);
                    p.setBackgroundMode(Qt::TransparentMode);
                }
            },
            item);
    }
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    paintList(p);
}

QImage GraphView::render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter p(&image);
    p.setFont(font());
    paintList(p);
    return image;
}

void GraphView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    cfg_.graphResized(width(), height());
}

void GraphView::afterMouse(const QPointF& global) {
    const std::string tip = cfg_.graphTooltip(separator());
    if (tip.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(global.toPoint(), QString::fromStdString(tip), this);
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    cfg_.graphMouse(GraphMouse::Move, at.x(), at.y());
    afterMouse(event->globalPosition());
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    cfg_.graphMouse(GraphMouse::Press, at.x(), at.y());
    afterMouse(event->globalPosition());
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const bool dragged = cfg_.graph().dragging();
    cfg_.graphMouse(GraphMouse::Release, at.x(), at.y());
    // The tip followed the drag; when it ends the tip goes, not to linger with old values.
    if (dragged)
        QToolTip::hideText();
    else
        afterMouse(event->globalPosition());
}

void GraphView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    cfg_.graphLeave();
    QToolTip::hideText();
}

void GraphView::warpPointer(int x, int y) {
    QCursor::setPos(mapToGlobal(QPoint(x, y)));
}

} // namespace zentrola
