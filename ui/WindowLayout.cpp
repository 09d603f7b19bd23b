// Building the window: groups in their order, each control created from the control
// tables and entered in the registry under its name.
#include "ui/AccessibleNames.h"
#include "ui/GraphView.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"
#include "ui/SpinField.h"

#include "core/BikeTypes.h"
#include "link/Monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrola {

namespace {

// The caption label of each spinner that has one.
struct SpinCaption {
    std::size_t spin;
    const char* label;
};
constexpr std::array kSpinCaptions{
    SpinCaption{Spin::Points, "LabelPocetBodu"},
    SpinCaption{Spin::BaseAdvance, "LabelBaseAdv"},
    SpinCaption{Spin::StartLimiter, "LabelOmez1"},
    SpinCaption{Spin::Limiter, "LabelOmez2"},
    SpinCaption{Spin::ShiftLight, "LabelLedRazeni"},
    SpinCaption{Spin::Pwm, "LabelPWM"},
    SpinCaption{Spin::ClutchTime, "LabelClutch1"},
    SpinCaption{Spin::ClutchPause, "LabelClutch2"},
    SpinCaption{Spin::RpmPulses, "LabelRpmPulsu"},
    SpinCaption{Spin::RpmCorrection, "LabelRpmKorekce"},
};

// The edit field's name of a spinner: "UpDownOmez2" -> "EditOmez2"; rows get their number.
std::string editName(std::size_t id) {
    std::string name(spinnerTable()[id].name);
    name.replace(0, 6, "Edit");
    if (id >= Spin::Rpm && id < Spin::Advance + kCurvePoints)
        name += std::to_string((id - Spin::Rpm) % kCurvePoints + 1);
    return name;
}

std::string upDownName(std::size_t id) {
    std::string name(spinnerTable()[id].name);
    if (id >= Spin::Rpm && id < Spin::Advance + kCurvePoints)
        name += std::to_string((id - Spin::Rpm) % kCurvePoints + 1);
    return name;
}

QVBoxLayout* column(QWidget* w) {
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(4);
    return l;
}

} // namespace

void MainWindow::add(const std::string& name, QObject* object) {
    object->setObjectName(QString::fromStdString(name));
    registry_[name] = object;
}

void MainWindow::addAlias(const std::string& name, QObject* object) {
    registry_[name] = object;
}

SpinField* MainWindow::makeSpin(std::size_t id, const std::string&, QWidget* parent) {
    const SpinnerSpec& s = spinnerTable()[id];
    auto* f = new SpinField(s.min, s.max, s.step, s.thousands, parent);
    add(editName(id), f);
    addAlias(upDownName(id), f);
    spins_[id] = f;
    f->show(s.formValue);
    connect(f, &SpinField::stepped, this, &MainWindow::onControlEdited);
    return f;
}

SpinField* MainWindow::addCaptioned(QGridLayout* grid, int row, std::size_t id, QWidget* parent,
                                    bool exitHandler) {
    SpinField* f = makeSpin(id, {}, parent);
    const auto* caption = std::find_if(kSpinCaptions.begin(), kSpinCaptions.end(),
                                       [id](const SpinCaption& c) { return c.spin == id; });
    grid->addWidget(makeLabel(caption->label, parent, f), row, 0);
    grid->addWidget(f, row, 1);
    if (exitHandler)
        connect(f, &SpinField::left, this, &MainWindow::onControlEdited);
    return f;
}

