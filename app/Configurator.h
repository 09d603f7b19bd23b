// The one object that holds everything for the life of the program: the parameter image,
// the rules, the history, the unit link with its counters, the live monitor, the language
// and the status line. It never sleeps and never reads a clock: tick() is called every
// 55 ms by the window's or the command line's timer, and by a plain loop in tests.
#pragma once

#include "app/GraphModel.h"
#include "app/View.h"
#include "core/CurveRules.h"
#include "core/Enabling.h"
#include "core/FormValues.h"
#include "core/History.h"
#include "core/Jazyk1.h"
#include "core/ParameterImage.h"
#include "core/UnitTexts.h"
#include "files/Settings.h"
#include "link/Monitor.h"
#include "link/SerialPort.h"
#include "link/Transfer.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zentrola {

// The beat of the program: the window's and the command line's timers fire this often.
inline constexpr int kTickMilliseconds = 55;
inline constexpr std::uint8_t kMessageTicks = 200;
inline constexpr std::uint8_t kSilenceTicks = 18;
inline constexpr std::uint8_t kReopenTicks = 30;
inline constexpr std::uint8_t kReopenAtOnce = 200;
inline constexpr int kSavingCountdownStart = 103;

struct StartOptions {
    std::optional<std::string> languageArgument; // the first command-line argument
    std::optional<std::string> port;             // --port DEV: this device for the run
    std::string programDir;                      // where data.ign is looked for by default (UTF-8)
    // The folder of the settings, backup and test-mode files; none for a fresh start that
    // reads and writes none of them.
    std::optional<std::filesystem::path> configDir;
};

// How a file command ended; the messages have been shown through the view.
enum class FileResult : std::uint8_t {
    Done,
    Older,     // opened; the older-version notice was shown
    NotAFile,  // no key: nothing changed
    FileError, // could not be opened, created or written
    Ignored,   // while the controls were being refreshed
};

// Where the program's knowledge of the unit's settings comes from.
enum class UnitSource : std::uint8_t {
    Confirmed,    // a passed verify (after Read, Program or Verify)
    FailedVerify, // the pages the unit sent during a failed verify and read after it
};

// What the window may say about the unit on the port.
enum class UnitState : std::uint8_t {
    NoUnit,    // none has answered since the start or since the connection was lost
    NotKnown,  // one answers, but no transfer has told what it holds
    Unsettled, // a programming went out and failed: part of it may be in the unit
    Known,     // see knownUnit()
};

struct KnownUnit {
    UnitSource source = UnitSource::Confirmed;
    ParameterImage image;
};

// How the last transfer ended, for the command line's exit code.
enum class TransferResult : std::uint8_t {
    None,
    ProgramOk,
    VerifyOk,
    Failed,
    VersionMismatch,
    NoReading,
};

class Configurator {
  public:
    Configurator(SerialPort& port, View& view);

    // The start-up order of the window's creation, without its widget steps.
    void start(const StartOptions& options);
    void tick();
    // Closing: the port, the controls into the image, the rules.
    void shutdown();

    // Transfer commands.
    void read();
    void verify();
    void program();
    // Test commands ride on the next monitor request.
    void testIgnition() { monitor_.pressTest(TestFlag::Ignition); }
    void testPilotLight() { monitor_.pressTest(TestFlag::PilotLight); }
    void testRpm() { monitor_.pressTest(TestFlag::Rpm); }

    // COM menu: 0..19 COM1..COM20, 20 the automatic scan.
    void chooseCom(int index);
    std::vector<std::string> comMenu();
    int comChecked() const { return portIndex_; }
    // The device of --port (or the demo's virtual unit) while it is in use; none once a COM
    // entry was chosen.
    const std::optional<std::string>& forcedDevice() const { return forcedDevice_; }
    const std::string& comLabel() const { return comLabel_; }
    // The device the port was last opened on, or tried; empty when none stood behind it.
    const std::string& deviceTried() const { return deviceTried_; }

