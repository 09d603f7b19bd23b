// Recording live data: one CSV row per monitor frame, a time column in seconds from the
// start and then the monitor's columns, flushed about once a second so that a crash loses at
// most a second. Time is counted in ticks, like everything else.
#pragma once

#include "app/Configurator.h"
#include "link/Monitor.h"

#include <cstddef>
#include <fstream>
#include <string>

namespace zentrola {

inline constexpr int kRecorderFlushTicks = 18; // about one second of 55 ms ticks

class LiveRecorder {
  public:
    // Creates (or empties) the file, named in UTF-8, and writes the header; false when it
    // cannot be written.
    bool start(const std::string& path);
    // A monitor frame was decoded: its row.
    void frame(const MonitorDisplay& display);
    // One tick passed: the clock of the time column, and the flush.
    void tick();
    // Flushes and closes; false when a write had failed.
    bool stop();

    bool recording() const { return out_.is_open(); }
    std::size_t rows() const { return rows_; }
    const std::string& path() const { return path_; }

  private:
    std::ofstream out_;
    std::string path_;
    std::size_t rows_ = 0;
    long ticks_ = 0;
    int sinceFlush_ = 0;
    bool failed_ = false;
};

// The time column's header and a time in ticks as seconds with three decimals.
std::string recordingHeader();
std::string recordingTime(long ticks);

} // namespace zentrola
