// Recording live data: one row of a live sample per monitor frame, stamped with the driver's
// monotonic clock from the start, flushed about once a second so that a crash loses at most a
// second. A write that fails (a full disk, a stick pulled) ends the recording at once.
#pragma once

#include "app/Configurator.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace zentrola {

inline constexpr int kRecorderFlushTicks = 18; // about one second of 55 ms ticks

class LiveRecorder {
  public:
    // Creates (or empties) the file, named in UTF-8, and writes the header; `nowS` is the
    // clock at the start. False when it cannot be written.
    bool start(const std::string& path, double nowS);
    // An accepted monitor frame (bytes 0..50) at the clock's `nowS`: its row. False when the
    // write failed and the recording has just ended.
    bool frame(std::span<const std::uint8_t> frame, double nowS);
    // The mechanic marks this moment: the next row carries the mark's number (1, 2, ...),
    // which is returned; 0 when nothing is being recorded.
    int mark();
    // One tick passed: the flush. False when it failed and the recording has just ended.
    bool tick();
    // Flushes and closes; false when a write had failed.
    bool stop();

    bool recording() const { return out_.is_open(); }
    // A write failed since the last start.
    bool failed() const { return failed_; }
    std::size_t rows() const { return rows_; }
    int marks() const { return marks_; }
    const std::string& path() const { return path_; }

  private:
    bool check();

    std::ofstream out_;
    std::string path_;
    std::size_t rows_ = 0;
    double startS_ = 0;
    int sinceFlush_ = 0;
    bool failed_ = false;
    int marks_ = 0;
    int pendingMark_ = 0;
};

} // namespace zentrola
