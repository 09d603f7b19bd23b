// What the program knows of the unit's settings and of the file named in the caption, so that
// the window claims no more than that.
#include "app/Configurator.h"

#include "core/Differences.h"
#include "files/AtomicFile.h"
#include "files/ParameterFile.h"
#include "files/Utf8Path.h"

namespace zentrola {

std::optional<KnownUnit> Configurator::knownUnit() const {
    if (const auto& confirmed = transfer_.confirmedImage())
        return KnownUnit{UnitSource::Confirmed, *confirmed};
    // Both pages or nothing: a page that does not come means the unit fell silent, and by
    // then the lost connection has made it unknown anyway.
    const UnitPages* pages = transfer_.failedVerifyPages();
    if (!pages || !(*pages)[0] || !(*pages)[1])
        return std::nullopt;
    return KnownUnit{UnitSource::FailedVerify, transfer_.withUnitPages(image_)};
}

UnitState Configurator::unitState() const {
    if (!unitAnswered_)
        return UnitState::NoUnit;
    if (knownUnit())
        return UnitState::Known;
    return transfer_.unsettled() ? UnitState::Unsettled : UnitState::NotKnown;
}

bool Configurator::notSaved() const {
    if (texts_.TextFileName.empty())
        return false;
    if (!fileImage_)
        return true; // the named file could not be read: these settings are not in it
    if (image_ == *fileImage_)
        return false;
    if (!unsavedCompared_ || *unsavedCompared_ != image_) {
        unsavedCompared_ = image_;
        unsavedResult_ = !sameSettings(image_, *fileImage_);
    }
    return unsavedResult_;
}

// The image as Open of that file would make it now, without touching the window: the named
// file of the last run against the settings kept from it.
std::optional<ParameterImage> Configurator::openedOverImage(const std::string& path) const {
    const auto text = readWholeFile(pathFromUtf8(path));
    if (!text)
        return std::nullopt;
    ParameterImage opened = image_;
    if (readParameterFile(*text, opened) == FileOutcome::NotAFile)
        return std::nullopt;
    CurveRules rules;
    rules.clearDisplacement();
    rules.forgetAnchor();
    std::uint8_t language = language_;
    std::uint8_t port = portIndex_;
    std::uint8_t scan = scanPosition_;
    rules.apply(opened, shownCurve(opened, monitor_.activeChannel()),
                Housekeeping{language, port, scan});
    return opened;
}

} // namespace zentrola
