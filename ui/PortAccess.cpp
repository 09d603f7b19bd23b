#include "ui/PortAccess.h"

#if defined(__linux__)
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

namespace zentrola {

std::optional<PortGroup> missingPortGroup(const std::string& device) {
#if defined(__linux__)
    struct stat st {};
    if (device.empty() || ::stat(device.c_str(), &st) != 0)
        return std::nullopt;
    if (::access(device.c_str(), R_OK | W_OK) == 0)
        return std::nullopt;
    // The group as the device has it, not assumed: dialout on Debian, uucp on Arch.
    const group* g = ::getgrgid(st.st_gid);
    const passwd* p = ::getpwuid(::geteuid());
    if (!g || !p || (st.st_mode & S_IRWXG) != (S_IRGRP | S_IWGRP))
        return std::nullopt;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && ::getgroups(count, groups.data()) == count)
        for (gid_t id : groups)
            if (id == st.st_gid)
                return std::nullopt; // in the group: the group is not what stands in the way
    return PortGroup{QString::fromLocal8Bit(g->gr_name), QString::fromLocal8Bit(p->pw_name)};
#else
    (void)device;
    return std::nullopt;
#endif
}

} // namespace zentrola
