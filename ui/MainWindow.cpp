#include "ui/MainWindow.h"

#include "ui/QtText.h"

#include "ui/AboutBox.h"
#include "ui/Colours.h"
#include "ui/GraphView.h"
#include "ui/Jazyk2.h"
#include "ui/LiveChart.h"
#include "ui/PortAccess.h"
#include "ui/RadioGroup.h"
#include "ui/SpinField.h"

#include "core/BikeTypes.h"
#include "link/LoopbackPort.h"
#include "link/Monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <tuple>

namespace zentrola {

namespace {

// Updates a widget only when what it shows changes: the idle window costs next to nothing.
void setShown(QWidget* w, bool visible) {
    if (w->isHidden() == visible)
        w->setVisible(visible);
}

void setText(QLabel* l, const QString& text) {
    if (l->text() != text)
        l->setText(text);
}

// The caption of a control as a screen reader should say it: without the accelerator mark.
QString withoutAccelerator(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

// The toolbar's glyph buttons and the menu command each of them runs.
constexpr std::array<std::pair<const char*, const char*>, 6> kToolbarCommands{{
    {"SpeedButton6", "MenuNew"},
    {"SpeedButtonOpen", "MenuOpen"},
    {"SpeedButtonSave", "MenuSave"},
    {"SpeedButtonPrint", "MenuPrint"},
    {"SpeedButtonZpet", "MenuZpet"},
    {"SpeedButtonZnovu", "MenuZnovu"},
}};

} // namespace

MainWindow::MainWindow(SerialPort& port, QWidget* parent) : QMainWindow(parent), cfg_(port, *this) {
    setObjectName("FormHlav");
    build();
    about_ = new AboutBox(this);
    for (const ControlText& t : formTexts())
        applyText(control(std::string(t.control)), static_cast<int>(t.kind), q(t.text), t.item);
    timer_ = new QTimer(this);
    timer_->setInterval(kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &MainWindow::tick);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    // Widgets losing focus while they are torn down must not reach the Configurator.
    closed_ = true;
    timer_->stop();
    qApp->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

QObject* MainWindow::control(const std::string& name) const {
    const auto it = registry_.find(name);
    return it == registry_.end() ? nullptr : it->second;
}

QWidget* MainWindow::widget(const std::string& name) const {
    return qobject_cast<QWidget*>(control(name));
}

QAction* MainWindow::action(const std::string& name) const {
    return qobject_cast<QAction*>(control(name));
}

// ---------------------------------------------------------------- start and close

void MainWindow::start(const StartOptions& options) {
    // The designed size, centred on the screen, unless the settings file gives a place.
    placeDesigned();
    cfg_.start(options);
    const Settings& s = cfg_.settings();
    shiftAll_->setChecked(s.ignAll);
    applyControlTexts();
    showLiveChart(s.liveChart);
    updateRecentMenu();
    updateFromConfigurator();
    // After the texts: they decide the designed size.
    restoreGeometry();
    started_ = true;
    timer_->start();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closed_ && started_) {
        closed_ = true;
        timer_->stop();
        keepGeometry();
        takeWidgets();
        recorder_.stop();
        cfg_.shutdown();
    }
    event->accept();
}

// ---------------------------------------------------------------- the tick

void MainWindow::tick() {
    // A message box opened from inside a tick runs its own event loop; the timer must not
    // start a second tick in the middle of the first.
    if (ticking_ || closed_)
        return;
    ticking_ = true;
    cfg_.tick();
    if (!recorder_.tick())
        recordingFailed();
    liveChart_->tick(seconds(), !cfg_.connectionLost());
    updateFromConfigurator();
    ticking_ = false;
}

void MainWindow::updateFromConfigurator() {
    const QString caption = q(cfg_.caption());
    if (windowTitle() != caption)
        setWindowTitle(caption);

    showStatus(cfg_.status());

    setShown(noConnection_, cfg_.connectionLost());
    setText(comLabel_, q(cfg_.comLabel()));

    QAction* undo = action("MenuZpet");
    if (undo->isEnabled() != cfg_.canUndo()) {
        undo->setEnabled(cfg_.canUndo());
        widget("SpeedButtonZpet")->setEnabled(cfg_.canUndo());
    }
    QAction* redo = action("MenuZnovu");
    if (redo->isEnabled() != cfg_.canRedo()) {
        redo->setEnabled(cfg_.canRedo());
        widget("SpeedButtonZnovu")->setEnabled(cfg_.canRedo());
    }
    QAction* inUse = comInUse();
    if (inUse && !inUse->isChecked())
        inUse->setChecked(true);
    if (forcedCom_->isVisible() != cfg_.forcedDevice().has_value())
        forcedCom_->setVisible(cfg_.forcedDevice().has_value());

    updateMonitorLabels();
    updateUnitTexts();
    updateHighlight();
    updateNotProgrammed();
    updateNotSaved();
    updateRecording();
}

// The labels the enabling pass decides about besides the monitor's own look.
void MainWindow::updateMonitorLabels() {
    const MonitorDisplay& d = cfg_.monitor().display();
    for (std::size_t i = 0; i < kMonLabelCount; ++i) {
        QLabel* label = monitorLabels_[i];
        const Label& m = d.labels[i];
        Look look = m;
        const auto name = kMonLabelNames[i];
        for (std::size_t c = 0; c < kControlCount; ++c) {
            if (kControlNames[c] == name) {
                look.visible = look.visible && enabling_.controls[c].visible;
                look.enabled = look.enabled && enabling_.controls[c].enabled;
            }
        }
        // While no frame comes nothing is on, so nothing is coloured: greyed text only.
        if (!cfg_.monitor().live())
            look.colour = Colour::Face;
        setText(label, q(m.text));
        paintBackground(label, look.colour);
        if (label->isEnabled() != look.enabled)
            label->setEnabled(look.enabled);
        setShown(label, look.visible);
    }
    if (rpmGauge_->value() != d.rpmGauge)
        rpmGauge_->setValue(std::clamp(d.rpmGauge, 0, 100));
    // The gauge keeps the last speed as the labels keep their texts, greyed as they are.
    const bool gaugeLive = cfg_.monitor().live();
    if (rpmGauge_->isEnabled() != gaugeLive)
        rpmGauge_->setEnabled(gaugeLive);
}

// Empty until the unit's information page has come, and again once the unit is gone.
void MainWindow::updateUnitTexts() {
    const UnitTexts& unit = cfg_.unitTexts();
    setText(unitTexts_[0], q(unit.name));
    setText(unitTexts_[1], q(unit.date));
    setText(unitTexts_[2], q(unit.time));
}

void MainWindow::updateHighlight() {
    const int row = cfg_.monitor().highlightedRow();
    if (row == shownHighlight_)
        return;
    shownHighlight_ = row;
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        const Colour c = static_cast<int>(k) == row ? Colour::Lime : Colour::Window;
        paintBackground(spins_[Spin::Rpm + k], c, QPalette::Base);
        paintBackground(spins_[Spin::Advance + k], c, QPalette::Base);
    }
}

void MainWindow::updateComMenu() {
    const std::vector<std::string> captions = cfg_.comMenu();
    for (std::size_t i = 0; i < comActions_.size() && i < captions.size(); ++i) {
        const QString text = q(captions[i]);
        if (comActions_[i]->text() != text)
            comActions_[i]->setText(text);
    }
    if (const auto& forced = cfg_.forcedDevice()) {
        const QString text = *forced == kVirtualUnitDevice
                                 ? q(windowtexts::VirtualUnit[languageFromIndex(cfg_.language())])
                                 : QDir::toNativeSeparators(q(*forced));
        if (forcedCom_->text() != text)
            forcedCom_->setText(text);
    }
    forcedCom_->setVisible(cfg_.forcedDevice().has_value());
    if (QAction* inUse = comInUse())
        inUse->setChecked(true);
}

QAction* MainWindow::comInUse() const {
    if (cfg_.forcedDevice())
        return forcedCom_;
    const auto checked = static_cast<std::size_t>(cfg_.comChecked());
    return checked < comActions_.size() ? comActions_[checked] : nullptr;
}

// ---------------------------------------------------------------- texts

void MainWindow::applyText(QObject* target, int kindValue, const QString& text, int item) {
    if (!target)
        return;
    const auto kind = static_cast<TextKind>(kindValue);
    switch (kind) {
    case TextKind::Caption:
        if (auto* l = qobject_cast<QLabel*>(target)) {
            l->setText(text);
            if (l->buddy())
                l->buddy()->setAccessibleName(withoutAccelerator(text));
        } else if (auto* b = qobject_cast<QAbstractButton*>(target)) {
            b->setText(text);
        } else if (auto* g = qobject_cast<QGroupBox*>(target)) {
            g->setTitle(text);
        } else if (auto* a = qobject_cast<QAction*>(target)) {
            a->setText(text);
        } else if (auto* m = qobject_cast<QMenu*>(target)) {
            m->setTitle(text);
        }
        break;
    case TextKind::Items:
        if (auto* r = qobject_cast<RadioGroup*>(target)) {
            r->setItems(text);
        } else if (auto* c = qobject_cast<QComboBox*>(target)) {
            const QSignalBlocker block(c);
            c->clear();
            c->addItems(text.split(QLatin1Char('\n')));
        }
        break;
    case TextKind::Item:
        if (auto* c = qobject_cast<QComboBox*>(target)) {
            const QSignalBlocker block(c);
            c->setItemText(item, text);
        }
        break;
    case TextKind::Hint: {
        const HintParts parts = splitHint(text.toStdString());
        if (auto* w = qobject_cast<QWidget*>(target)) {
            if (auto* m = qobject_cast<QMenu*>(w)) {
                m->menuAction()->setStatusTip(q(parts.longText));
            } else {
                w->setToolTip(q(parts.tip));
                w->setStatusTip(q(parts.longText));
            }
        } else if (auto* a = qobject_cast<QAction*>(target)) {
            a->setToolTip(q(parts.tip));
            a->setStatusTip(q(parts.longText));
        }
        break;
    }
    }
}

void MainWindow::applyControlTexts() {
    const int language = cfg_.language();
    qtTexts_.use(language);
    for (std::size_t i = 0; i < languageActions_.size(); ++i)
        languageActions_[i]->setChecked(static_cast<int>(i) == language);
    setWindowTitle(q(cfg_.caption()));
    const std::uint8_t bike = cfg_.image()[Offset::BikeType];
    rememberedBike_ = bike;
    for (const ControlText& t : controlTexts(language, bike))
        applyText(control(std::string(t.control)), static_cast<int>(t.kind), q(t.text), t.item);
    for (const ControlText& t : languageItemHints())
        applyText(control(std::string(t.control)), static_cast<int>(t.kind), q(t.text), t.item);
    // The glyph buttons say nothing by themselves: a screen reader names each as its menu
    // command is named.
    for (const auto& [button, item] : kToolbarCommands)
        if (QWidget* b = widget(button))
            b->setAccessibleName(withoutAccelerator(action(item)->text()));
    updateComMenu();
    updateMonitorLabels();
    applyLiveDataTexts();
}

void MainWindow::applyPolarityTexts() {
    for (const ControlText& t : polarityTexts(cfg_.language(), cfg_.image()[Offset::BikeType]))
        applyText(polarity_, static_cast<int>(t.kind), q(t.text), t.item);
}

// ---------------------------------------------------------------- View

void MainWindow::showControls(const FormValues& f) {
    for (std::size_t id = 0; id < Spin::Count; ++id)
        spins_[id]->show(f.spin[id]);
    // The window's own writes are no choices of the user's.
    const QSignalBlocker blockBikes(bikes_), blockLobes(lobes_), blockNoReading(noReading_),
        blockReverse(reverseOutput_);
    if (bikes_->currentIndex() != f.bikeItem)
        bikes_->setCurrentIndex(f.bikeItem);
    if (lobes_->currentIndex() != f.lobeItem)
        lobes_->setCurrentIndex(f.lobeItem);
    applyPolarityTexts();
    polarity_->setSelected(f.polarityItem);
    input1_->setSelected(f.input1Item);
    input2_->setSelected(f.input2Item);
    noReading_->setChecked(f.noReading);
    reverseOutput_->setChecked(f.reverseOutput);
    curveSelect_->setSelected(f.curveItem);

    const std::optional<Curve> shown = cfg_.shown();
    setText(letter_, shown ? (*shown == Curve::A ? QStringLiteral("A") : QStringLiteral("B"))
                           : QStringLiteral("?"));
    const QColor letterColour = qColour(!shown               ? Colour::Grey
                                        : *shown == Curve::A ? Colour::Red
                                                             : Colour::Blue);
    if (letter_->palette().color(QPalette::WindowText) != letterColour) {
        QPalette p = letter_->palette();
        p.setColor(QPalette::WindowText, letterColour);
        letter_->setPalette(p);
    }
}

void MainWindow::showEnabling(const Enabling& e) {
    enabling_ = e;
    paintBackground(form_, e.background);

    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        const CurveRowLook& row = e.rows[k];
        for (auto [spin, field, spinner] :
             {std::tuple{spins_[Spin::Rpm + k], row.rpmField, row.rpmSpinner},
              std::tuple{spins_[Spin::Advance + k], row.advanceField, row.advanceSpinner}}) {
            setShown(spin, field.visible);
            if (spin->isEnabled() != field.enabled)
                spin->setEnabled(field.enabled);
            spin->setSpinnerVisible(spinner.visible);
            if (field.emptied)
                spin->empty();
        }
        setShown(rowNumbers_[k], row.rpmField.visible);
    }

