#include "ui/RecordingViewer.h"

#include "ui/ChartParts.h"
#include "ui/Jazyk2.h"
#include "ui/LiveTexts.h"
#include "ui/QtText.h"
#include "ui/RecordingPlot.h"

#include "app/RecordingAnalysis.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zentrola {

namespace {

enum Column { ChannelName, AtCursor, Minimum, Maximum, ColumnCount };

constexpr std::array kShownAtOpen{Channel::Rpm, Channel::Advance};
constexpr int kCurveWidth = 3;
constexpr std::array<int, 3> kDensityMarker{12, 9, 6};
constexpr std::array<int, 3> kDensityGrey{0, 100, 170};
// A bin holding at least this share of the busiest bin's rows is often, or sometimes.
constexpr std::array<double, 2> kDensityShare{0.1, 0.01};
constexpr int kLeastPointsRpm = 1000;

Channel channelOfRow(int row) {
    return static_cast<Channel>(row + 1);
}

QString valueText(Channel c, double v) {
    if (std::isnan(v))
        return QStringLiteral("-");
    if (c == Channel::Curve)
        return v == 0 ? QStringLiteral("A") : QStringLiteral("B");
    // As in the file: a decimal point in every language.
    return QString::number(v, 'g', 7);
}

} // namespace

RecordingViewer::RecordingViewer(const ParameterImage& image, int languageIndex, QWidget* parent)
    : QMainWindow(parent), image_(image), language_(languageIndex) {
    setObjectName(QStringLiteral("RecordingViewer"));
    setAccessibleName(accessible::kRecordingViewer);
    setAttribute(Qt::WA_DeleteOnClose, false);

    plot_ = new RecordingPlot(this);
    connect(plot_, &RecordingPlot::cursorMoved, this, &RecordingViewer::updateCursorColumn);

    points_ = new QCustomPlot(this);
    points_->setObjectName(QStringLiteral("OperatingPoints"));
    points_->setInteractions({});
    points_->plotLayout()->insertRow(0);
    pointsTitle_ = new QCPTextElement(points_, QStringLiteral(" "),
                                      chart::sized(font(), font().pointSize(), true));
    points_->plotLayout()->addElement(0, 0, pointsTitle_);
    for (auto [axis, step] : {std::pair{points_->xAxis, 2000}, std::pair{points_->yAxis, 5}}) {
        chart::fixedTicks(axis, step);
        axis->setSubTicks(false);
    }
    for (std::size_t i = 0; i < density_.size(); ++i) {
        QCPGraph* g = points_->addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        const QColor grey(kDensityGrey[i], kDensityGrey[i], kDensityGrey[i]);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, grey, grey, kDensityMarker[i]));
        g->setPen(QPen(grey));
        density_[i] = g;
    }
    // The curves over the points, coloured as the window colours them.
    for (auto [curve, colour] :
         {std::pair{&curveA_, chart::kCurveAColour}, std::pair{&curveB_, chart::kCurveBColour}}) {
        *curve = new QCPCurve(points_->xAxis, points_->yAxis);
        (*curve)->setPen(QPen(colour, kCurveWidth));
    }
    // The legend beside the plot, where it hides no point.
    points_->legend->setVisible(true);
    points_->legend->setBorderPen(Qt::NoPen);
    points_->axisRect()->insetLayout()->take(points_->legend);
    points_->plotLayout()->addElement(1, 1, points_->legend);
    points_->plotLayout()->setColumnStretchFactor(1, 0.001);

    plots_ = new QSplitter(Qt::Vertical, this);
    plots_->addWidget(plot_);
    plots_->addWidget(points_);
    plots_->setStretchFactor(0, 3);
    plots_->setStretchFactor(1, 2);

    table_ = new QTableWidget(static_cast<int>(kChannelCount) - 1, ColumnCount, this);
    table_->setObjectName(QStringLiteral("TableChannels"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    // Wide enough for the longest name and for values such as "-12345.67".
    const QFontMetrics metrics = table_->fontMetrics();
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("-12345.678")) + 12;
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setColumnWidth(ChannelName,
                           metrics.horizontalAdvance(QStringLiteral("polarity_negative")) + 40);
    for (int column : {AtCursor, Minimum, Maximum})
        table_->setColumnWidth(column, valueWidth);
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == ChannelName)
            onChannelTicked(item->row());
    });

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(plots_);
    split->addWidget(table_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    int tableWidth = table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth();
    for (int column = 0; column < ColumnCount; ++column)
        tableWidth += table_->columnWidth(column);
    table_->setMinimumWidth(tableWidth);
    split->setSizes({800, tableWidth});
    plots_->setSizes({400, 280});
    setCentralWidget(split);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("LabelRecordingSummary"));
    cursorLabel_ = new QLabel(this);
    cursorLabel_->setObjectName(QStringLiteral("LabelCursor"));
    statusBar()->addWidget(summary_, 1);
    statusBar()->addPermanentWidget(cursorLabel_);

    buildMenus();
    fillTable();
    setCurves(image_);
    applyTexts();
    // Room for the plots and the list, within a small screen.
    QSize size(1180, 680);
    if (const QScreen* s = screen();
        s && QGuiApplication::platformName() != QLatin1String("offscreen"))
        size = size.boundedTo(s->availableGeometry().size() * 0.95);
    resize(size);
}

