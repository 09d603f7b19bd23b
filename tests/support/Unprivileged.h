// Runs a check as a user whose file permissions count: root may write any file, so a test of
// write permissions means nothing as root.
#pragma once

#include <functional>
#include <optional>

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zentrola::testing {

// The check's result: run directly for any user but root; for root in a child process that
// has become the user "nobody". Nothing when that cannot be done here. The check runs in
// another process then: it tells its outcome by its result only.
inline std::optional<bool> asUnprivilegedUser(const std::function<bool()>& check) {
#ifdef _WIN32
    // A read-only file there is read-only for every user, administrators included.
    return check();
#else
    if (::geteuid() != 0)
        return check();
    constexpr int kCannot = 2;
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(kCannot);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == kCannot)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
#endif
}

} // namespace zentrola::testing
