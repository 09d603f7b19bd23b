// The window on the screens there are: its groups scroll when the screen (or the desktop's
// scaling) leaves less room than the designed window needs, it never opens larger than the
// screen's free area, and it comes back where its frame was when it was closed.
#include "ui/MainWindow.h"

#include "app/WindowPlacement.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QWindow>

#include <limits>

namespace zentrola {

namespace {

// The designed size of the groups follows the texts of the language, the live values and
// what the print look hides; when it grows, the window is told.
class DesignedFloor : public QObject {
  public:
    DesignedFloor(QWidget* form, std::function<void()> grown)
        : QObject(form), grown_(std::move(grown)) {
        form->installEventFilter(this);
        follow(form);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest)
            follow(static_cast<QWidget*>(watched));
        return false;
    }
    static QSize designed(const QWidget* form) {
        return form->layout()->sizeHint().expandedTo(form->layout()->minimumSize());
    }

  private:
    void follow(QWidget* form) {
        const QSize now = designed(form);
        const QSize before = last_;
        last_ = now;
        if (now.width() > before.width() || now.height() > before.height())
            grown_();
    }
    std::function<void()> grown_;
    QSize last_;
};

// A scroll area that asks for the whole form: the window opens at its designed size where
// the screen allows, and scrolls only where it does not.
class FormScroller : public QScrollArea {
  public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int f = 2 * frameWidth();
        return widget() && widget()->layout() ? DesignedFloor::designed(widget()) + QSize(f, f)
                                              : QScrollArea::sizeHint();
    }
};

// The first exposure of the window: by then the window manager has put its frame round it.
class FrameWatcher : public QObject {
  public:
    FrameWatcher(QWindow* window, std::function<void()> framed)
        : QObject(window), framed_(std::move(framed)) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // After the exposure has been painted, never from inside it.
            QMetaObject::invokeMethod(parent(), framed_, Qt::QueuedConnection);
            deleteLater();
        }
        return false;
    }

  private:
    std::function<void()> framed_;
};

// Left and Top that the settings file did not give.
constexpr int kNotGiven = std::numeric_limits<int>::min();

std::vector<ScreenRect> availableScreens() {
    std::vector<ScreenRect> screens;
    QList<QScreen*> list = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        list.removeAll(primary);
        list.prepend(primary);
    }
    for (QScreen* s : list) {
        const QRect a = s->availableGeometry();
        if (a.width() > 0 && a.height() > 0)
            screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    return screens;
}

FrameMargins marginsOf(const QWidget* w) {
    const QRect outer = w->frameGeometry();
    const QRect inner = w->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Before the window manager has framed the window its frame is not known; the designed
// first place reckons with a title bar and thin borders so that it seldom has to move.
FrameMargins likelyMargins(const QWidget* w) {
    const FrameMargins known = marginsOf(w);
    if (known.top > 0 || known.left > 0)
        return known;
    const int border = 4;
    return {border, 2 * w->fontMetrics().height(), border, border};
}

} // namespace

QWidget* MainWindow::fitForm(QWidget* form) {
    form_ = form;
    scroller_ = new FormScroller(this);
    scroller_->setObjectName(QStringLiteral("FormScroller"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setWidgetResizable(true);
    scroller_->setWidget(form);
    // The groups never shrink below their least size: where the screen is smaller they
    // scroll, and no field is squeezed onto its neighbour.
    form->layout()->setSizeConstraint(QLayout::SetMinimumSize);
    new DesignedFloor(form, [] {});
    // The wheel over the groups scrolls them; a focused field keeps its own wheel steps.
    scroller_->setFocusPolicy(Qt::NoFocus);
    // Whatever brings a control the focus (Tab, its accelerator, the window itself), the
    // control is scrolled into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !form_->isAncestorOf(now))
            return;
        QWidget* shown = now;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(now->parentWidget()))
            shown = spin;
        scroller_->ensureWidgetVisible(shown, 4, 4);
    });
    return scroller_;
}

// Before the settings are read: what the file does not hold stays "not given".
void MainWindow::placeDesigned() {
    Settings& s = cfg_.settings();
    s.left = kNotGiven;
    s.top = kNotGiven;
    s.width = 0;
    s.height = 0;
}

void MainWindow::restoreGeometry() {
    Settings& s = cfg_.settings();
    const QSize least = minimumSizeHint();
    // The designed size is known once the texts of the language are in the controls; without
    // a place in the file the window is centred on the primary screen.
    if (s.width <= 0 || s.height <= 0) {
        const QSize designed = sizeHint().expandedTo(least);
        s.width = designed.width();
        s.height = designed.height();
    }
    if (s.left == kNotGiven || s.top == kNotGiven) {
        const WindowPlace centred =
            centredWindow(s.width, s.height, likelyMargins(this), availableScreens());
        s.left = centred.left;
        s.top = centred.top;
        s.width = centred.width;
        s.height = centred.height;
    }
    // Before the window is shown its frame is not known: the stored place is taken as it is
    // when it lies on a screen, so that a window started again opens where it was closed.
    // Once framed, fitToScreen() moves it only if the frame sticks out.
    const WindowPlace p = placeWindow({s.left, s.top, s.width, s.height}, marginsOf(this),
                                      availableScreens(), least.width(), least.height());
    resize(p.width, p.height);
    // Left and Top are the frame's corner, and a move is the frame's move.
    move(p.left, p.top);
    placed_ = QRect(p.left, p.top, p.width, p.height);
}

void MainWindow::fitToScreen() {
    if (closed_ || isMaximized() || isFullScreen())
        return;
    // Some window managers put the inside, not the frame, where an unframed window asked to
    // be: the window would creep up by its title bar at every start. Now that the frame is
    // known the frame goes where it was asked to, wholly on a screen.
    const QSize least = minimumSizeHint();
    const WindowPlace p =
        placeWindow({placed_.x(), placed_.y(), placed_.width(), placed_.height()}, marginsOf(this),
                    availableScreens(), least.width(), least.height());
    if (size() != QSize(p.width, p.height))
        resize(p.width, p.height);
    if (pos() != QPoint(p.left, p.top))
        move(p.left, p.top);
}

void MainWindow::growForForm() {
    // Longer texts (another language, the first live values) make the groups larger: the
    // window grows with them as far as its screen allows, and scrolls beyond that.
    if (!isVisible() || closed_ || isMaximized() || isFullScreen())
        return;
    const QSize need = form_->minimumSize().expandedTo(DesignedFloor::designed(form_)) -
                       scroller_->viewport()->size();
    if (need.width() <= 0 && need.height() <= 0)
        return;
    const QSize least = minimumSizeHint();
    const WindowPlace p = placeWindow(
        {x(), y(), width() + std::max(0, need.width()), height() + std::max(0, need.height())},
        marginsOf(this), availableScreens(), least.width(), least.height());
    resize(p.width, p.height);
    move(p.left, p.top);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && windowHandle() && !framedOnce_) {
        framedOnce_ = true;
        new FrameWatcher(windowHandle(), [this] { fitToScreen(); });
    }
}

void MainWindow::keepGeometry() {
    Settings& s = cfg_.settings();
    // A maximised window keeps the place it comes back to when it is restored.
    const bool normal = !isMaximized() && !isFullScreen();
    const QRect inner = normal ? geometry() : normalGeometry();
    const FrameMargins frame = marginsOf(this);
    s.left = normal ? x() : inner.x() - frame.left;
    s.top = normal ? y() : inner.y() - frame.top;
    s.width = inner.width();
    s.height = inner.height();
    s.ignAll = shiftAll_->isChecked();
}

} // namespace zentrola