RecordingViewer::~RecordingViewer() = default;

QAction* RecordingViewer::makeAction(const std::string& name, const QKeySequence& key,
                                     std::function<void()> slot) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromStdString(name));
    if (!key.isEmpty())
        a->setShortcut(key);
    connect(a, &QAction::triggered, this, std::move(slot));
    actions_[name] = a;
    addAction(a);
    return a;
}

QAction* RecordingViewer::action(const std::string& name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void RecordingViewer::buildMenus() {
    QMenu* file = menuBar()->addMenu(QString());
    file->setObjectName(QStringLiteral("MenuViewerFile"));
    file->addAction(makeAction("Open", QKeySequence::Open, [this] { commandOpen(); }));
    file->addAction(makeAction("ExportPng", QKeySequence(Qt::CTRL | Qt::Key_E),
                               [this] { commandExport(false); }));
    file->addAction(makeAction("ExportPdf", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
                               [this] { commandExport(true); }));
    file->addSeparator();
    file->addAction(makeAction("Close", QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); }));

    QMenu* view = menuBar()->addMenu(QString());
    view->setObjectName(QStringLiteral("MenuViewerView"));
    constexpr double kZoomStep = 0.5;
    constexpr double kPanStep = 0.25;
    view->addAction(makeAction("ZoomIn", QKeySequence(Qt::CTRL | Qt::Key_Plus),
                               [this] { plot_->zoom(kZoomStep); }));
    view->addAction(makeAction("ZoomOut", QKeySequence(Qt::CTRL | Qt::Key_Minus),
                               [this] { plot_->zoom(1 / kZoomStep); }));
    view->addAction(makeAction("WholeRecording", QKeySequence(Qt::CTRL | Qt::Key_0),
                               [this] { plot_->showAll(); }));
    view->addSeparator();
    view->addAction(makeAction("PanLeft", QKeySequence(Qt::CTRL | Qt::Key_Left),
                               [this] { plot_->pan(-kPanStep); }));
    view->addAction(makeAction("PanRight", QKeySequence(Qt::CTRL | Qt::Key_Right),
                               [this] { plot_->pan(kPanStep); }));
    view->addSeparator();
    view->addAction(makeAction("CursorBack", QKeySequence(Qt::ALT | Qt::Key_Left),
                               [this] { plot_->stepCursor(-1); }));
    view->addAction(makeAction("CursorOn", QKeySequence(Qt::ALT | Qt::Key_Right),
                               [this] { plot_->stepCursor(1); }));
    // The keys of a keypad and the plain ones too.
    action("ZoomIn")->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::Key_Plus)});
    action("ZoomOut")->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::Key_Minus)});
}

void RecordingViewer::setLanguage(int languageIndex) {
    language_ = languageIndex;
    applyTexts();
}

