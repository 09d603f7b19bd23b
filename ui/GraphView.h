// The area of the advance curve graph. It keeps its place and size in the window; drawing
// happens only when the tick asks for it.
#pragma once

#include <QWidget>

namespace zentrola {

class Configurator;

class GraphView : public QWidget {
    Q_OBJECT
  public:
    GraphView(Configurator& cfg, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {400, 210}; }
    QSize minimumSizeHint() const override { return {330, 173}; }
    // Bit 0 redraw, bit 1 rescale and redraw.
    void draw(int request);
    int draws() const { return draws_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Configurator& cfg_;
    int draws_ = 0;
};

} // namespace zentrola