    // The edit loop.
    // A spinner click or a field left: marker -2, capture, after-change. mayProgram false:
    // the field was left for the "Programming after change" box, and the user's act is about
    // programming itself; the step is taken without starting one.
    void controlEdited(bool mayProgram = true);
    void enterPressed(); // Enter in the window: capture, after-change
    // A check box released: capture, enabling pass, after-change.
    void checkBoxReleased();
    // The polarity or an input group picked an item: that byte, a history step, enabling.
    void choiceMade(std::size_t offset, int index);
    // The A/B selector: byte 22 (even while refreshing), refresh, history step, enabling.
    void curveSelected(int index);
    void afterChange();
    void refreshControls();
    void applyRules();
    // Shows, enables and colours the controls for the image as it stands.
    void runEnablingPass();
    const Enabling& enabling() const { return enabling_; }
    void undo();
    void redo();
    // A new entry of the bike list was chosen: the default set on Yes, else only the keying.
    void bikeChanged(int item);
    // New: the default set of the current bike type, after the question.
    void newSet();
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    bool programAfterChange = false; // "Programming after change"

    // File commands, with the name the front end's dialog gave, in UTF-8 on every system.
    FileResult openFile(const std::string& path);
    FileResult saveFile(const std::string& path);
    // The print look: the print line in the status label on white, no no-connection label,
    // no gauges, the editing aids hidden. endPrint gives the normal look back.
    void beginPrint(const std::string& printLine);
    void endPrint();
    // A cancelled Open still hides the status line, as every Open does.
    void hideStatus() {
        status_.visible = false;
        status_.gaugeVisible = false;
    }
    const std::string& defaultFilePath() const { return defaultFilePath_; }
    const std::string& fileName() const { return texts_.TextFileName; }
    const std::string& lastFilePath() const { return settings_.iniDir; }
    // What Save writes for the image as it stands.
    std::string parameterFileText() const;
    bool testMode() const { return testMode_; }
    // Window geometry and the "All" box, kept between runs; the window fills them in.
    Settings& settings() { return settings_; }

    void setLanguage(int index);
    // The enabling pass applied the language again for a new bike type: without a connection
    // the monitor labels show their empty form again, as after a language command.
    void bikeLanguageApplied();
    int language() const { return language_; }
    const MessageTable& texts() const { return texts_; }
    std::string caption() const { return windowCaption(texts_); }

    // State for the front ends and tests.
    ParameterImage& image() { return image_; }
    const ParameterImage& image() const { return image_; }
    FormValues& form() { return form_; }
    bool refreshing() const { return refreshGuard_; }
    CurveRules& rules() { return rules_; }
    const Transfer& transfer() const { return transfer_; }
    // The unit's settings as the last passed verify (after Read, Program or Verify) confirmed
    // them; none before one passed and after one failed. What the window is compared with.
    const std::optional<ParameterImage>& confirmedUnitImage() const {
        return transfer_.confirmedImage();
    }
    // The pages the unit sent during the last verify; with a failed one, what it holds.
    const UnitPages& lastUnitPages() const { return transfer_.lastUnitPages(); }
    // What the unit is known to hold: confirmed by a passed verify, or as a failed verify
    // found it; none before either, and after the connection was lost (it may be another
    // unit now).
    std::optional<KnownUnit> knownUnit() const;
    UnitState unitState() const;
    // The window's settings differ from the file last opened or saved; false while no file
    // is named.
    bool notSaved() const;
    const Monitor& monitor() const { return monitor_; }
    const StatusLine& status() const { return status_; }
    int messageCountdown() const { return messageCountdown_; }
    bool connectionLost() const { return connectionLabel_; }
    bool versionLabelVisible() const { return monitor_.display()[MonLabel::Version].visible; }
    int activeChannel() const { return monitor_.activeChannel(); }
    std::optional<Curve> shown() const { return shownCurve(image_, monitor_.activeChannel()); }
    const UnitTexts& unitTexts() const { return unitTexts_; }
    TransferResult lastResult() const { return lastResult_; }
    int portIndex() const { return portIndex_; }
    int scanPosition() const { return scanPosition_; }
    std::uint8_t silence() const { return silence_; }
    bool printing = false; // the window is being printed
    int redrawRequest = 2;