void RecordingViewer::applyTexts() {
    setWindowTitle(lt(livetexts::ViewerTitle, language_));
    const auto menus = menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    for (QMenu* m : menus) {
        if (m->objectName() == QLatin1String("MenuViewerFile"))
            m->setTitle(lt(livetexts::FileMenu, language_));
        else if (m->objectName() == QLatin1String("MenuViewerView"))
            m->setTitle(lt(livetexts::ViewMenu, language_));
    }
    for (const auto& [name, text] :
         {std::pair{"Open", &livetexts::Open}, std::pair{"ExportPng", &livetexts::ExportPng},
          std::pair{"ExportPdf", &livetexts::ExportPdf}, std::pair{"Close", &livetexts::Close},
          std::pair{"ZoomIn", &livetexts::ZoomIn}, std::pair{"ZoomOut", &livetexts::ZoomOut},
          std::pair{"WholeRecording", &livetexts::WholeRecording},
          std::pair{"PanLeft", &livetexts::PanLeft}, std::pair{"PanRight", &livetexts::PanRight},
          std::pair{"CursorBack", &livetexts::CursorBack},
          std::pair{"CursorOn", &livetexts::CursorOn}})
        action(name)->setText(lt(*text, language_));
    table_->setHorizontalHeaderLabels(
        {lt(livetexts::ChannelColumn, language_), lt(livetexts::CursorColumn, language_),
         lt(livetexts::MinColumn, language_), lt(livetexts::MaxColumn, language_)});
    plot_->setLanguage(language_);
    pointsTitle_->setText(lt(livetexts::PointsTitle, language_));
    points_->xAxis->setLabel(lt(livetexts::EngineSpeed, language_));
    points_->yAxis->setLabel(lt(livetexts::Advance, language_));
    curveA_->setName(lt(livetexts::CurveA, language_));
    curveB_->setName(lt(livetexts::CurveB, language_));
    density_[0]->setName(lt(livetexts::Often, language_));
    density_[1]->setName(lt(livetexts::Sometimes, language_));
    density_[2]->setName(lt(livetexts::Rarely, language_));
    updateCursorColumn();
    if (!path_.isEmpty()) {
        const std::vector<double>& time = recording_[Channel::Time];
        const double seconds = time.empty() ? 0 : time.back() - time.front();
        summary_->setText(lt(livetexts::Opened, language_)
                              .arg(QDir::toNativeSeparators(path_))
                              .arg(static_cast<qulonglong>(recording_.rows))
                              .arg(seconds, 0, 'f', 1));
    }
}

void RecordingViewer::fillTable() {
    filling_ = true;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const Channel c = channelOfRow(row);
        const auto& column = recording_.columns[static_cast<std::size_t>(c)];
        auto* name = new QTableWidgetItem(
            QString::fromUtf8(kChannelNames[static_cast<std::size_t>(c)].data()));
        const bool present = !column.empty();
        name->setFlags(present ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                               : Qt::ItemIsSelectable);
        const bool shown =
            present && std::find(kShownAtOpen.begin(), kShownAtOpen.end(), c) != kShownAtOpen.end();
        name->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, ChannelName, name);
        const auto range = channelRange(column);
        const double none = std::numeric_limits<double>::quiet_NaN();
        for (auto [col, value] :
             {std::pair{Minimum, range ? range->min : none},
              std::pair{Maximum, range ? range->max : none}, std::pair{AtCursor, none}}) {
            auto* item = new QTableWidgetItem(present ? valueText(c, value) : QString());
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, col, item);
        }
        plot_->setChannelShown(c, shown);
    }
    filling_ = false;
}

void RecordingViewer::onChannelTicked(int row) {
    if (filling_)
        return;
    QTableWidgetItem* item = table_->item(row, ChannelName);
    plot_->setChannelShown(channelOfRow(row), item->checkState() == Qt::Checked);
}

void RecordingViewer::updateCursorColumn() {
    const std::optional<std::size_t> row = plot_->cursorRow();
    filling_ = true;
    for (int r = 0; r < table_->rowCount(); ++r) {
        const Channel c = channelOfRow(r);
        const auto& column = recording_.columns[static_cast<std::size_t>(c)];
        const QString text = row && *row < column.size() ? valueText(c, column[*row]) : QString();
        if (QTableWidgetItem* item = table_->item(r, AtCursor); item && item->text() != text)
            item->setText(text);
    }
    filling_ = false;
    const auto& time = recording_[Channel::Time];
    cursorLabel_->setText(row && *row < time.size()
                              ? lt(livetexts::CursorAt, language_).arg(time[*row], 0, 'f', 2)
                              : QString());
}

void RecordingViewer::setCurves(const ParameterImage& image) {
    image_ = image;
    drawOperatingPoints();
}

