// A scratch folder for the fuzz targets that go through files: one per process, in memory
// where the system has /dev/shm, removed at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace zentrola::testing {

inline const std::filesystem::path& scratchDir() {
    namespace fs = std::filesystem;
    static const fs::path dir = [] {
        std::error_code ec;
        const fs::path base =
            fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path d = base / ("zentrola-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(d);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchDir(), ignored);
        });
        return d;
    }();
    return dir;
}

} // namespace zentrola::testing
