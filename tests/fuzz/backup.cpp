// A backup file of any content. Loaded over two images that differ in every byte, the bytes
// it fills must be a leading run, the same in both, and every byte after it must stay as it
// was; the loaded span must survive a save and a load; a program started over it must come
// up as the rules allow and come back the same after a close and a second start.
#include "Restart.h"

#include "files/AtomicFile.h"
#include "files/Settings.h"

#include <cstdint>

using namespace zentrola;
using namespace zentrola::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto dir = freshConfigDir();
    const auto path = dir / backupFileName();
    require(writeFileAtomically(path, {reinterpret_cast<const char*>(data), size}),
            "cannot write the input");

    ParameterImage a;
    ParameterImage b;
    for (std::size_t i = 0; i < kSpanSize; ++i) {
        a[i] = static_cast<std::uint8_t>(i * 7 + 1);
        b[i] = static_cast<std::uint8_t>(~a[i]);
    }
    const ParameterImage oldA = a;
    const ParameterImage oldB = b;
    loadBackup(path, a);
    loadBackup(path, b);
    std::size_t filled = 0;
    while (filled < kSpanSize && a[filled] == b[filled])
        ++filled;
    for (std::size_t i = filled; i < kSpanSize; ++i)
        require(a[i] == oldA[i] && b[i] == oldB[i],
                "byte " + std::to_string(i) + " changed after the loaded run");

    const auto copy = dir / "copy";
    require(saveBackup(copy, a), "cannot save the backup");
    ParameterImage back;
    loadBackup(copy, back);
    require(back == a, "a saved backup loaded to other bytes");

    checkRestart(dir);
    return 0;
}