void RecordingViewer::drawOperatingPoints() {
    const std::vector<OperatingPoint> points = operatingPoints(recording_);
    std::size_t busiest = 0;
    int topRpm = kLeastPointsRpm;
    double topDegrees = 0;
    for (const OperatingPoint& p : points) {
        busiest = std::max(busiest, p.rows);
        topRpm = std::max(topRpm, p.rpm);
        topDegrees = std::max<double>(topDegrees, p.advanceDeg);
    }
    for (Curve c : {Curve::A, Curve::B})
        for (const PlotPoint& p : advanceCurveLine(image_, c, 0)) {
            topRpm = std::max(topRpm, static_cast<int>(p.x));
            topDegrees = std::max(topDegrees, p.y);
        }
    topRpm = (topRpm / 1000 + 1) * 1000;
    std::array<QVector<QCPGraphData>, 3> levels;
    for (const OperatingPoint& p : points) {
        const double share = static_cast<double>(p.rows) / static_cast<double>(busiest);
        const std::size_t level = share >= kDensityShare[0] ? 0 : share >= kDensityShare[1] ? 1 : 2;
        levels[level].append(QCPGraphData(p.rpm, p.advanceDeg));
    }
    for (std::size_t i = 0; i < density_.size(); ++i)
        density_[i]->data()->set(levels[i]);
    for (auto [line, curve] : {std::pair{curveA_, Curve::A}, std::pair{curveB_, Curve::B}}) {
        QVector<QCPCurveData> data;
        for (const PlotPoint& p : advanceCurveLine(image_, curve, topRpm))
            data.append(QCPCurveData(data.size(), p.x, p.y));
        line->data()->set(data, true);
    }
    points_->xAxis->setRange(0, topRpm);
    points_->yAxis->setRange(0, chart::roundUp(topDegrees, 5) + 5);
    points_->replot(QCustomPlot::rpQueuedReplot);
}

std::size_t RecordingViewer::operatingPointCount() const {
    std::size_t n = 0;
    for (const QCPGraph* g : density_)
        n += static_cast<std::size_t>(g->dataCount());
    return n;
}

QString RecordingViewer::problemText(const RecordingProblem& problem) const {
    const TextRow* what = &livetexts::CannotOpen;
    switch (problem.fault) {
    case RecordingFault::CannotOpen:
        break;
    case RecordingFault::Empty:
        what = &livetexts::Empty;
        break;
    case RecordingFault::NotARecording:
        what = &livetexts::NotARecording;
        break;
    case RecordingFault::Truncated:
        what = &livetexts::Truncated;
        break;
    case RecordingFault::NotANumber:
        what = &livetexts::NotANumber;
        break;
    case RecordingFault::FieldCount:
        what = &livetexts::FieldCount;
        break;
    }
    const QString file = QDir::toNativeSeparators(path_);
    // A file that holds no rows at all has no line worth naming beyond the first.
    if (recording_.rows == 0 && problem.fault != RecordingFault::NotANumber &&
        problem.fault != RecordingFault::FieldCount && problem.fault != RecordingFault::Truncated)
        return lt(livetexts::ProblemWithFile, language_).arg(file, lt(*what, language_));
    return lt(livetexts::ProblemAtLine, language_)
        .arg(file)
        .arg(static_cast<qulonglong>(problem.line))
        .arg(lt(*what, language_))
        .arg(static_cast<qulonglong>(recording_.rows));
}

bool RecordingViewer::openFile(const QString& path) {
    path_ = path;
    recording_ = readRecordingFile(path.toStdString());
    plot_->setRecording(&recording_);
    fillTable();
    drawOperatingPoints();
    applyTexts();
    if (recording_.problem)
        message(problemText(*recording_.problem));
    return recording_.rows > 0;
}

void RecordingViewer::message(const QString& text) {
    if (messageHook) {
        messageHook(text);
        return;
    }
    QMessageBox::warning(this, windowTitle(), text);
}

QString RecordingViewer::chooseFile(bool save, const QString& start, const QString& filter) {
    if (fileDialogHook)
        return fileDialogHook(save, start);
    return save ? QFileDialog::getSaveFileName(this, QString(), start, filter)
                : QFileDialog::getOpenFileName(this, QString(), start, filter);
}

void RecordingViewer::commandOpen() {
    const QString path = chooseFile(false, path_, q(kCsvFilter));
    if (!path.isEmpty())
        openFile(path);
}

void RecordingViewer::commandExport(bool pdf) {
    const QFileInfo source(path_.isEmpty() ? QStringLiteral("recording.csv") : path_);
    const QString start = source.absoluteDir().filePath(
        source.completeBaseName() + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".png")));
    QString path = chooseFile(true, start, pdf ? q(kPdfFilter) : QStringLiteral("PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    if (!exportPlots(path))
        message(lt(livetexts::SaveFailed, language_).arg(QDir::toNativeSeparators(path)));
}

bool RecordingViewer::exportPlots(const QString& path) {
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return plots_->grab().save(path, "PNG");
    QPdfWriter pdf(path);
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const QRect page = painter.viewport();
    const double scale =
        std::min(page.width() / double(plots_->width()), page.height() / double(plots_->height()));
    painter.scale(scale, scale);
    plots_->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return painter.end();
}

} // namespace zentrola