    // ---------------------------------------------------------------- graph and shift
    // The graph model is owned here, not by the widget: a drag step is an edit like any other
    // (rules, refresh, history). The widget forwards its events and paints graph().displayList().
    const GraphModel& graph() const { return graph_; }
    // Mouse events in graph image pixels; Qt keeps sending moves outside during a drag.
    void graphMouse(GraphMouse kind, int x, int y);
    void graphLeave();
    void graphResized(int width, int height);
    // Texts in the current language; thousands is the locale's group separator.
    std::string graphTooltip(std::string_view thousands) const;
    std::string graphDescription(std::string_view thousands) const;
    // "-" / F4 and "+" / F5: one degree on the shown curve, at every row while the "All" box
    // (settings().ignAll) is checked, else at the highlighted row only.
    void advanceMinus() { shiftAdvance(-1); }
    void advancePlus() { shiftAdvance(+1); }

  private:
    void openPort();
    void closePort() { port_.close(); }
    void poll();
    void onMonitorFrame(std::span<const std::uint8_t> frame);
    void onPageReply(std::span<const std::uint8_t> frame);
    void sendPage();
    void sendMonitorRequest();
    void transferStep();
    void messageStep();
    void watchdogStep();
    void postStatus(std::string text, Colour colour);
    void startTransferStatus(const std::string& text);
    void startProgramAfterChange();
    void takeControls();
    void historyStep(bool mayProgram = true);
    void afterChange(bool mayProgram);
    void afterUndoRedo();
    void forgetLostUnit();
    void loadSettingsFiles();
    void rememberFile() {
        fileImage_ = image_;
        unsavedCompared_.reset();
    }
    std::optional<ParameterImage> openedOverImage(const std::string& path) const;
    void saveSettingsFiles();
    Page exchangePage() const;
    void graphDragStep(Curve curve, int x, int y);
    void shiftAdvance(int step);

    SerialPort& port_;
    View& view_;

    ParameterImage image_;
    FormValues form_ = FormValues::designed();
    bool refreshGuard_ = false;
    Enabling enabling_;
    CurveRules rules_;
    History history_;
    Transfer transfer_;
    Monitor monitor_;
    MessageTable texts_;
    UnitTexts unitTexts_;
    TransferResult lastResult_ = TransferResult::None;
    // A frame came from a unit since the start or since the connection was lost.
    bool unitAnswered_ = false;
    // A programming passed and no monitor frame has reported the unit's saving done since.
    bool savePending_ = false;

    std::uint8_t language_ = 0;
    std::uint8_t portIndex_ = 20;
    std::uint8_t scanPosition_ = 0;
    std::optional<std::string> forcedDevice_;
    std::string comLabel_;
    std::string deviceTried_;
    std::array<std::uint8_t, kReceiveBufferSize> rx_{};

    StatusLine status_;
    std::uint8_t messageCountdown_ = 0;
    std::uint8_t silence_ = 0;
    std::uint8_t reopenCounter_ = 0;
    bool reopenFlag_ = false;
    bool connectionLabel_ = false;
    int lastDrawnRpm_ = 0;
    GraphModel graph_;
    std::string defaultFilePath_;
    Settings settings_;
    std::optional<std::filesystem::path> configDir_;
    bool testMode_ = false;
    // The image as the named file was last opened or saved; none when it could not be read.
    std::optional<ParameterImage> fileImage_;
    // The last comparison with it, kept until the image changes: the idle tick stays cheap.
    mutable std::optional<ParameterImage> unsavedCompared_;
    mutable bool unsavedResult_ = false;
};

} // namespace zentrola
