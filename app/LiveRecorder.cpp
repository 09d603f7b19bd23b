#include "app/LiveRecorder.h"

#include "app/LiveSample.h"
#include "app/Recording.h"
#include "files/Utf8Path.h"

namespace zentrola {

bool LiveRecorder::start(const std::string& path) {
    stop();
    out_.open(pathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out_)
        return false;
    path_ = path;
    rows_ = 0;
    ticks_ = 0;
    sinceFlush_ = 0;
    failed_ = false;
    marks_ = 0;
    pendingMark_ = 0;
    out_ << recordingCsvHeader();
    out_.flush();
    if (!out_) {
        stop();
        return false;
    }
    return true;
}

void LiveRecorder::frame(std::span<const std::uint8_t> frame) {
    if (!recording())
        return;
    LiveSample sample = liveSample(frame, ticks_);
    sample.mark = pendingMark_;
    pendingMark_ = 0;
    out_ << recordingCsvRow(sample);
    ++rows_;
}

int LiveRecorder::mark() {
    if (!recording())
        return 0;
    // Two presses before the next frame are one mark: a row holds one number.
    if (pendingMark_ == 0)
        pendingMark_ = ++marks_;
    return pendingMark_;
}

void LiveRecorder::tick() {
    if (!recording())
        return;
    ++ticks_;
    if (++sinceFlush_ >= kRecorderFlushTicks) {
        sinceFlush_ = 0;
        out_.flush();
        failed_ = failed_ || !out_;
    }
}

bool LiveRecorder::stop() {
    if (!recording())
        return !failed_;
    out_.flush();
    failed_ = failed_ || !out_;
    out_.close();
    return !failed_;
}

} // namespace zentrola
