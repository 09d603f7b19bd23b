// A test-mode file of any content: test mode is on exactly when one of its whitespace-
// separated words is TEST_ENABLE, as the standard stream library splits them.
#include "Scratch.h"
#include "support/Guarantees.h"

#include "files/AtomicFile.h"
#include "files/Settings.h"

#include <cstdint>
#include <locale>
#include <sstream>
#include <string>

using namespace zentrola;
using namespace zentrola::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const auto path = scratchDir() / testModeFileName();
    require(writeFileAtomically(path, content), "cannot write the input");

    std::istringstream words(content);
    words.imbue(std::locale::classic());
    bool expected = false;
    for (std::string word; words >> word;)
        expected = expected || word == "TEST_ENABLE";
    require(testModeEnabled(path) == expected,
            expected ? "TEST_ENABLE not found" : "test mode without TEST_ENABLE");
    return 0;
}
