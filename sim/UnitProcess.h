// zentrola-unit as a child process serving the virtual unit on a pseudo-terminal, reached
// through a symbolic link in a folder of its own. Used by the benchmark and by the tests of
// the real serial port adapter. POSIX only.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zentrola {

class UnitProcess {
  public:
    explicit UnitProcess(std::string executable) : executable_(std::move(executable)) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zentrola-unit-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            folder_ = pattern;
    }
    ~UnitProcess() {
        stop(SIGTERM);
        std::error_code ec;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ec);
    }
    UnitProcess(const UnitProcess&) = delete;
    UnitProcess& operator=(const UnitProcess&) = delete;

    // The path the program opens as its serial port.
    std::string link() const { return folder_.empty() ? std::string() : folder_ + "/unit"; }
    std::string file(const std::string& name) const { return folder_ + "/" + name; }

    // Starts the unit with extra options and waits until its link leads to a terminal.
    bool start(const std::vector<std::string>& options = {},
               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        if (folder_.empty() || running())
            return false;
        std::vector<std::string> args{executable_, "--link", link()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, executable_.c_str(), nullptr, nullptr, argv.data(), environ) !=
            0) {
            pid_ = -1;
            return false;
        }
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            struct stat st {};
            if (::stat(link().c_str(), &st) == 0 && S_ISCHR(st.st_mode))
                return true;
            if (!running())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    // Sends the signal and reaps the process. SIGKILL leaves the link behind, dangling.
    void stop(int signal) {
        if (pid_ <= 0)
            return;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    bool running() {
        if (pid_ <= 0)
            return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        return true;
    }

  private:
    std::string executable_;
    std::string folder_;
    pid_t pid_ = -1;
};

} // namespace zentrola
