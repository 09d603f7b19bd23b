// The recording viewer: a window that opens a recording of live data, plots the channels
// ticked in its list over time, reads every channel at the cursor beside its minimum and
// maximum, and draws where the engine ran over both advance curves of the window. A file
// that is not sound is reported in one message and whatever could be read is shown.
#pragma once

#include "app/Recording.h"
#include "core/ParameterImage.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>

class QAction;
class QCPCurve;
class QCPGraph;
class QCPTextElement;
class QCustomPlot;
class QLabel;
class QSplitter;
class QTableWidget;

namespace zentrola {

class RecordingPlot;

class RecordingViewer : public QMainWindow {
    Q_OBJECT
  public:
    // The curves are those of `image` as it is now; the texts in the language's tongue.
    RecordingViewer(const ParameterImage& image, int languageIndex, QWidget* parent = nullptr);
    ~RecordingViewer() override;

    // Reads the file and shows it; a problem is told in one message. False when not a row
    // could be read.
    bool openFile(const QString& path);
    void setCurves(const ParameterImage& image);
    void setLanguage(int languageIndex);

    // The commands of the menus and keys.
    void commandOpen();
    void commandExport(bool pdf);
    // Writes the plots as PNG or, by the suffix .pdf, as PDF; false when nothing was written.
    bool exportPlots(const QString& path);

    // Dialog seams: tests answer instead of a modal dialog.
    std::function<void(const QString& text)> messageHook;
    std::function<QString(bool save, const QString& start)> fileDialogHook;

    QAction* action(const std::string& name) const;
    RecordingPlot* plot() const { return plot_; }
    QTableWidget* channelTable() const { return table_; }
    const Recording& recording() const { return recording_; }
    QString fileName() const { return path_; }
    // The points drawn over the curves, and the curve lines, for tests.
    std::size_t operatingPointCount() const;
    const QCPCurve* curveLine(bool curveB) const { return curveB ? curveB_ : curveA_; }

  private:
    void buildMenus();
    QAction* makeAction(const std::string& name, const QKeySequence& key,
                        std::function<void()> slot);
    void applyTexts();
    void fillTable();
    void updateCursorColumn();
    void drawOperatingPoints();
    void onChannelTicked(int row);
    void message(const QString& text);
    QString problemText(const RecordingProblem& problem) const;
    QString chooseFile(bool save, const QString& start, const QString& filter);

    Recording recording_;
    ParameterImage image_;
    QString path_;
    int language_ = 0;
    std::map<std::string, QAction*> actions_;
    RecordingPlot* plot_ = nullptr;
    QCustomPlot* points_ = nullptr;
    QCPTextElement* pointsTitle_ = nullptr;
    QSplitter* plots_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* cursorLabel_ = nullptr;
    QCPCurve* curveA_ = nullptr;
    QCPCurve* curveB_ = nullptr;
    std::array<QCPGraph*, 3> density_{};
    bool filling_ = false;
};

} // namespace zentrola
