#include "ui/GraphView.h"

#include "app/Configurator.h"
#include "ui/AccessibleNames.h"

#include <QPainter>

namespace zentrola {

namespace {
const QColor kPlotBackground(255, 251, 240);
}

GraphView::GraphView(Configurator& cfg, QWidget* parent) : QWidget(parent), cfg_(cfg) {
    setObjectName("GrafAdv");
    setAccessibleName(accessible::kGraph);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void GraphView::draw(int request) {
    if (request == 0)
        return;
    ++draws_;
    update();
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kPlotBackground);
    p.setPen(QColor(192, 192, 192));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace zentrola
