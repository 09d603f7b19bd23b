#include "files/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zentrola {

namespace fs = std::filesystem;

namespace {

std::optional<std::size_t> writeLimit;
std::optional<std::size_t> readLimit;

constexpr int kTemporaryNameAttempts = 16;
constexpr std::size_t kReadChunk = 4096;

std::FILE* openForReading(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// The bytes up to the end of the file; false when a read fails or the file is too long.
bool readAll(std::FILE* file, std::string& content) {
    std::array<char, kReadChunk> chunk;
    for (;;) {
        std::size_t wanted = chunk.size();
        if (readLimit) {
            if (content.size() >= *readLimit)
                return false;
            wanted = std::min(wanted, *readLimit - content.size());
        }
        const std::size_t got = std::fread(chunk.data(), 1, wanted, file);
        content.append(chunk.data(), got);
        if (content.size() > kLargestReadFile)
            return false;
        if (got < wanted)
            return std::ferror(file) == 0; // the end, or a failed read
    }
}

// Whether the user may open the existing file for writing. The save itself never opens it:
// it renames a new file over it, which the folder's permission alone would allow.
bool mayWrite(const fs::path& path) {
#ifdef _WIN32
    return _waccess(path.c_str(), 2) == 0;
#else
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

std::FILE* createExclusively(const fs::path& path) {
    // "x": never open a file that someone else created under the same name.
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

std::string randomSuffix() {
    static std::mt19937 generator{std::random_device{}()};
    static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string suffix(8, ' ');
    for (char& c : suffix)
        c = kAlphabet[pick(generator)];
    return suffix;
}

// The content, or the part of it the test seam lets through; false when cut short.
bool writeAll(std::FILE* file, std::string_view content) {
    std::size_t allowed = content.size();
    if (writeLimit && *writeLimit < allowed)
        allowed = *writeLimit;
    if (allowed > 0 && std::fwrite(content.data(), 1, allowed, file) != allowed)
        return false;
    return allowed == content.size();
}

// Puts the new file in the old one's place in one step.
bool replaceWith(const fs::path& temporary, const fs::path& target) {
#ifdef _WIN32
    // Windows' plain rename refuses an existing target. Write-through: the save is reported
    // done only once the move itself is on the disk.
    return ::MoveFileExW(temporary.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code ec;
    fs::rename(temporary, target, ec);
    return !ec;
#endif
}

fs::path finalTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path target = fs::canonical(path, ec);
        if (!ec)
            return target;
    }
    return path;
}

} // namespace

std::optional<std::string> readWholeFile(const fs::path& path) {
    std::FILE* file = openForReading(path);
    if (file == nullptr)
        return std::nullopt;
    std::string content;
    const bool ok = readAll(file, content);
    std::fclose(file);
    if (!ok)
        return std::nullopt;
    return content;
}

bool writeFileAtomically(const fs::path& path, std::string_view content) {
    const fs::path target = finalTarget(path);
    if (!target.has_filename())
        return false;
    std::error_code ec;
    if (fs::exists(fs::status(target, ec)) && !mayWrite(target))
        return false;

    fs::path temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && file == nullptr; ++attempt) {
        // Hidden beside the target, so the rename stays within one file system.
        fs::path name = ".";
        name += target.filename();
        name += ".tmp-" + randomSuffix();
        temporary = target.parent_path() / name;
        file = createExclusively(temporary);
    }
    if (file == nullptr)
        return false;

    bool ok = writeAll(file, content);
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;

    if (ok) {
        // A saved file keeps the permissions the old one had; failing that is no reason to
        // lose the save.
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(temporary, old.permissions(), ec);
        ok = replaceWith(temporary, target);
    }
    if (!ok)
        fs::remove(temporary, ec);
    return ok;
}

void setWriteLimitForTesting(std::optional<std::size_t> bytes) {
    writeLimit = bytes;
}

void setReadLimitForTesting(std::optional<std::size_t> bytes) {
    readLimit = bytes;
}

} // namespace zentrola
