#include "link/Transfer.h"

#include <algorithm>

namespace zentrola {

namespace {
constexpr std::uint8_t kReadPage0 = Lead::ReadFlag | 0;
constexpr std::uint8_t kReadPage1 = Lead::ReadFlag | 1;
constexpr std::uint8_t kReadPage2 = Lead::ReadFlag | 2;
constexpr std::uint8_t kProgramPage0 = 0;
constexpr std::uint8_t kLastPage = 2;
constexpr std::uint8_t kPwmFull = 10;
} // namespace

void Transfer::startRead() {
    mode_ = TransferMode::Read;
    pageIndexByte_ = kReadPage0;
    attempts_ = 0;
    // Every tick of a Read clears it anyway; a refusal arriving before the first one must
    // not find a programming's OK still standing.
    transferOk_ = false;
}

void Transfer::startVerify() {
    mode_ = TransferMode::Verify;
    pageIndexByte_ = kReadPage1;
    attempts_ = 0;
    transferOk_ = false;
    unitPages_ = {};
    verifyFailed_ = false;
    fetchingRest_ = false;
}

void Transfer::startProgram() {
    mode_ = TransferMode::Program;
    pageIndexByte_ = kProgramPage0;
    attempts_ = 0;
    transferOk_ = false;
    // What a failed verify found is no longer what the unit holds once it is programmed.
    verifyFailed_ = false;
    fetchingRest_ = false;
}

void Transfer::sent() {
    replyWait = 0;
    // Page 0 only fetches the information page; from page 1 on the unit may hold part of
    // this set: neither what a verify confirmed before nor what a failed one found is known
    // to be in it any more.
    if (mode_ != TransferMode::Program || (pageIndexByte_ & Lead::PageMask) == 0 || unsettled_)
        return;
    unsettled_ = true;
    confirmed_.reset();
    unitPages_ = {};
    verifyFailed_ = false;
}

void Transfer::forgetUnit() {
    confirmed_.reset();
    unitPages_ = {};
    verifyFailed_ = false;
    unsettled_ = false;
}

void Transfer::failVerify() {
    transferOk_ = false;
    confirmed_.reset();
    verifyFailed_ = true;
    // With both pages the unit's settings are known again, as it sent them.
    if (unitPages_[0] && unitPages_[1])
        unsettled_ = false;
    fetchingRest_ = false;
    failedMode_ = TransferMode::Verify;
    mode_ = TransferMode::Idle;
}

TimeoutEffect Transfer::tick() {
    if (mode_ == TransferMode::Read)
        transferOk_ = false;
    // At or past four: a transfer started while the idle count stood at 4 or 5 sends at once.
    if (++replyWait < kReplyWaitTicks)
        return TimeoutEffect::None;
    replyWait = 0;
    if (++attempts_ <= kMaxSends)
        return TimeoutEffect::Resend;
    if (mode_ == TransferMode::Verify) {
        // Page 1 answered but differed: page 2 was never asked for. Read it too, in the time
        // a page of the verify would have taken, before the failure is told.
        const bool page1Failed = (pageIndexByte_ & Lead::PageMask) == 1;
        if (page1Failed && unitPages_[0] && !fetchingRest_) {
            fetchingRest_ = true;
            pageIndexByte_ = kReadPage2;
            attempts_ = 1;
            return TimeoutEffect::Resend;
        }
        failVerify();
        return TimeoutEffect::Failed;
    }
    failedMode_ = mode_;
    mode_ = TransferMode::Idle;
    return TimeoutEffect::Failed;
}

bool Transfer::idleTick() {
    if (++replyWait < kMonitorInterval)
        return false;
    replyWait = 0;
    return true;
}

Frame Transfer::currentFrame(const ParameterImage& image, const Page& exchange) const {
    if (mode_ != TransferMode::Program)
        return readRequest(pageIndexByte_);
    const int page = pageIndexByte_ & Lead::PageMask;
    if (page == 0)
        return pageFrame(pageIndexByte_, exchange);
    return pageFrame(pageIndexByte_, image.page(page));
}

void Transfer::nextPage(ReplyEffects& fx) {
    fx.gaugeStep = true;
    ++pageIndexByte_;
    attempts_ = 1;
    fx.send = true;
}

void Transfer::switchToVerify(ReplyEffects& fx) {
    mode_ = TransferMode::Verify;
    pageIndexByte_ = kReadPage1;
    attempts_ = 1;
    fx.send = true;
    fx.verifyStarted = true;
    unitPages_ = {};
    verifyFailed_ = false;
    fetchingRest_ = false;
}

bool Transfer::verifyPage(std::span<const std::uint8_t, kPageSize> payload, int page,
                          const ParameterImage& image) const {
    const std::size_t base = kPageSize * static_cast<std::size_t>(page - 1);
    bool passed = true;
    for (std::size_t k = 0; k < kPageSize; ++k) {
        const std::size_t offset = base + k;
        const std::uint8_t unit = payload[k];
        if (unit == image[offset])
            continue;
        // The unit may refuse to report its no-reading byte, and takes a duty of 0 as full.
        if (offset == Offset::NoReading)
            break;
        if (offset == Offset::Pwm && unit == 0 && image[offset] == kPwmFull)
            break;
        passed = false;
    }
    return passed;
}

ReplyEffects Transfer::onReply(std::span<const std::uint8_t> block, ParameterImage& image) {
    ReplyEffects fx;
    if (!acceptPageReply(block, pageIndexByte_) || idle())
        return fx;
    fx.accepted = true;
    const auto payload = payloadOf(block);
    const int page = pageIndexByte_ & Lead::PageMask;

    switch (mode_) {
    case TransferMode::Program:
        if (page == 0) {
            std::copy(payload.begin(), payload.end(), unitInfo_.begin());
            fx.infoPage = true;
            fx.rulesAndRefresh = true;
            if (unitVersion() != kVersion) {
                mode_ = TransferMode::Idle;
                fx.versionMismatch = true;
                return fx;
            }
            nextPage(fx);
        } else if (std::equal(payload.begin(), payload.end(), image.page(page).begin())) {
            if (page < kLastPage) {
                nextPage(fx);
            } else {
                transferOk_ = true;
                switchToVerify(fx);
            }
        }
        break;

    case TransferMode::Verify: {
        Page& kept = unitPages_[static_cast<std::size_t>(page - 1)].emplace();
        std::copy(payload.begin(), payload.end(), kept.begin());
        if (fetchingRest_) {
            // Only kept, not compared: the verify has failed already.
            failVerify();
            fx.verifyFailed = true;
            break;
        }
        if (!verifyPage(payload, page, image))
            break;
        if (page < kLastPage) {
            verifying_ = image;
            nextPage(fx);
        } else {
            std::copy(image.page(page).begin(), image.page(page).end(),
                      verifying_.page(page).begin());
            confirmed_ = verifying_;
            verifyFailed_ = false;
            unsettled_ = false;
            mode_ = TransferMode::Idle;
            fx.verifyPassed = true;
        }
        break;
    }

    case TransferMode::Read:
        if (page == 0) {
            std::copy(payload.begin(), payload.end(), unitInfo_.begin());
            fx.infoPage = true;
            if (unitVersion() != kVersion) {
                mode_ = TransferMode::Idle;
                fx.refreshOnly = true;
                fx.versionMismatch = true;
                return fx;
            }
            if (unitInfo_[InfoByte::ReadPermission] != 1) {
                mode_ = TransferMode::Idle;
                fx.refreshOnly = true;
                fx.noReading = true;
                return fx;
            }
            nextPage(fx);
        } else {
            std::copy(payload.begin(), payload.end(),
                      readPages_.begin() + static_cast<std::ptrdiff_t>(kPageSize * (page - 1)));
            if (page < kLastPage) {
                nextPage(fx);
            } else {
                std::copy(readPages_.begin(), readPages_.end(), image.span().begin());
                fx.rulesAndRefresh = true;
                fx.readDone = true;
                switchToVerify(fx);
            }
        }
        break;

    case TransferMode::Idle:
        break;
    }
    return fx;
}

ParameterImage Transfer::withUnitPages(ParameterImage base) const {
    for (std::size_t i = 0; i < unitPages_.size(); ++i)
        if (const auto& unit = unitPages_[i])
            std::copy(unit->begin(), unit->end(), base.page(static_cast<int>(i) + 1).begin());
    return base;
}

} // namespace zentrola
