#include "app/LiveRecorder.h"

#include "app/MonitorLines.h"
#include "files/Utf8Path.h"

namespace zentrola {

std::string recordingHeader() {
    return "Time [s]," + csvHeader();
}

std::string recordingTime(long ticks) {
    const long ms = ticks * kTickMilliseconds;
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return std::to_string(ms / 1000) + "." + fraction;
}

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
    out_ << recordingHeader();
    out_.flush();
    if (!out_) {
        stop();
        return false;
    }
    return true;
}

void LiveRecorder::frame(const MonitorDisplay& display) {
    if (!recording())
        return;
    out_ << recordingTime(ticks_) << ',' << csvRow(display);
    ++rows_;
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