QLabel* MainWindow::makeLabel(const std::string& name, QWidget* parent, QWidget* buddy) {
    auto* l = new QLabel(parent);
    add(name, l);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QAction* MainWindow::makeAction(const std::string& name, const QKeySequence& key,
                                void (MainWindow::*slot)()) {
    auto* a = new QAction(this);
    add(name, a);
    if (!key.isEmpty()) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    return a;
}

void MainWindow::build() {
    buildMenus();
    buildToolBar();

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(6, 4, 6, 4);
    columns->setSpacing(8);

    auto* left = new QWidget(central);
    auto* leftLayout = column(left);
    graph_ = new GraphView(cfg_, left);
    add("GrafAdv", graph_);
    leftLayout->addWidget(graph_, 1);
    leftLayout->addWidget(buildCurvePanel());
    columns->addWidget(left, 3);
    columns->addWidget(buildMiddleColumn(), 0);
    columns->addWidget(buildRightColumn(), 0);
    columns->addWidget(buildMonitorColumn(), 0);
    setCentralWidget(fitForm(central));

    auto* bar = new QStatusBar(this);
    add("StatusBar1", bar);
    setStatusBar(bar);
    // Permanent fields: what the unit is known to hold, and a recording under way.
    notProgrammed_ = makeLabel("LabelNotProgrammed", bar);
    notProgrammed_->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold;"));
    notProgrammed_->setVisible(false);
    notKnown_ = makeLabel("LabelNotKnown", bar);
    notKnown_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    notKnown_->setVisible(false);
    notSaved_ = makeLabel("LabelNotSaved", bar);
    notSaved_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    notSaved_->setVisible(false);
    recording_ = makeLabel("LabelRecording", bar);
    recording_->setVisible(false);
    bar->addPermanentWidget(recording_);
    bar->addPermanentWidget(notProgrammed_);
    bar->addPermanentWidget(notKnown_);
    bar->addPermanentWidget(notSaved_);
    buildLiveData();
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](const std::string& name) {
        QMenu* m = bar->addMenu(QString());
        add(name, m);
        addAlias(name + "#action", m->menuAction());
        return m;
    };

    QMenu* file = menu("MenuFile");
    file->addAction(
        makeAction("MenuNew", QKeySequence(Qt::CTRL | Qt::Key_N), &MainWindow::commandNew));
    file->addAction(makeAction("MenuOpen", QKeySequence(Qt::Key_F3), nullptr));
    file->addAction(makeAction("MenuOpenExeDir", QKeySequence(Qt::CTRL | Qt::Key_F3), nullptr));
    file->addAction(makeAction("MenuSave", QKeySequence(Qt::Key_F2), nullptr));
    file->addAction(makeAction("MenuSaveExeDir", QKeySequence(Qt::CTRL | Qt::Key_F2), nullptr));
    connect(action("MenuOpen"), &QAction::triggered, this, [this] { commandOpen(false); });
    connect(action("MenuOpenExeDir"), &QAction::triggered, this, [this] { commandOpen(true); });
    connect(action("MenuSave"), &QAction::triggered, this, [this] { commandSave(false); });
    connect(action("MenuSaveExeDir"), &QAction::triggered, this, [this] { commandSave(true); });
    file->addAction(
        makeAction("MenuPrint", QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindow::commandPrint));
    file->addAction(makeAction("MenuExportPdf", QKeySequence(), &MainWindow::commandExportPdf));
    file->addAction(makeAction("MenuCompareFile", QKeySequence(), &MainWindow::commandCompareFile));
    file->addAction(makeAction("MenuParameterSheet", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
                               &MainWindow::commandParameterSheet));
    file->addSeparator();
    buildRecentFiles(file);
    file->addSeparator();
    file->addAction(makeAction("MenuExit", QKeySequence(), nullptr));
    connect(action("MenuExit"), &QAction::triggered, this, &QWidget::close);

    comMenu_ = menu("MenuCom");
    comGroup_ = new QActionGroup(this);
    comGroup_->setExclusive(true);
    // First the device the command line chose, so that the tick shows what is in use.
    forcedCom_ = comMenu_->addAction(QString());
    forcedCom_->setObjectName(QStringLiteral("MenuComForced"));
    forcedCom_->setCheckable(true);
    // It tells what is in use; choosing a COM entry below leaves it for good.
    forcedCom_->setEnabled(false);
    forcedCom_->setVisible(false);
    comGroup_->addAction(forcedCom_);
    comMenu_->addSeparator();
    for (int i = 0; i <= kAutoPortIndex; ++i) {
        auto* a = comMenu_->addAction(QString());
        a->setObjectName(i == kAutoPortIndex ? QStringLiteral("MenuComAuto")
                                             : QStringLiteral("MenuCom%1").arg(i + 1));
        a->setCheckable(true);
        comGroup_->addAction(a);
        comActions_.push_back(a);
        connect(a, &QAction::triggered, this, [this, i] { commandCom(i); });
    }
    connect(comMenu_, &QMenu::aboutToShow, this, &MainWindow::updateComMenu);

    QMenu* device = menu("MenuDevice");
    device->addAction(makeAction("MenuRead", QKeySequence(Qt::Key_F7), &MainWindow::commandRead));
    device->addAction(
        makeAction("MenuVerify", QKeySequence(Qt::Key_F8), &MainWindow::commandVerify));
    device->addAction(
        makeAction("MenuProgram", QKeySequence(Qt::Key_F9), &MainWindow::commandProgram));
    device->addSeparator();
    device->addAction(
        makeAction("MenuDifferences", QKeySequence(), &MainWindow::commandDifferences));

    QMenu* tools = menu("MenuTools");
    tools->addAction(
        makeAction("MenuAdvanceMinus", QKeySequence(Qt::Key_F4), &MainWindow::commandAdvanceMinus));
    tools->addAction(
        makeAction("MenuAdvancePlus", QKeySequence(Qt::Key_F5), &MainWindow::commandAdvancePlus));
    tools->addSeparator();
    tools->addAction(
        makeAction("MenuZpet", QKeySequence(Qt::CTRL | Qt::Key_Z), &MainWindow::commandUndo));
    tools->addAction(makeAction("MenuZnovu", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z),
                                &MainWindow::commandRedo));
    // Beside the window's own key, the ones other desktop programs redo with.
    action("MenuZnovu")
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z),
                        QKeySequence(Qt::CTRL | Qt::Key_Y),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    tools->addSeparator();
    tools->addAction(makeAction("MenuRecord", QKeySequence(), &MainWindow::commandRecord));
    action("MenuRecord")->setCheckable(true);
    tools->addAction(
        makeAction("MenuMark", QKeySequence(Qt::CTRL | Qt::Key_M), &MainWindow::commandMark));
    tools->addAction(makeAction("MenuLiveChart", QKeySequence(Qt::CTRL | Qt::Key_L),
                                &MainWindow::commandLiveChart));
    action("MenuLiveChart")->setCheckable(true);
    tools->addAction(
        makeAction("MenuViewRecording", QKeySequence(), &MainWindow::commandViewRecording));

    QMenu* language = menu("MenuLanguage");
    auto* languages = new QActionGroup(this);
    const std::array<const char*, kLanguageCount> names{"MenuEnglish", "MenuGerman", "MenuFrench",
                                                        "MenuCzech"};
    for (int i = 0; i < kLanguageCount; ++i) {
        QAction* a = makeAction(names[static_cast<std::size_t>(i)], QKeySequence(), nullptr);
        a->setCheckable(true);
        languages->addAction(a);
        language->addAction(a);
        languageActions_[static_cast<std::size_t>(i)] = a;
        connect(a, &QAction::triggered, this, [this, i] { commandLanguage(i); });
    }

    QMenu* help = menu("MenuHelp");
    help->addAction(
        makeAction("MenuContens", QKeySequence(Qt::Key_F1), &MainWindow::commandContents));
    help->addAction(makeAction("MenuAbout", QKeySequence(), &MainWindow::commandAbout));
}

