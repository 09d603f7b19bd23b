#include "core/History.h"

namespace zentrola {

void History::start(const ParameterImage& image) {
    current_ = oldest_ = newest_ = 0;
    ring_[0] = image.span();
}

bool History::record(const ParameterImage& image) {
    if (ring_[current_] == image.span())
        return false;
    current_ = (current_ + 1) % kEntries;
    newest_ = current_; // a new change drops the redo branch
    if (current_ == oldest_)
        oldest_ = (oldest_ + 1) % kEntries;
    ring_[current_] = image.span();
    return true;
}

History::Step History::step(const ParameterImage& image, bool programAfterChange) {
    Step s;
    s.changed = record(image);
    // Right after the box is ticked only a change programs; while it stays ticked every step
    // does, so that a unit that missed a programming gets the set again.
    if (programAfterChange) {
        s.startProgram = s.changed || programFlag_;
        programFlag_ = true;
    } else {
        programFlag_ = false;
    }
    return s;
}

bool History::undo(ParameterImage& image) {
    if (!canUndo())
        return false;
    current_ = (current_ + kEntries - 1) % kEntries;
    image.span() = ring_[current_];
    return true;
}

bool History::redo(ParameterImage& image) {
    if (!canRedo())
        return false;
    current_ = (current_ + 1) % kEntries;
    image.span() = ring_[current_];
    return true;
}

} // namespace zentrola
