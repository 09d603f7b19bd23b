#include "app/Configurator.h"

#include "core/BikeTypes.h"
#include "files/AtomicFile.h"
#include "files/ParameterFile.h"
#include "files/Utf8Path.h"
#include "link/Frame.h"
#include "link/PortNames.h"
#include "link/UnitInfo.h"

#include <algorithm>

namespace zentrola {

namespace {
constexpr const char* kDefaultFileName = "data.ign";
} // namespace

Configurator::Configurator(SerialPort& port, View& view)
    : port_(port), view_(view), unitTexts_(designUnitTexts()) {
    rules_.clearDisplacement();
}

// ---------------------------------------------------------------- start and stop

void Configurator::start(const StartOptions& options) {
    portIndex_ = kAutoPortIndex;
    image_[Offset::BikeType] = 0;
    loadDefaults(image_);
    defaultFilePath_ =
        options.programDir.empty()
            ? std::string(kDefaultFileName)
            : utf8FromPath((pathFromUtf8(options.programDir) / kDefaultFileName).make_preferred());
    configDir_ = options.configDir;
    if (configDir_)
        loadSettingsFiles();
    if (options.languageArgument) {
        if (auto lang = languageFromArgument(*options.languageArgument))
            language_ = static_cast<std::uint8_t>(*lang);
    }
    if (options.port)
        forcedDevice_ = options.port;

    applyRules();
    applyLanguage(texts_, language_);
    // No unit has answered yet: the monitor shows its empty form.
    monitor_.placeholders(texts_);
    refreshControls();
    history_.start(image_);
    openPort();
    refreshControls();
    status_.visible = false;
    status_.gaugeVisible = false;
    testMode_ = configDir_ && testModeEnabled(*configDir_ / testModeFileName());
    for (std::size_t i = static_cast<std::size_t>(MonLabel::Test1); i < kMonLabelCount; ++i)
        monitor_.display().labels[i].visible = testMode_;
}

void Configurator::shutdown() {
    transfer_.abandon();
    closePort();
    capture(form_, image_, shown(), rules_.marker);
    applyRules();
    if (configDir_)
        saveSettingsFiles();
}

void Configurator::loadSettingsFiles() {
    settings_.portIndex = portIndex_;
    settings_.scanPosition = scanPosition_;
    settings_.language = language_;
    settings_.file = texts_.TextFileName;
    loadSettings(*configDir_ / settingsFileName(), settings_);
    portIndex_ = settings_.portIndex;
    scanPosition_ = settings_.scanPosition;
    language_ = settings_.language;
    texts_.TextFileName = settings_.file;
    loadBackup(*configDir_ / backupFileName(), image_);
    // A damaged backup may hold a curve out of order anywhere; the first rules put both in
    // order, as after opening a file. A backup this program wrote is in order already.
    rules_.forgetAnchor();
}

void Configurator::saveSettingsFiles() {
    settings_.portIndex = portIndex_;
    settings_.scanPosition = scanPosition_;
    settings_.language = language_;
    settings_.file = texts_.TextFileName;
    // Both files are skipped silently when they cannot be written.
    std::error_code ec;
    std::filesystem::create_directories(*configDir_, ec);
    saveSettings(*configDir_ / settingsFileName(), settings_);
    saveBackup(*configDir_ / backupFileName(), image_);
}

// ---------------------------------------------------------------- the tick

void Configurator::tick() {
    poll();

    if (monitor_.displayedRpm() != lastDrawnRpm_) {
        lastDrawnRpm_ = monitor_.displayedRpm();
        redrawRequest |= 1; // a rescale asked for in the same tick must not be lost
    }
    if (redrawRequest != 0) {
        graph_.draw(image_, shown(), monitor_.displayedRpm(), redrawRequest);
        view_.drawGraph(redrawRequest);
        redrawRequest = 0;
    }

    transferStep();
    messageStep();
    watchdogStep();
    if (connectionLabel_)
        monitor_.display()[MonLabel::Version].visible = false;
    monitor_.highlight(image_);
}

void Configurator::poll() {
    if (!port_.isOpen() || port_.queued() < kFrameSize)
        return;
    const std::size_t n = port_.read(rx_);
    if (n < kFrameSize)
        return;
    // Only the first frame of a block counts; the rest of it is dropped.
    const std::span<const std::uint8_t> frame(rx_.data(), kFrameSize);
    if (frame[FrameByte::Lead] == Lead::MonitorFrame)
        onMonitorFrame(frame);
    else
        onPageReply(frame);
}

void Configurator::transferStep() {
    if (!transfer_.idle()) {
        switch (transfer_.tick()) {
        case TimeoutEffect::Resend:
            sendPage();
            break;
        case TimeoutEffect::Failed: {
            const TransferMode m = transfer_.failedMode();
            postStatus(m == TransferMode::Program  ? texts_.TextProgramError
                       : m == TransferMode::Verify ? texts_.TextVerifyError
                                                   : texts_.TextReadError,
                       Colour::Red);
            lastResult_ = TransferResult::Failed;
            break;
        }
        case TimeoutEffect::None:
            break;
        }
        return;
    }
    if (transfer_.idleTick())
        sendMonitorRequest();
    const int saving = monitor_.savingCountdown();
    if (saving != 0) {
        postStatus(texts_.TextSaving, Colour::Face);
        status_.gauge = std::max(0, status_.gaugeMax * (kSavingCountdownStart - saving) /
                                        kSavingCountdownStart);
    } else if (transfer_.transferOk()) {
        if (status_.text != texts_.TextProgramming + ": OK") {
            status_.text = texts_.TextProgramming + ": OK";
            view_.statusPosted(status_);
        }
        status_.gauge = status_.gaugeMax;
    }
}

void Configurator::messageStep() {
    if (messageCountdown_ > 0) {
        --messageCountdown_;
        if (!printing)
            status_.visible = true;
    } else {
        status_.visible = false;
        status_.gaugeVisible = false;
        transfer_.clearTransferOk();
    }
}

void Configurator::watchdogStep() {
    if (silence_ < kSilenceTicks) {
        ++silence_;
        connectionLabel_ = false;
        return;
    }
    if (monitor_.forgetChannel())
        refreshControls();
    if (!printing)
        connectionLabel_ = true;
    if (++reopenCounter_ >= kReopenTicks) {
        reopenCounter_ = 0;
        closePort();
        reopenFlag_ = true;
        scanPosition_ = static_cast<std::uint8_t>((scanPosition_ + 1) % kScanCyclePositions);
        openPort();
    }
}

// ---------------------------------------------------------------- the port

void Configurator::openPort() {
    const auto devices = port_.devices();
    std::string device;
    if (forcedDevice_)
        device = *forcedDevice_;
    else if (portIndex_ == kAutoPortIndex)
        device = deviceForCom(scanPosition_ + 1, devices);
    else
        device = deviceForCom(portIndex_ + 1, devices);
    const int com = (portIndex_ == kAutoPortIndex ? scanPosition_ : portIndex_) + 1;
    // Without a device behind the number the label still tells which COM was tried.
    comLabel_ = zentrola::comLabel(device.empty() ? "COM" + std::to_string(com) : device);
    std::string error;
    const bool opened = !device.empty() && port_.open(device, error);
    if (!opened) {
        if (device.empty())
            error = "No such device";
        const bool automatic = portIndex_ == kAutoPortIndex && !forcedDevice_;
        if (!reopenFlag_ && !automatic)
            view_.showMessage(texts_.TextComError, error);
        if (automatic)
            reopenCounter_ = kReopenAtOnce; // try the next port on the next lost tick
    }
    printing = false;
}

std::vector<std::string> Configurator::comMenu() {
    return comMenuCaptions(port_.devices());
}

void Configurator::chooseCom(int index) {
    portIndex_ = static_cast<std::uint8_t>(index);
    forcedDevice_.reset();
    closePort();
    reopenFlag_ = false;
    openPort();
}

// ---------------------------------------------------------------- frames

Page Configurator::exchangePage() const {
    if (!monitor_.haveFrame())
        return Page{};
    return zentrola::exchangePage(monitor_.lastFrame());
}

void Configurator::sendPage() {
    const Frame f = transfer_.currentFrame(image_, exchangePage());
    port_.write(f);
    transfer_.sent();
}

void Configurator::sendMonitorRequest() {
    const Frame f = monitorRequest(monitor_.takeTestFlags());
    port_.write(f);
    port_.waitTransmitted();
    transfer_.sent();
}

void Configurator::onMonitorFrame(std::span<const std::uint8_t> frame) {
    if (!acceptMonitorFrame(frame))
        return;
    silence_ = 0;
    if (monitor_.onFrame(frame, image_, texts_))
        refreshControls();
    view_.monitorUpdated();
}

void Configurator::onPageReply(std::span<const std::uint8_t> frame) {
    const ReplyEffects fx = transfer_.onReply(frame, image_);
    if (!fx.accepted)
        return;
    silence_ = 0;
    if (fx.infoPage)
        unitTexts_ = zentrola::unitTexts(transfer_.unitInfo());
    if (fx.rulesAndRefresh)
        applyRules();
    if (fx.rulesAndRefresh || fx.refreshOnly)
        refreshControls();
    if (fx.versionMismatch) {
        messageCountdown_ = 0;
        lastResult_ = TransferResult::VersionMismatch;
        view_.showMessage(texts_.TextUnitMismatch + "  PC-" + std::to_string(kVersion) + ", IGN-" +
                              std::to_string(transfer_.unitVersion()),
                          {});
    }
    if (fx.noReading) {
        postStatus(texts_.TextNoReading, Colour::Red);
        lastResult_ = TransferResult::NoReading;
    }
    if (fx.gaugeStep)
        ++status_.gauge;
    if (fx.verifyStarted) {
        postStatus(texts_.TextVerify + ":", Colour::Face);
        status_.visible = true;
        status_.gauge = 0;
    }
    if (fx.verifyPassed) {
        status_.gauge = status_.gaugeMax;
        postStatus(texts_.TextVerify + ": OK", Colour::Face);
        lastResult_ = transfer_.transferOk() ? TransferResult::ProgramOk : TransferResult::VerifyOk;
    }
    if (fx.send)
        sendPage();
}

// ---------------------------------------------------------------- status line

void Configurator::postStatus(std::string text, Colour colour) {
    const bool changed = text != status_.text || colour != status_.colour;
    status_.text = std::move(text);
    status_.colour = colour;
    messageCountdown_ = kMessageTicks;
    if (changed)
        view_.statusPosted(status_);
}

void Configurator::startTransferStatus(const std::string& text) {
    postStatus(text, Colour::Face);
    status_.visible = true;
    status_.gauge = 0;
    status_.gaugeVisible = true;
    lastResult_ = TransferResult::None;
}

// ---------------------------------------------------------------- commands

void Configurator::read() {
    transfer_.startRead();
    startTransferStatus(texts_.TextRead + ":");
    texts_.TextFileName.clear();
}

void Configurator::verify() {
    if (refreshGuard_)
        return;
    takeControls();
    transfer_.startVerify();
    startTransferStatus(texts_.TextVerify + ":");
}

void Configurator::program() {
    if (refreshGuard_)
        return;
    takeControls();
    transfer_.startProgram();
    startTransferStatus(texts_.TextProgramming + ":");
}

// What leaves the program (to the unit or a file) is what the controls show, made consistent.
void Configurator::takeControls() {
    capture(form_, image_, shown(), rules_.marker);
    applyRules();
    refreshControls();
}

void Configurator::startProgramAfterChange() {
    // A transfer already running starts again from page 0.
    transfer_.startProgram();
    startTransferStatus(texts_.TextProgramming);
}

// ---------------------------------------------------------------- the edit loop

void Configurator::applyRules() {
    rules_.apply(image_, shown(), Housekeeping{language_, portIndex_, scanPosition_});
}

void Configurator::refreshControls() {
    refreshGuard_ = true;
    refresh(image_, shown(), form_);
    view_.showControls(form_);
    runEnablingPass();
    refreshGuard_ = false;
    redrawRequest = 2;
}

void Configurator::runEnablingPass() {
    enabling_ = enablingPass(image_, shown(), printing, programAfterChange);
    view_.showEnabling(enabling_);
}

void Configurator::historyStep() {
    if (history_.step(image_, programAfterChange).startProgram)
        startProgramAfterChange();
}

void Configurator::afterChange() {
    applyRules();
    refreshControls();
    refreshControls();
    historyStep();
    redrawRequest |= 2;
}

void Configurator::controlEdited() {
    rules_.marker = Marker::FromControls;
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    afterChange();
    redrawRequest |= 2;
}

void Configurator::enterPressed() {
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    afterChange();
}

void Configurator::checkBoxReleased() {
    if (refreshGuard_)
        return;
    capture(form_, image_, shown(), rules_.marker);
    runEnablingPass();
    afterChange();
}

// The radio groups write their one byte and take no rules and no redraw: the next edit's
// refresh brings everything else up to date.
void Configurator::choiceMade(std::size_t offset, int index) {
    if (refreshGuard_)
        return;
    image_[offset] = static_cast<std::uint8_t>(index);
    historyStep();
    runEnablingPass();
}

void Configurator::curveSelected(int index) {
    image_[Offset::CurveSelect] = static_cast<std::uint8_t>(index);
    refreshControls();
    historyStep();
    runEnablingPass();
}

void Configurator::afterUndoRedo() {
    refreshControls();
    redrawRequest |= 1;
    refreshControls();
    if (programAfterChange)
        startProgramAfterChange();
}

void Configurator::bikeChanged(int item) {
    if (refreshGuard_)
        return;
    const auto code = bikeTypeFromItem(item);
    if (!code)
        return;
    image_[Offset::BikeType] = *code;
    if (view_.ask(texts_.TextDefaultQuestion) == Answer::Yes)
        loadDefaults(image_);
    else
        resetKeying(image_);
    refreshControls();
    afterChange();
    if (auto fixed = fixedKeying(*code)) {
        image_[Offset::Lobes] = fixed->lobes;
        image_[Offset::Polarity] = fixed->polarity;
        form_.lobeItem = 0;
        form_.polarityItem = fixed->polarity;
    }
}

void Configurator::newSet() {
    if (view_.ask(texts_.TextDefaultQuestion) != Answer::Yes)
        return;
    loadDefaults(image_);
    afterChange();
    status_.visible = false;
    status_.gaugeVisible = false;
    texts_.TextFileName.clear();
}

void Configurator::undo() {
    if (history_.undo(image_))
        afterUndoRedo();
}

void Configurator::redo() {
    if (history_.redo(image_))
        afterUndoRedo();
}

// ---------------------------------------------------------------- files

FileResult Configurator::openFile(const std::string& path) {
    FileResult result = FileResult::Done;
    // Read whole before anything is taken: a read that fails part-way (a folder, an I/O
    // error) is a file that cannot be opened, and the set on screen stays as it was.
    const auto text = readWholeFile(pathFromUtf8(path));
    if (!text) {
        view_.showMessage(texts_.TextFileError, {});
        result = FileResult::FileError;
    } else {
        ParameterImage read = image_;
        const FileOutcome outcome = readParameterFile(*text, read);
        if (outcome == FileOutcome::NotAFile) {
            view_.showMessage(texts_.TextFileMismatch, {});
            result = FileResult::NotAFile;
        } else {
            image_ = read;
            // A damaged file may hold a curve out of order anywhere, not only around the
            // point last edited: put both curves in order.
            rules_.forgetAnchor();
            afterChange();
            texts_.TextFileName = path;
            settings_.iniDir = path;
            if (outcome == FileOutcome::Older) {
                view_.showMessage(texts_.TextOlderFile, {});
                result = FileResult::Older;
            }
        }
    }
    status_.visible = false;
    status_.gaugeVisible = false;
    return result;
}

std::string Configurator::parameterFileText() const {
    return zentrola::parameterFileText(image_, unitTexts_, buildDate(), buildTime());
}

FileResult Configurator::saveFile(const std::string& path) {
    if (refreshGuard_)
        return FileResult::Ignored;
    takeControls();
    // Written beside the old file and renamed over it, so a failed save leaves it whole; a
    // file the user may not write is not replaced.
    if (!writeFileAtomically(pathFromUtf8(path), parameterFileText())) {
        view_.showMessage(texts_.TextFileError, {});
        return FileResult::FileError;
    }
    texts_.TextFileName = path;
    settings_.iniDir = path;
    return FileResult::Done;
}

void Configurator::beginPrint(const std::string& printLine) {
    status_.text = printLine;
    status_.colour = Colour::White;
    status_.visible = true;
    status_.gaugeVisible = false;
    messageCountdown_ = kMessageTicks;
    connectionLabel_ = false;
    printing = true;
    runEnablingPass();
}

void Configurator::endPrint() {
    printing = false;
    runEnablingPass();
    status_.colour = Colour::Face;
}

void Configurator::setLanguage(int index) {
    language_ = static_cast<std::uint8_t>(std::clamp(index, 0, kLanguageCount - 1));
    applyLanguage(texts_, language_);
    if (connectionLabel_)
        monitor_.placeholders(texts_);
    refreshControls();
}

// ---------------------------------------------------------------- graph and shift

void Configurator::graphMouse(GraphMouse kind, int x, int y) {
    const std::optional<Curve> curve = shown();
    const MouseOutcome out = graph_.mouse(kind, x, y, image_, curve);
    if (out.redraw)
        redrawRequest |= 1;
    if (out.dragStep && curve)
        graphDragStep(*curve, x, y);
    // The steps of a drag record nothing; its end records it all at once.
    if (out.dragEnded)
        historyStep();
}

void Configurator::graphDragStep(Curve curve, int x, int y) {
    const DragValues v = graph_.dragValues(x, y);
    graph_.writeDrag(image_, curve, v);
    // The rules keep the curve in order around the dragged point.
    rules_.marker = graph_.dragged();
    applyRules();
    rules_.marker = Marker::None;
    refreshControls();
    // The rescale is at once, not deferred to the tick: the pointer warp needs the new scale.
    if (const auto to = graph_.rescaleForDrag(image_, curve, v, x, y))
        if (view_.movePointer(to->x, to->y))
            graph_.pointerWarped();
    redrawRequest = 1; // the rescale the refresh asked for is done
}

void Configurator::graphLeave() {
    if (graph_.leave())
        redrawRequest |= 1;
}

void Configurator::graphResized(int width, int height) {
    graph_.setImageSize(width, height);
    redrawRequest |= 2;
}

std::string Configurator::graphTooltip(std::string_view thousands) const {
    return graph_.tooltip(image_, shown(), texts_, thousands);
}

std::string Configurator::graphDescription(std::string_view thousands) const {
    return curveDescription(image_, shown(), texts_, thousands);
}

void Configurator::shiftAdvance(int step) {
    const std::optional<Curve> curve = shown();
    if (!curve || refreshGuard_)
        return;
    capture(form_, image_, curve, rules_.marker);
    applyRules();
    // A value at the end of the spinners' range stays; values beyond it (from a file) only
    // ever move back toward it.
    const int most = spinnerTable()[Spin::Advance].max;
    auto shift = [&](std::size_t k) {
        std::uint8_t& a = image_.advance(*curve, k);
        if (step < 0 ? a > 0 : a < most)
            a = static_cast<std::uint8_t>(a + step);
    };
    if (settings_.ignAll) {
        for (std::size_t k = 0; k < kCurvePoints; ++k)
            shift(k);
    } else if (monitor_.highlightedRow() != kNoHighlight) {
        shift(static_cast<std::size_t>(monitor_.highlightedRow()));
    }
    applyRules();
    afterChange();
}

} // namespace zentrola