void MainWindow::buildToolBar() {
    toolBar_ = new QToolBar(this);
    add("GroupBoxToolBar", toolBar_);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(20, 20));
    // The toolbar is part of the window, not a panel the user may switch off.
    toolBar_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    auto button = [&](const std::string& name, QStyle::StandardPixmap icon, const char* theme) {
        auto* b = new QToolButton(toolBar_);
        add(name, b);
        b->setIcon(QIcon::fromTheme(QString::fromLatin1(theme), style()->standardIcon(icon)));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::TabFocus);
        toolBar_->addWidget(b);
        return b;
    };
    auto ctrlHeld = [] { return QApplication::keyboardModifiers().testFlag(Qt::ControlModifier); };
    connect(button("SpeedButton6", QStyle::SP_FileIcon, "document-new"), &QToolButton::clicked,
            this, &MainWindow::commandNew);
    connect(button("SpeedButtonOpen", QStyle::SP_DialogOpenButton, "document-open"),
            &QToolButton::clicked, this, [this, ctrlHeld] { commandOpen(ctrlHeld()); });
    connect(button("SpeedButtonSave", QStyle::SP_DialogSaveButton, "document-save"),
            &QToolButton::clicked, this, [this, ctrlHeld] { commandSave(ctrlHeld()); });
    connect(button("SpeedButtonPrint", QStyle::SP_FileDialogDetailedView, "document-print"),
            &QToolButton::clicked, action("MenuPrint"), &QAction::trigger);
    connect(button("SpeedButtonZpet", QStyle::SP_ArrowBack, "edit-undo"), &QToolButton::clicked,
            this, &MainWindow::commandUndo);
    connect(button("SpeedButtonZnovu", QStyle::SP_ArrowForward, "edit-redo"), &QToolButton::clicked,
            this, &MainWindow::commandRedo);
    toolBar_->addSeparator();
    auto push = [&](const std::string& name, void (MainWindow::*slot)()) {
        auto* b = new QPushButton(toolBar_);
        add(name, b);
        b->setAutoDefault(false);
        toolBar_->addWidget(b);
        connect(b, &QPushButton::clicked, this, slot);
    };
    push("ButtonRead", &MainWindow::commandRead);
    push("ButtonVerify", &MainWindow::commandVerify);
    push("ButtonProgram", &MainWindow::commandProgram);
}

