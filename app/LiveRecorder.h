// Recording live data: one row of a live sample per monitor frame, time counted in ticks from
// the start, flushed about once a second so that a crash loses at most a second.
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
    // Creates (or empties) the file, named in UTF-8, and writes the header; false when it
    // cannot be written.
    bool start(const std::string& path);
    // An accepted monitor frame (bytes 0..50): its row.
    void frame(std::span<const std::uint8_t> frame);
    // The mechanic marks this moment: the next row carries the mark's number (1, 2, ...),
    // which is returned; 0 when nothing is being recorded.
    int mark();
    // One tick passed: the clock of the time column, and the flush.
    void tick();
    // Flushes and closes; false when a write had failed.
    bool stop();

    bool recording() const { return out_.is_open(); }
    std::size_t rows() const { return rows_; }
    int marks() const { return marks_; }
    const std::string& path() const { return path_; }

  private:
    std::ofstream out_;
    std::string path_;
    std::size_t rows_ = 0;
    long ticks_ = 0;
    int sinceFlush_ = 0;
    bool failed_ = false;
    int marks_ = 0;
    int pendingMark_ = 0;
};

} // namespace zentrola
