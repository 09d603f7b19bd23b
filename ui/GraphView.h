// The advance curve graph: paints what the graph model lists and hands the mouse to the
// Configurator. Its size is the graph image's size, so a larger window gets a larger graph
// under the same rules. Drawing happens only when the tick asks for it.
#pragma once

#include <QWidget>

namespace zentrola {

class Configurator;

class GraphView : public QWidget {
    Q_OBJECT
  public:
    GraphView(Configurator& cfg, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {420, 220}; }
    QSize minimumSizeHint() const override { return {330, 173}; }
    // The tick's redraw request (bit 0 redraw, bit 1 rescale and redraw): the Configurator has
    // just rebuilt the display list; this schedules one paint of it.
    void draw(int request);
    // Paints the display list into an image of the widget's size (for tests and printing).
    QImage render() const;
    int draws() const { return draws_; }
    // The pointer was moved by the program during a drag: to this widget position.
    void warpPointer(int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void paintList(QPainter& painter) const;
    void afterMouse(const QPointF& global);

    Configurator& cfg_;
    int draws_ = 0;
};

} // namespace zentrola