    // A field and its spinner are one widget here: it takes input only while both are
    // enabled, so a field whose spinner is disabled cannot be stepped or typed back to life.
    std::map<SpinField*, bool> spinEnabled;
    for (std::size_t c = 0; c < kControlCount; ++c) {
        const std::string name(kControlNames[c]);
        const ControlLook& look = e.controls[c];
        QObject* target = control(name);
        if (auto* spin = qobject_cast<SpinField*>(target)) {
            const auto [it, fresh] = spinEnabled.try_emplace(spin, look.enabled);
            if (!fresh)
                it->second = it->second && look.enabled;
            if (name.starts_with("UpDown"))
                spin->setSpinnerVisible(look.visible);
            else if (look.emptied)
                spin->empty();
            continue;
        }
        auto* w = qobject_cast<QWidget*>(target);
        if (!w ||
            std::find(monitorLabels_.begin(), monitorLabels_.end(), w) != monitorLabels_.end())
            continue; // the monitor labels combine this with their own look
        setShown(w, look.visible);
        if (w->isEnabled() != look.enabled)
            w->setEnabled(look.enabled);
        if (qobject_cast<QCheckBox*>(w))
            paintBackground(w, look.colour);
    }

    for (auto [spin, enabled] : spinEnabled)
        if (spin->isEnabled() != enabled)
            spin->setEnabled(enabled);

