// The Read, Verify and Program transfers: one 50-byte page per frame exchange, resent after
// four silent ticks and given up after the fifth send. The state machine only decides; the
// owner shows the texts and runs the rules and the refresh that each effect asks for.
#pragma once

#include "core/ParameterImage.h"
#include "link/Frame.h"
#include "link/UnitInfo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace zentrola {

enum class TransferMode : std::uint8_t { Idle = 0, Program = 1, Verify = 2, Read = 3 };

inline constexpr std::uint8_t kReplyWaitTicks = 4;
inline constexpr std::uint8_t kMaxSends = 5;
inline constexpr std::uint8_t kMonitorInterval = 6;
inline constexpr int kTransferGaugeMax = 3;

// What an accepted reply asks of the owner, applied in the order of the fields.
struct ReplyEffects {
    bool accepted = false; // resets the silence counter
    bool infoPage = false; // the payload is the new unit information page
    bool rulesAndRefresh = false;
    // A Read the unit refused: the controls show its texts, and the image is left alone; the
    // rules keep state between runs and could move a curve point of an image nobody changed.
    bool refreshOnly = false;
    bool versionMismatch = false; // modal message, status hidden
    bool noReading = false;       // red "No reading!"
    bool gaugeStep = false;
    bool verifyStarted = false; // "Verify:" in the face colour, gauge 0
    bool verifyPassed = false;  // gauge full, "Verify: OK"
    bool verifyFailed = false;  // "Verify error!": the pages after the failure have come
    bool readDone = false;      // a Read's pages are in the image
    bool send = false;          // send the current page at once
};

enum class TimeoutEffect : std::uint8_t { None, Resend, Failed };

// Pages 1 and 2 (index 0 and 1) as the unit last sent them during a verify.
using UnitPages = std::array<std::optional<Page>, 2>;

class Transfer {
  public:
    TransferMode mode() const { return mode_; }
    bool idle() const { return mode_ == TransferMode::Idle; }
    std::uint8_t pageIndexByte() const { return pageIndexByte_; }
    std::uint8_t attempts() const { return attempts_; }
    bool transferOk() const { return transferOk_; }
    void clearTransferOk() { transferOk_ = false; }
    // The mode that failed or ended last (for the error text).
    TransferMode failedMode() const { return failedMode_; }

    // Shared with the idle monitor requests: ticks since the last frame went out.
    std::uint8_t replyWait = 0;

    void startRead();
    void startVerify();
    void startProgram();
    void abandon() { mode_ = TransferMode::Idle; }

    // One tick of a running transfer: the time-out and the resend.
    TimeoutEffect tick();
    // One tick while idle: true when a monitor request is due.
    bool idleTick();

    // The frame for the current page; page 0 of a programming carries the exchange page.
    Frame currentFrame(const ParameterImage& image, const Page& exchange) const;
    // Marks a frame as sent (the reply wait restarts). The first settings page of a
    // programming makes what the unit holds unknown until a verify tells it again.
    void sent();

    // A received block that did not start with the monitor lead byte.
    ReplyEffects onReply(std::span<const std::uint8_t> block, ParameterImage& image);

    const Page& unitInfo() const { return unitInfo_; }
    std::uint8_t unitVersion() const { return unitInfo_[InfoByte::Version]; }

    // The settings the last verify found in the unit: the image as each of its pages passed
    // (an edit between the two pages does not count as verified). Set when a verify passes,
    // whether alone or after a read or a programming; cleared when a verify fails, since the
    // unit then holds something else or could not be asked. Empty before the first verify.
    const std::optional<ParameterImage>& confirmedImage() const { return confirmed_; }
    // The pages the unit sent during the running or last verify, the last reply of each; a
    // page it was never asked for stays empty (a verify that fails on page 1 never asks for
    // page 2).
    const UnitPages& lastUnitPages() const { return unitPages_; }
    // The base with the unit's pages of the last verify over it.
    ParameterImage withUnitPages(ParameterImage base) const;
    // The pages the unit sent during a verify that failed, and those read after the failure;
    // null while no failed verify is known (none yet, a new verify or programming started, a
    // verify passed, or the unit was forgotten).
    const UnitPages* failedVerifyPages() const { return verifyFailed_ ? &unitPages_ : nullptr; }
    // The unit may have been swapped for another: nothing is known of its settings.
    void forgetUnit();
    // A programming has gone out and no verify has told since what the unit holds: it may
    // have taken one page and not the other. Cleared by a verify that passed or that got
    // both pages, and when the unit is forgotten.
    bool unsettled() const { return unsettled_; }

  private:
    void nextPage(ReplyEffects& fx);
    void switchToVerify(ReplyEffects& fx);
    void failVerify();
    bool verifyPage(std::span<const std::uint8_t, kPageSize> payload, int page,
                    const ParameterImage& image) const;

    TransferMode mode_ = TransferMode::Idle;
    TransferMode failedMode_ = TransferMode::Idle;
    std::uint8_t pageIndexByte_ = 0;
    std::uint8_t attempts_ = 0;
    bool transferOk_ = false;
    Page unitInfo_{};
    UnitPages unitPages_{};
    ParameterImage verifying_; // the image as the pages passed so far compared it
    std::optional<ParameterImage> confirmed_;
    bool verifyFailed_ = false;
    bool unsettled_ = false;
    // After a verify failed on page 1, page 2 is read as well (read requests only), so that
    // what the unit holds is known whole; the failure is told when it has come.
    bool fetchingRest_ = false;
    // A Read's pages 1 and 2 as they come; they go into the image together once page 2 has
    // come, so a Read that fails half-way leaves the image as it was.
    std::array<std::uint8_t, kRecordSize> readPages_{};
};

} // namespace zentrola
