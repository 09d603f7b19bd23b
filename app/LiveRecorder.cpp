#include "app/LiveRecorder.h"

#include "app/LiveSample.h"
#include "app/Recording.h"
#include "files/Utf8Path.h"

namespace zentrola {

bool LiveRecorder::start(const std::string& path, double nowS) {
    stop();
    out_.open(pathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out_)
        return false;
    path_ = path;
    rows_ = 0;
    startS_ = nowS;
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

bool LiveRecorder::check() {
    if (out_)
        return true;
    // Rows after a failed write would be lost or land after a hole: stop here.
    failed_ = true;
    out_.close();
    return false;
}

int LiveRecorder::mark() {
    if (!recording())
        return 0;
    // Two presses before the next frame are one mark: a row holds one number.
    if (pendingMark_ == 0)
        pendingMark_ = ++marks_;
    return pendingMark_;
}

bool LiveRecorder::frame(std::span<const std::uint8_t> frame, double nowS) {
    if (!recording())
        return true;
    LiveSample sample = liveSampleAt(frame, nowS - startS_);
    sample.mark = pendingMark_;
    pendingMark_ = 0;
    out_ << recordingCsvRow(sample);
    ++rows_;
    return check();
}

bool LiveRecorder::tick() {
    if (!recording())
        return true;
    if (++sinceFlush_ >= kRecorderFlushTicks) {
        sinceFlush_ = 0;
        out_.flush();
        return check();
    }
    return true;
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
