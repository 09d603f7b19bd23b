// The main window: a thin Qt front end over the Configurator. It owns widgets, not
// behaviour: one registry maps each control name to its widget or menu item, refresh and
// capture copy FormValues to and from the widgets, the enabling pass only applies looks.
#pragma once

#include "app/Configurator.h"
#include "app/LiveRecorder.h"
#include "app/ParameterSheet.h"
#include "core/Differences.h"
#include "ui/QtTranslations.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <map>
#include <string>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGridLayout;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolBar;
class QToolButton;

namespace zentrola {

class AboutBox;
class GraphView;
class LiveChart;
class LiveChartDock;
class RecordingViewer;
class RadioGroup;
class SpinField;

class MainWindow : public QMainWindow, public View {
    Q_OBJECT
  public:
    explicit MainWindow(SerialPort& port, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Window creation: the Configurator's start-up, the texts, the geometry and the timer.
    void start(const StartOptions& options);
    // One timer tick and the widgets that follow it; tests call it directly.
    void tick();

    Configurator& configurator() { return cfg_; }
    // The window's groups, and the area that scrolls them on a screen too small for them.
    QWidget* form() const { return form_; }
    QScrollArea* scroller() const { return scroller_; }

    // The control registry, by the window's control names (also each widget's object name).
    QObject* control(const std::string& name) const;
    QWidget* widget(const std::string& name) const;
    QAction* action(const std::string& name) const;
    SpinField* spin(std::size_t id) const { return spins_[id]; }

    // Dialog seams: tests answer instead of a modal dialog.
    std::function<void(const QString& text, const QString& detail)> messageHook;
    std::function<Answer(const QString& question)> askHook;
    // save: the save dialog; start: the file name the dialog opens on. Empty: cancelled.
    std::function<QString(bool save, const QString& start)> fileDialogHook;
    // The system's "open" of a document (the manual); true when it was opened.
    std::function<bool(const QString& path)> openDocumentHook;
    // The monotonic clock that stamps live data, in seconds; tests set their own.
    std::function<double()> clockHook;
    double seconds() const;
    // Where the PDF of a sheet goes when no printer is installed.
    QString fallbackPdfPath() const;
    // Prints the window in its print look into a PDF file, or to the printer when the path is
    // empty; the normal look comes back in every case. False when nothing could be written.
    bool printSheet(const QString& pdfPath);
    // The line the sheet carries in place of the status message.
    QString printLine() const;
    AboutBox* aboutBox() const { return about_; }
    // Tests look at a dialog here instead of it being shown modally.
    std::function<void(QDialog& dialog)> dialogHook;
    // Each new text of the status line (ZENTROLA_STATUS_LOG: a script follows the window).
    std::function<void(const QString& text)> statusHook;

    // The commands of menus, keys and toolbar.
    void commandOpen(bool exeDir);
    // Opens this file as Open does, without the dialog: the file named on the command line.
    void commandOpenPath(const QString& path);
    void commandSave(bool exeDir);
    void commandNew();
    void commandRead();
    void commandVerify();
    void commandProgram();
    void commandUndo();
    void commandRedo();
    void commandLanguage(int index);
    void commandCom(int index);
    void commandPrint();
    void commandExportPdf();
    // The parameter sheet: the mechanic's lines asked for, then the printer or a PDF file.
    void commandParameterSheet();
    // The sheet of the settings as the window holds them, in the window's language.
    ParameterSheet parameterSheet();
    // The sheet into a PDF file, or to the printer when the path is empty.
    bool writeParameterSheet(const QString& pdfPath);
    // An entry of the recent files under File, opened as Open would.
    void commandRecent(int index);
    void commandContents();
    void commandAbout();
    void commandDifferences();
    void commandCompareFile();
    void commandRecord();
    // Marks this moment in the recording under way (a key while riding).
    void commandMark();
    const LiveRecorder& recorder() const { return recorder_; }
    void commandAdvanceMinus();
    void commandAdvancePlus();
    // The live chart shown or hidden (checkable, remembered), and the recording viewer.
    void commandLiveChart();
    void commandViewRecording();
    LiveChart* liveChart() const { return liveChart_; }
    LiveChartDock* liveChartDock() const { return liveChartDock_; }
    RecordingViewer* recordingViewer() const;

    // View
    void showControls(const FormValues& form) override;
    void showEnabling(const Enabling& enabling) override;
    void showMessage(const std::string& text, const std::string& detail) override;
    Answer ask(const std::string& question) override;
    void statusPosted(const StatusLine& status) override;
    void monitorUpdated() override;
    void drawGraph(int request) override;
    bool movePointer(int x, int y) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();
    void buildMenus();
    void buildToolBar();
    QWidget* buildCurvePanel();
    QWidget* buildMiddleColumn();
    QWidget* buildRightColumn();
    QWidget* buildMonitorColumn();
    SpinField* addCaptioned(QGridLayout* grid, int row, std::size_t id, QWidget* parent,
                            bool exitHandler);
    SpinField* makeSpin(std::size_t id, const std::string& edit, QWidget* parent);
    QLabel* makeLabel(const std::string& name, QWidget* parent, QWidget* buddy = nullptr);
    QAction* makeAction(const std::string& name, const QKeySequence& key,
                        void (MainWindow::*slot)());
    void add(const std::string& name, QObject* object);
    void addAlias(const std::string& name, QObject* object);

    void applyControlTexts();
    void applyPolarityTexts();
    void applyText(QObject* target, int kind, const QString& text, int item);
    void takeWidgets();
    void updateFromConfigurator();
    void updateMonitorLabels();
    void updateUnitTexts();
    void showStatus(const StatusLine& status);
    void updateComMenu();
    // The COM menu entry of what is in use: the command line's device, or the chosen COM.
    QAction* comInUse() const;
    void updateHighlight();
    // The groups into their scroll area; the designed place; the stored place on today's
    // screens, before showing and again once the frame is known; the place kept at exit.
    QWidget* fitForm(QWidget* form);
    void placeDesigned();
    void restoreGeometry();
    void fitToScreen();
    void growForForm();
    void keepGeometry();
    // Empty filter and suffix: the parameter files.
    // title: the dialog's own title, else the system's ("Open", "Save As").
    QString chooseFile(bool save, const QString& start, std::string_view filter = {},
                       std::string_view suffix = {}, const QString& title = {});
    DifferenceFormat differenceFormat() const;
    void updateNotProgrammed();
    void updateNotSaved();
    void updateRecording();
    // A write of the recording failed: it has stopped; the file error is shown.
    void recordingFailed();
    void buildLiveData();
    void buildRecentFiles(QMenu* file);
    void updateRecentMenu();
    // A file opened or saved goes to the head of the recent files.
    void noteRecentFile(const QString& path, FileResult result);
    void applyLiveDataTexts();
    void showLiveChart(bool shown);
    void feedLiveChart();
    void showDifferenceTable(const QString& title, const QString& other,
                             const std::vector<Difference>* list, const QString& note = {});

    // Handlers bound to the widgets.
    void onControlEdited();
    void onCheckBoxReleased();
    void onRadio(std::size_t offset, int index);
    void onCurveSelected(int index);
    void onBikeChosen(int item);
    void onEnter();

    Configurator cfg_;
    std::map<std::string, QObject*> registry_;
    std::array<SpinField*, 41> spins_{};
    std::array<QLabel*, 26> monitorLabels_{};
    RadioGroup* polarity_ = nullptr;
    RadioGroup* input1_ = nullptr;
    RadioGroup* input2_ = nullptr;
    RadioGroup* curveSelect_ = nullptr;
    QComboBox* bikes_ = nullptr;
    QComboBox* lobes_ = nullptr;
    QCheckBox* noReading_ = nullptr;
    QCheckBox* programAfterChange_ = nullptr;
    QCheckBox* reverseOutput_ = nullptr;
    QCheckBox* shiftAll_ = nullptr;
    QLabel* letter_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* statusGauge_ = nullptr;
    QProgressBar* rpmGauge_ = nullptr;
    QLabel* noConnection_ = nullptr;
    QLabel* comLabel_ = nullptr;
    std::array<QLabel*, 3> unitTexts_{};
    std::array<QLabel*, 15> rowNumbers_{};
    GraphView* graph_ = nullptr;
    QWidget* form_ = nullptr;
    QScrollArea* scroller_ = nullptr;
    bool framedOnce_ = false;
    QRect placed_; // the frame's corner and the inside's size the window was opened with
    QToolBar* toolBar_ = nullptr;
    QActionGroup* comGroup_ = nullptr;
    QMenu* comMenu_ = nullptr;
    std::vector<QAction*> comActions_;
    QAction* forcedCom_ = nullptr; // the device of --port or the virtual unit, when in use
    std::array<QAction*, 4> languageActions_{};
    std::array<QAction*, kRecentFiles> recentActions_{};
    QTimer* timer_ = nullptr;
    AboutBox* about_ = nullptr;
    QLabel* notProgrammed_ = nullptr;
    QLabel* notKnown_ = nullptr;
    QLabel* notSaved_ = nullptr;
    QLabel* recording_ = nullptr;
    LiveRecorder recorder_;
    mutable QElapsedTimer clock_;
    QtTranslations qtTexts_;
    LiveChart* liveChart_ = nullptr;
    LiveChartDock* liveChartDock_ = nullptr;
    bool liveChartPlaced_ = false;
    QPointer<RecordingViewer> viewer_;
    // The last comparison of the window with the unit, kept until either side changes.
    std::optional<ParameterImage> comparedWindow_;
    std::optional<ParameterImage> comparedUnit_;
    bool windowDiffers_ = false;
    mutable std::string thousands_;

    Enabling enabling_;
    std::uint8_t rememberedBike_ = 0;
    int shownHighlight_ = -2;
    bool ticking_ = false;
    bool started_ = false;
    bool closed_ = false;
};

} // namespace zentrola