QWidget* MainWindow::buildCurvePanel() {
    auto* box = new QGroupBox(this);
    add("GroupBox6", box);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    // Two columns of rows: 1..10 on the left, 11..15 on the right with the curve's own
    // settings below them.
    constexpr int kLeftRows = 10;
    constexpr int kRightColumn = 4;
    makeLabel("LabelRpm1", box);
    makeLabel("LabelAdvance1", box);
    makeLabel("LabelRpm2", box);
    makeLabel("LabelAdvance2", box);
    grid->addWidget(widget("LabelRpm1"), 0, 1);
    grid->addWidget(widget("LabelAdvance1"), 0, 2);
    grid->addWidget(widget("LabelRpm2"), 0, kRightColumn + 1);
    grid->addWidget(widget("LabelAdvance2"), 0, kRightColumn + 2);
    grid->setColumnMinimumWidth(3, 10);
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        const int row = static_cast<int>(k);
        const int gridRow = 1 + (row < kLeftRows ? row : row - kLeftRows);
        const int gridColumn = row < kLeftRows ? 0 : kRightColumn;
        auto* number = new QLabel(QString::number(row + 1), box);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setForegroundRole(QPalette::PlaceholderText);
        SpinField* rpm = makeSpin(Spin::Rpm + k, {}, box);
        SpinField* adv = makeSpin(Spin::Advance + k, {}, box);
        rpm->setAccessibleName(accessible::rpmRow(row + 1));
        adv->setAccessibleName(accessible::advanceRow(row + 1));
        number->setBuddy(rpm);
        rowNumbers_[k] = number;
        grid->addWidget(number, gridRow, gridColumn);
        grid->addWidget(rpm, gridRow, gridColumn + 1);
        grid->addWidget(adv, gridRow, gridColumn + 2);
        connect(rpm, &SpinField::left, this, &MainWindow::onControlEdited);
        connect(adv, &SpinField::left, this, &MainWindow::onControlEdited);
    }

    // Below the right column: the shift, the number of points, the base advance, the letter
    // and the selector, in a block of their own so that the rows keep one height.
    auto* below = new QWidget(box);
    auto* sub = new QGridLayout(below);
    sub->setContentsMargins(0, 4, 0, 0);
    sub->setHorizontalSpacing(4);
    sub->setVerticalSpacing(2);
    auto* shift = new QWidget(below);
    auto* shiftRow = new QHBoxLayout(shift);
    shiftRow->setContentsMargins(0, 0, 0, 0);
    auto* minus = new QPushButton(shift);
    auto* plus = new QPushButton(shift);
    add("BitBtnAdvMinus", minus);
    add("BitBtnAdvPlus", plus);
    for (QPushButton* b : {minus, plus}) {
        b->setAutoDefault(false);
        b->setFixedWidth(34);
    }
    connect(minus, &QPushButton::clicked, this, &MainWindow::commandAdvanceMinus);
    connect(plus, &QPushButton::clicked, this, &MainWindow::commandAdvancePlus);
    shiftAll_ = new QCheckBox(shift);
    add("CheckBoxIgnAll", shiftAll_);
    shiftRow->addWidget(minus);
    shiftRow->addWidget(plus);
    shiftRow->addWidget(shiftAll_);
    shiftRow->addStretch();
    int r = 0;
    sub->addWidget(shift, r++, 0, 1, 2);
    for (std::size_t id : {Spin::Points, Spin::BaseAdvance})
        addCaptioned(sub, r++, id, below, true);

    letter_ = new QLabel(below);
    add("LabelAB", letter_);
    QFont big = letter_->font();
    big.setBold(true);
    big.setPixelSize(32);
    letter_->setFont(big);
    letter_->setAlignment(Qt::AlignCenter);
    letter_->setMinimumWidth(40);
    letter_->setAccessibleDescription(accessible::kCurveLetter); // the name is the letter itself
    curveSelect_ = new RadioGroup(kCurveSelectItems, below, Qt::Horizontal);
    add("RadioGroupAB", curveSelect_);
    connect(curveSelect_, &RadioGroup::picked, this, &MainWindow::onCurveSelected);
    auto* letterRow = new QHBoxLayout;
    letterRow->addWidget(letter_);
    letterRow->addWidget(curveSelect_, 1);
    sub->addLayout(letterRow, r++, 0, 1, 2);
    sub->setRowStretch(r, 1);
    const int firstFree = 1 + static_cast<int>(kCurvePoints) - kLeftRows;
    grid->addWidget(below, firstFree, kRightColumn, kLeftRows + 1 - firstFree, 3);
    return box;
}

