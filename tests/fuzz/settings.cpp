// A settings file of any content at start-up, then a close and a second start.
#include "Restart.h"

#include "files/AtomicFile.h"

#include <cstdint>

using namespace zentrola;
using namespace zentrola::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto dir = freshConfigDir();
    require(
        writeFileAtomically(dir / settingsFileName(), {reinterpret_cast<const char*>(data), size}),
        "cannot write the input");
    checkRestart(dir);
    return 0;
}
