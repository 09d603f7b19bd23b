#include "files/AtomicFile.h"

#include "TestFiles.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zentrola;
namespace fs = std::filesystem;

namespace {

// Switches the injected failure off again whatever the test does.
struct WriteLimit {
    explicit WriteLimit(std::size_t bytes) { setWriteLimitForTesting(bytes); }
    ~WriteLimit() { setWriteLimitForTesting(std::nullopt); }
};
struct ReadLimit {
    explicit ReadLimit(std::size_t bytes) { setReadLimitForTesting(bytes); }
    ~ReadLimit() { setReadLimitForTesting(std::nullopt); }
};

} // namespace

TEST(AtomicFile, CreatesAndReplacesWithoutLeftovers) {
    test::ScratchDir dir;
    const fs::path file = dir / "a.txt";
    ASSERT_TRUE(writeFileAtomically(file, "first"));
    EXPECT_EQ(readWholeFile(file), "first");
    ASSERT_TRUE(writeFileAtomically(file, std::string(100000, 'x')));
    EXPECT_EQ(readWholeFile(file)->size(), 100000u);
    ASSERT_TRUE(writeFileAtomically(file, ""));
    EXPECT_EQ(readWholeFile(file), "");
    EXPECT_EQ(dir.entries(), 1u);
    EXPECT_FALSE(readWholeFile(dir / "missing"));
}

TEST(AtomicFile, AReadThatFailsAnywhereGivesNothing) {
    test::ScratchDir dir;
    const fs::path file = dir / "a.ign";
    test::writeText(file, std::string(10000, 'x'));
    {
        ReadLimit limit(5000); // the disk fails part-way
        EXPECT_FALSE(readWholeFile(file));
    }
    {
        ReadLimit limit(20000); // beyond the end: no failure
        EXPECT_EQ(readWholeFile(file)->size(), 10000u);
    }
    // A folder opens but cannot be read; the system refuses to read this file; that device
    // never ends.
    for (const fs::path& p : {dir.path(), fs::path("/proc/self/mem"), fs::path("/dev/zero")})
        if (fs::exists(p)) {
            EXPECT_FALSE(readWholeFile(p)) << p;
        }
}

TEST(AtomicFile, AFileTheUserMayNotWriteIsNotReplaced) {
    test::ScratchDir dir;
    // Anyone may create files here, so only the file's own permission can stop the rename.
    fs::permissions(dir.path(), fs::perms::all);
    const fs::path file = dir / "a.ign";
    test::writeText(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const auto refused = zentrola::testing::asUnprivilegedUser([&] {
        return !writeFileAtomically(file, "new") && writeFileAtomically(dir / "b.ign", "new");
    });
    if (!refused)
        GTEST_SKIP() << "cannot run as a user without root's rights here";
    EXPECT_TRUE(*refused);
    EXPECT_EQ(test::readText(file), "old");
    EXPECT_EQ(dir.entries(), 2u);                // no temporary file left
    fs::permissions(file, fs::perms::owner_all); // Windows removes no read-only file
}

TEST(AtomicFile, FailurePartWayLeavesTheOldFileWhole) {
    test::ScratchDir dir;
    const fs::path file = dir / "a.txt";
    const std::string old = "old content\r\n";
    test::writeText(file, old);
    {
        WriteLimit limit(5);
        EXPECT_FALSE(writeFileAtomically(file, "new content that is longer"));
        EXPECT_FALSE(writeFileAtomically(dir / "b.txt", "never there"));
    }
    EXPECT_EQ(test::readText(file), old);
    EXPECT_FALSE(fs::exists(dir / "b.txt"));
    EXPECT_EQ(dir.entries(), 1u);
    // Content that fits under the limit is still saved.
    WriteLimit limit(100);
    EXPECT_TRUE(writeFileAtomically(file, "short"));
    EXPECT_EQ(test::readText(file), "short");
}

TEST(AtomicFile, UnwritableTargetsFail) {
    test::ScratchDir dir;
    test::writeText(dir / "plain", "x");
    // A folder that is a regular file can never be written, even by root.
    EXPECT_FALSE(writeFileAtomically(dir / "plain" / "a.txt", "y"));
    EXPECT_FALSE(writeFileAtomically(dir / "no-such-folder" / "a.txt", "y"));
    // A folder where the file should be.
    fs::create_directory(dir / "sub");
    EXPECT_FALSE(writeFileAtomically(dir / "sub", "y"));
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_EQ(test::readText(dir / "plain"), "x");
    EXPECT_EQ(dir.entries(), 2u);
}

TEST(AtomicFile, ReadOnlyFolderFails) {
    test::ScratchDir dir;
    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    test::writeText(locked / "a.txt", "old");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    // Root writes into read-only folders anyway; then there is nothing to test here.
    const bool stillWritable = std::ofstream(locked / "probe").good();
    if (stillWritable) {
        fs::permissions(locked, fs::perms::owner_all);
        GTEST_SKIP() << "read-only folders are writable for this user (root)";
    }
    EXPECT_FALSE(writeFileAtomically(locked / "a.txt", "new"));
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(test::readText(locked / "a.txt"), "old");
}

TEST(AtomicFile, FullDiskLeavesTheOldFileWhole) {
    test::ScratchDir dir;
    const fs::path mount = dir / "small";
    fs::create_directory(mount);
    const std::string mountCommand =
        "mount -t tmpfs -o size=16k tmpfs '" + mount.string() + "' 2>/dev/null";
    if (std::system(mountCommand.c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here; the injected failure covers this";
    struct Unmount {
        std::string command;
        ~Unmount() { [[maybe_unused]] int rc = std::system(command.c_str()); }
    } unmount{"umount '" + mount.string() + "'"};

    const fs::path file = mount / "a.ini";
    const std::string old(12000, 'o');
    ASSERT_TRUE(writeFileAtomically(file, old));
    // Too big for the disk: the write itself fails.
    EXPECT_FALSE(writeFileAtomically(file, std::string(64 * 1024, 'n')));
    EXPECT_EQ(test::readText(file), old);
    // Small enough for the stream's buffer but not beside the old file: only the flush or
    // the close can tell.
    EXPECT_FALSE(writeFileAtomically(file, std::string(6000, 'n')));
    EXPECT_EQ(test::readText(file), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(mount))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(AtomicFile, SymbolicLinkIsWrittenThrough) {
    test::ScratchDir dir;
    test::writeText(dir / "real.ini", "old");
    std::error_code ec;
    fs::create_symlink(dir / "real.ini", dir / "link.ini", ec);
    if (ec)
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_TRUE(writeFileAtomically(dir / "link.ini", "new"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(test::readText(dir / "real.ini"), "new");
}
