// zentrola-unit (a Linux program) serving the virtual unit to a Windows test under Wine: Wine
// starts a Linux program like a Windows one, and a COM port of the prefix is a link in its
// dosdevices folder, which the unit points at its pseudo-terminal. Wine only.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace zentrola::testing {

class WineUnit {
  public:
    // com: the port number the unit appears as, one per test so that tests run side by side.
    WineUnit(std::string unixExecutable, int com) : executable_(std::move(unixExecutable)) {
        const char* prefix = std::getenv("WINEPREFIX");
        const char* home = std::getenv("HOME");
        const std::string root =
            prefix != nullptr ? prefix : std::string(home != nullptr ? home : "") + "/.wine";
        link_ = root + "/dosdevices/com" + std::to_string(com);
        folder_ = "/tmp/zentrola-wine-unit-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(com);
        CreateDirectoryA(windowsPath(folder_).c_str(), nullptr);
    }
    ~WineUnit() {
        stop();
        shell("rm -rf '" + folder_ + "'/*");
        RemoveDirectoryA(windowsPath(folder_).c_str());
    }
    WineUnit(const WineUnit&) = delete;
    WineUnit& operator=(const WineUnit&) = delete;

    // A file of the unit's folder, as a Linux path (for the unit) and as a Windows one.
    std::string unixFile(const std::string& name) const { return folder_ + "/" + name; }
    std::string windowsFile(const std::string& name) const { return windowsPath(unixFile(name)); }

    // Starts the unit and waits until the COM port leads to its terminal.
    bool start(const std::vector<std::string>& options = {}) {
        std::string command = "rm -f '" + unixFile("pid") + "'; echo $$ > '" + unixFile("pid") +
                              "'; exec '" + executable_ + "' --link '" + link_ + "'";
        for (const auto& o : options)
            command += " '" + o + "'";
        if (!spawn(command))
            return false;
        running_ = true;
        return waitFor("test -c \"$(readlink '" + link_ + "')\" && test -s '" + unixFile("pid") +
                       "'");
    }
    // The unit's plug: SIGUSR1 pulls it (the terminal closes) and, sent again, puts it back
    // (a new terminal behind the same COM port).
    bool pullPlug() { return plug(); }
    bool plugBack() { return plug() && waitFor("test -c \"$(readlink '" + link_ + "')\""); }
    // Ends the unit (it writes its EEPROM file on the way) and waits until it is gone.
    void stop() {
        if (!running_)
            return;
        running_ = false;
        shell("p=$(cat '" + unixFile("pid") + "'); kill $p; while kill -0 $p 2>/dev/null; do " +
              "sleep 0.02; done; rm -f '" + link_ + "'");
    }

  private:
    bool plug() { return running_ && shell("kill -USR1 $(cat '" + unixFile("pid") + "')"); }
    static std::string windowsPath(const std::string& unixPath) {
        std::string path = "Z:" + unixPath;
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }
    // Starts a shell line. Wine gives no handle that waits for a Linux program, so the line
    // tells its end through a file.
    static bool spawn(const std::string& line) {
        std::string quoted = "Z:\\bin\\sh -c \"";
        for (const char c : line) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        quoted += '"';
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, quoted.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }
    // Runs a shell line to its end (ten seconds at most); true when it exited with 0.
    bool shell(const std::string& line) {
        const std::string done = unixFile("done-" + std::to_string(++shells_));
        if (!spawn("(" + line + "); echo $? > '" + done + ".part'; mv '" + done + ".part' '" +
                   done + "'"))
            return false;
        const std::string path = windowsPath(done);
        for (int i = 0; i < 1000; ++i) {
            if (FILE* f = std::fopen(path.c_str(), "r")) {
                int code = -1;
                const bool read = std::fscanf(f, "%d", &code) == 1;
                std::fclose(f);
                DeleteFileA(path.c_str());
                return read && code == 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    bool waitFor(const std::string& condition) {
        for (int i = 0; i < 100; ++i) {
            if (shell(condition))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string executable_;
    std::string link_;
    std::string folder_;
    bool running_ = false;
    int shells_ = 0;
};

} // namespace zentrola::testing