QWidget* MainWindow::buildMiddleColumn() {
    auto* w = new QWidget(this);
    auto* l = column(w);

    // The groups that write their one byte of the image.
    auto choice = [&](const char* name, int items, std::size_t offset) {
        auto* g = new RadioGroup(items, w);
        add(name, g);
        connect(g, &RadioGroup::picked, this, [this, offset](int i) { onRadio(offset, i); });
        l->addWidget(g);
        return g;
    };
    polarity_ = choice("RadioGroupPolarita", 3, Offset::Polarity);
    input1_ = choice("RadioGroupInput1", kInputItems, Offset::Input1);
    input2_ = choice("RadioGroupInput2", kInputItems, Offset::Input2);

    auto* rpm = new QGroupBox(w);
    add("GroupBoxRpm", rpm);
    auto* grid = new QGridLayout(rpm);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setVerticalSpacing(2);
    int row = 0;
    for (std::size_t id : {Spin::RpmPulses, Spin::RpmCorrection})
        addCaptioned(grid, row++, id, rpm, true);
    l->addWidget(rpm);

    auto* inputs = new QGroupBox(w);
    add("GroupBoxMonInput", inputs);
    auto* inputsLayout = new QVBoxLayout(inputs);
    inputsLayout->setContentsMargins(6, 2, 6, 4);
    inputsLayout->setSpacing(1);
    for (MonLabel m : {MonLabel::Input1, MonLabel::Input2}) {
        QLabel* label = makeLabel(std::string(kMonLabelNames[static_cast<std::size_t>(m)]), inputs);
        monitorLabels_[static_cast<std::size_t>(m)] = label;
        inputsLayout->addWidget(label);
    }
    l->addWidget(inputs);

    status_ = makeLabel("LabelHlaseni", w);
    status_->setAccessibleDescription(accessible::kStatus); // the name is the message itself
    status_->setMargin(2);
    status_->setWordWrap(true);
    statusGauge_ = new QProgressBar(w);
    add("CGaugeProgram", statusGauge_);
    statusGauge_->setAccessibleName(accessible::kTransferGauge);
    statusGauge_->setTextVisible(false);
    statusGauge_->setMaximumHeight(12);
    // The status line and its gauge keep their room while hidden: the first message must not
    // make the window grow and everything below it jump.
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() + 2 * status_->margin());
    for (QWidget* keep : {static_cast<QWidget*>(status_), static_cast<QWidget*>(statusGauge_)}) {
        QSizePolicy policy = keep->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        keep->setSizePolicy(policy);
    }
    l->addWidget(status_);
    l->addWidget(statusGauge_);
    l->addStretch();

    auto* versions = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        QLabel* v = makeLabel("LabelVerze" + std::to_string(i + 1), w);
        unitTexts_[static_cast<std::size_t>(i)] = v;
        // Empty until a unit has sent its information page: the row keeps its height.
        v->setMinimumHeight(v->fontMetrics().lineSpacing());
        versions->addWidget(v);
    }
    versions->addStretch();
    l->addLayout(versions);
    return w;
}

