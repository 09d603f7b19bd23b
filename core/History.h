// Undo and redo: a ring of the 200 most recent states of the 150-byte span. A step is taken
// only when the image differs from the current entry; the same step decides whether
// "program after change" starts a programming transfer.
#pragma once

#include "core/ParameterImage.h"

#include <array>

namespace zentrola {

class History {
  public:
    static constexpr std::size_t kEntries = 200;

    struct Step {
        bool changed = false;
        bool startProgram = false;
    };

    void start(const ParameterImage& image);
    // The change check after every edit; programAfterChange is the state of its check box.
    Step step(const ParameterImage& image, bool programAfterChange);
    // A step of its own that never programs, whatever the box says (a finished Read: the
    // unit's settings must not be written back). The box's remembered state stays as it was.
    // True when a snapshot was taken.
    bool record(const ParameterImage& image);
    // Both copy the entry back into the image; false when there was nothing to go to.
    bool undo(ParameterImage& image);
    bool redo(ParameterImage& image);

    bool canUndo() const { return current_ != oldest_; }
    bool canRedo() const { return current_ != newest_; }

  private:
    std::array<ParameterImage::Span, kEntries> ring_{};
    std::size_t current_ = 0;
    std::size_t oldest_ = 0;
    std::size_t newest_ = 0;
    bool programFlag_ = false;
};

} // namespace zentrola
