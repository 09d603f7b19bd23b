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
    deviceTried_ = device;
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
    unitAnswered_ = true;
    if (monitor_.onFrame(frame, image_, texts_))
        refreshControls();
    if (monitor_.savingCountdown() == 0)
        savePending_ = false;
    view_.monitorUpdated();
}

void Configurator::onPageReply(std::span<const std::uint8_t> frame) {
    const ReplyEffects fx = transfer_.onReply(frame, image_);
    if (!fx.accepted)
        return;
    silence_ = 0;
    unitAnswered_ = true;
    if (fx.infoPage)
        unitTexts_ = zentrola::unitTexts(transfer_.unitInfo());
    if (fx.readDone) {
        // The unit's settings as they are: a drag's anchor and the points it pushed aside
        // belong to the set that was on screen, and must not spring back into this one.
        rules_.clearDisplacement();
        rules_.forgetAnchor();
    }
    if (fx.rulesAndRefresh)
        applyRules();
    if (fx.rulesAndRefresh || fx.refreshOnly)
        refreshControls();
    // Undo goes back to before the Read, Redo to the unit's settings again; writing them
    // back to the unit they came from would be no edit of the user's.
    if (fx.readDone)
        history_.record(image_);
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
    if (fx.verifyFailed) {
        postStatus(texts_.TextVerifyError, Colour::Red);
        lastResult_ = TransferResult::Failed;
    }
    if (fx.verifyPassed) {
        status_.gauge = status_.gaugeMax;
        postStatus(texts_.TextVerify + ": OK", Colour::Face);
        lastResult_ = transfer_.transferOk() ? TransferResult::ProgramOk : TransferResult::VerifyOk;
        // The unit writes its memory now; a frame with the countdown at 0 ends that.
        savePending_ = transfer_.transferOk();
    }
    if (fx.send)
        sendPage();
}

} // namespace zentrola