QWidget* MainWindow::buildRightColumn() {
    auto* w = new QWidget(this);
    auto* l = column(w);

    auto* limits = new QGroupBox(w);
    add("GroupBox2", limits);
    auto* grid = new QGridLayout(limits);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    bikes_ = new QComboBox(limits);
    add("ComboBoxBike", bikes_);
    bikes_->setMaxVisibleItems(30);
    bikes_->setAccessibleName(accessible::kBikeList);
    // A change of the selection, whatever made it; a re-pick of the shown entry is none.
    connect(bikes_, &QComboBox::currentIndexChanged, this, &MainWindow::onBikeChosen);
    lobes_ = new QComboBox(limits);
    add("ComboBoxPocPalcu", lobes_);
    lobes_->setAccessibleName(accessible::kLobes);
    for (int i = 0; i < 4; ++i)
        lobes_->addItem(QString());
    connect(lobes_, &QComboBox::currentIndexChanged, this, &MainWindow::onControlEdited);
    int row = 0;
    grid->addWidget(bikes_, row++, 0, 1, 2);
    grid->addWidget(lobes_, row++, 0, 1, 2);
    for (std::size_t id :
         {Spin::StartLimiter, Spin::Limiter, Spin::ClutchTime, Spin::ClutchPause}) {
        SpinField* f = makeSpin(id, {}, limits);
        const auto* caption = std::find_if(kSpinCaptions.begin(), kSpinCaptions.end(),
                                           [id](const SpinCaption& c) { return c.spin == id; });
        grid->addWidget(makeLabel(caption->label, limits, f), row, 0);
        grid->addWidget(f, row++, 1);
        // The clutch fields have no exit handler: their values come in with the next capture.
        if (id == Spin::StartLimiter || id == Spin::Limiter)
            connect(f, &SpinField::left, this, &MainWindow::onControlEdited);
    }
    noReading_ = new QCheckBox(limits);
    add("CheckBoxZakazCteni", noReading_);
    programAfterChange_ = new QCheckBox(limits);
    add("CheckBoxProgHned", programAfterChange_);
    grid->addWidget(noReading_, row++, 0, 1, 2);
    grid->addWidget(programAfterChange_, row++, 0, 1, 2);
    l->addWidget(limits);

    auto* light = new QGroupBox(w);
    add("GroupBox1", light);
    auto* lightGrid = new QGridLayout(light);
    lightGrid->setContentsMargins(6, 4, 6, 4);
    lightGrid->setVerticalSpacing(3);
    row = 0;
    for (std::size_t id : {Spin::ShiftLight, Spin::Pwm})
        addCaptioned(lightGrid, row++, id, light, false);
    reverseOutput_ = new QCheckBox(light);
    add("CheckBoxRevOutLedRazeni", reverseOutput_);
    lightGrid->addWidget(reverseOutput_, row, 0, 1, 2);
    l->addWidget(light);
    for (QCheckBox* c : {noReading_, programAfterChange_, reverseOutput_})
        connect(c, &QCheckBox::toggled, this, &MainWindow::onCheckBoxReleased);

    auto* test = new QGroupBox(w);
    add("GroupBoxTestIgn", test);
    auto* testLayout = new QGridLayout(test);
    testLayout->setContentsMargins(6, 4, 6, 4);
    auto testButton = [&](const std::string& name, void (Configurator::*command)()) {
        auto* b = new QPushButton(test);
        add(name, b);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, command] { (cfg_.*command)(); });
        return b;
    };
    testLayout->addWidget(testButton("ButtonTestIgn1", &Configurator::testIgnition), 0, 0);
    testLayout->addWidget(testButton("ButtonTestPilotLight", &Configurator::testPilotLight), 0, 1);
    testLayout->addWidget(testButton("ButtonTestRpm", &Configurator::testRpm), 1, 0);
    SpinField* testRpm = makeSpin(Spin::TestRpm, {}, test);
    testRpm->setAccessibleName(accessible::kTestRpm);
    testLayout->addWidget(testRpm, 1, 1);
    l->addWidget(test);
    l->addStretch();
    return w;
}

