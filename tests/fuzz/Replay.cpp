// Without libFuzzer: feeds every file of the folders (or the files) named on the command line
// to the fuzz target once, so that ctest checks every kept input with any compiler. A broken
// invariant aborts inside the target; a clean run prints how many inputs passed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    std::fprintf(stderr, "%s\n", file.filename().string().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        if (fs::is_directory(argv[i])) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.emplace_back(argv[i]);
        }
        for (const fs::path& file : files) {
            if (!replay(file))
                return 1;
            ++inputs;
        }
    }
    if (inputs == 0) {
        std::fprintf(stderr, "no inputs\n");
        return 1;
    }
    std::printf("%zu inputs replayed\n", inputs);
    return 0;
}