    updateUnitTexts();

    // The polarity items depend on the bike type: a new type brings the texts again.
    if (cfg_.image()[Offset::BikeType] != rememberedBike_) {
        cfg_.bikeLanguageApplied();
        applyControlTexts();
    }
    updateMonitorLabels();
}

void MainWindow::showMessage(const std::string& text, const std::string& detail) {
    QString more = q(detail);
    if (text == cfg_.texts().TextComError) {
        // The system says "Permission denied"; the user needs to hear what to do about it.
        if (const auto missing = missingPortGroup(cfg_.deviceTried()))
            more += QStringLiteral("\n\n") +
                    q(windowtexts::PortPermission[languageFromIndex(cfg_.language())])
                        .arg(q(cfg_.deviceTried()), missing->group, missing->user);
    }
    if (messageHook) {
        messageHook(q(text), more);
        return;
    }
    // The program's name as the title: the task bar and a screen reader name the box by it.
    QMessageBox box(QMessageBox::Warning, q(kAboutProgram), q(text), QMessageBox::Ok, this);
    if (!more.isEmpty())
        box.setInformativeText(more);
    box.exec();
}

Answer MainWindow::ask(const std::string& question) {
    if (askHook)
        return askHook(q(question));
    const auto button = QMessageBox::question(
        this, q(kAboutProgram), q(question),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return button == QMessageBox::Yes  ? Answer::Yes
           : button == QMessageBox::No ? Answer::No
                                       : Answer::Cancel;
}

void MainWindow::statusPosted(const StatusLine& st) {
    // At once, not with the next tick: a message posted inside a long command is seen.
    showStatus(st);
}

void MainWindow::showStatus(const StatusLine& st) {
    if (statusHook && status_->text() != q(st.text))
        statusHook(q(st.text));
    setText(status_, q(st.text));
    paintBackground(status_, st.colour);
    setShown(status_, st.visible);
    if (statusGauge_->maximum() != st.gaugeMax)
        statusGauge_->setMaximum(st.gaugeMax);
    if (statusGauge_->value() != st.gauge)
        statusGauge_->setValue(st.gauge);
    setShown(statusGauge_, st.gaugeVisible);
}

void MainWindow::monitorUpdated() {
    updateMonitorLabels();
    if (!recorder_.frame(cfg_.monitor().lastFrame(), seconds()))
        recordingFailed();
    feedLiveChart();
}

void MainWindow::drawGraph(int request) {
    graph_->draw(request);
}

bool MainWindow::movePointer(int x, int y) {
    // Without a screen there is no pointer to move, and no move event will follow to swallow.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return false;
    graph_->warpPointer(x, y);
    return true;
}

// ---------------------------------------------------------------- controls <-> form

void MainWindow::takeWidgets() {
    FormValues& f = cfg_.form();
    for (std::size_t id = 0; id < Spin::Count; ++id)
        f.spin[id] = spins_[id]->commit();
    f.bikeItem = bikes_->currentIndex();
    f.lobeItem = lobes_->currentIndex();
    if (polarity_->selected() >= 0)
        f.polarityItem = polarity_->selected();
    if (input1_->selected() >= 0)
        f.input1Item = input1_->selected();
    if (input2_->selected() >= 0)
        f.input2Item = input2_->selected();
    if (curveSelect_->selected() >= 0)
        f.curveItem = curveSelect_->selected();
    f.noReading = noReading_->isChecked();
    f.reverseOutput = reverseOutput_->isChecked();
    cfg_.programAfterChange = programAfterChange_->isChecked();
    cfg_.settings().ignAll = shiftAll_->isChecked();
}

} // namespace zentrola