QWidget* MainWindow::buildMonitorColumn() {
    auto* w = new QWidget(this);
    auto* l = column(w);
    l->setSpacing(1);
    noConnection_ = makeLabel("LabelSpojeni", w);
    QFont bold = noConnection_->font();
    bold.setBold(true);
    noConnection_->setFont(bold);
    noConnection_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    noConnection_->setVisible(false);
    l->addWidget(noConnection_);
    comLabel_ = makeLabel("LabelCom", w);
    l->addWidget(comLabel_);

    for (std::size_t i = 0; i < kMonLabelCount; ++i) {
        const auto m = static_cast<MonLabel>(i);
        if (m == MonLabel::Input1 || m == MonLabel::Input2)
            continue; // in their own group
        QLabel* label = makeLabel(std::string(kMonLabelNames[i]), w);
        label->setMargin(1);
        monitorLabels_[i] = label;
        l->addWidget(label);
        if (m == MonLabel::Rpm) {
            rpmGauge_ = new QProgressBar(w);
            add("CGaugeRpm", rpmGauge_);
            rpmGauge_->setAccessibleName(accessible::kRpmGauge);
            rpmGauge_->setRange(0, 100);
            rpmGauge_->setMaximumHeight(14);
            l->addWidget(rpmGauge_);
        }
        if (m == MonLabel::Version || m == MonLabel::DataError)
            label->setWordWrap(true);
    }
    l->addStretch();
    w->setMinimumWidth(210);
    return w;
}

} // namespace zentrola
