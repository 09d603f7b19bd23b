// A parameter file of any content, opened and saved as the window does. What Open leaves
// must obey the rules; Save must write a file that a fresh program opens to the same
// settings and saves to the same bytes; a file without the key changes nothing.
#include "Scratch.h"
#include "support/Guarantees.h"

#include "app/Configurator.h"
#include "files/AtomicFile.h"
#include "link/NullSerialPort.h"

#include <cstdint>
#include <string>

using namespace zentrola;
using namespace zentrola::testing;

namespace {

struct MessageView : View {
    int messages = 0;
    void showMessage(const std::string&, const std::string&) override { ++messages; }
};

struct Program {
    NullSerialPort port;
    MessageView view;
    Configurator c{port, view};
    Program() { c.start({}); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = (scratchDir() / "input.ign").string();
    const std::string saved = (scratchDir() / "saved.ign").string();
    const std::string again = (scratchDir() / "again.ign").string();
    require(writeFileAtomically(input, {reinterpret_cast<const char*>(data), size}),
            "cannot write the input");

    Program first;
    const ParameterImage before = first.c.image();
    const FileResult opened = first.c.openFile(input);
    if (opened == FileResult::NotAFile) {
        require(first.c.image() == before, "a file without the key changed the settings");
        require(first.c.fileName().empty(), "a file without the key set the caption");
        require(first.view.messages == 1, "a file without the key gave no message");
        return 0;
    }
    require(opened == FileResult::Done || opened == FileResult::Older, "Open failed");
    require(first.view.messages == (opened == FileResult::Older ? 1 : 0),
            "Open showed the wrong number of messages");
    require(brokenRule(first.c.image()));
    require(brokenNormalisation(first.c.image()));

    require(first.c.saveFile(saved) == FileResult::Done, "Save failed");
    const ParameterImage written = first.c.image();
    require(brokenRule(written));
    require(brokenNormalisation(written));
    const auto text = readWholeFile(saved);
    require(text && *text == first.c.parameterFileText(), "Save wrote other bytes");

    Program second;
    require(second.c.openFile(saved) == FileResult::Done, "a saved file opened as older");
    // The file carries everything but the reserved bytes, which both programs hold alike.
    require(second.c.image() == written, "a saved file opened to other settings");
    require(second.c.saveFile(again) == FileResult::Done, "the second Save failed");
    require(readWholeFile(again) == text, "the second Save wrote other bytes");
    return 0;
}
