#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "setup/file_copy.h"
#include "support/test_support.h"

namespace {

std::string copied_bytes(const std::string& path)
{
    bool ok = false;
    std::string bytes = test::read_file(path, &ok);
    EXPECT_TRUE(ok) << path << " is missing";
    return bytes;
}

TEST(CopyOneFile, CopiesEverySizeByteForByte)
{
    test::ScratchFolder dir("copy-sizes");
    // Around the chunk size, so that a lost, repeated or shortened last chunk shows.
    const size_t sizes[] = {0, 1, 4096, 61439, 61440, 61441, COPY_CHUNK_MAX - 1, COPY_CHUNK_MAX, COPY_CHUNK_MAX + 1,
                            3 * COPY_CHUNK_MAX + 17, 1000003};
    for (size_t size : sizes) {
        const std::string source = dir / ("src-" + std::to_string(size));
        const std::string target = dir / ("dst-" + std::to_string(size));
        const std::string bytes = test::pattern_bytes(std::to_string(size), size);
        ASSERT_TRUE(test::write_file(source, bytes));
        EXPECT_EQ(copy_one_file(source.c_str(), target.c_str()), 0) << size << " bytes";
        EXPECT_TRUE(copied_bytes(target) == bytes) << size << " bytes differ";
        EXPECT_TRUE(copied_bytes(source) == bytes) << "the source of " << size << " bytes changed";
    }
}

TEST(CopyOneFile, ReplacesAnExistingTargetWithOrdinaryAttributes)
{
    test::ScratchFolder dir("copy-replace");
    ASSERT_TRUE(test::write_file(dir / "new", "new contents"));
    ASSERT_TRUE(test::write_file(dir / "old", test::pattern_bytes("old", 200000)));
    ASSERT_TRUE(SetFileAttributesA((dir / "new").c_str(), FILE_ATTRIBUTE_HIDDEN));

    EXPECT_EQ(copy_one_file((dir / "new").c_str(), (dir / "old").c_str()), 0);
    EXPECT_EQ(copied_bytes(dir / "old"), "new contents");
    const DWORD attributes = GetFileAttributesA((dir / "old").c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u)
        << "only the bytes are copied, attributes 0x" << std::hex << attributes;
}

TEST(CopyOneFile, ReadOnlyTargetIsRefusedAndKept)
{
    test::ScratchFolder dir("copy-readonly");
    ASSERT_TRUE(test::write_file(dir / "src", "new"));
    ASSERT_TRUE(test::write_file(dir / "dst", "precious"));
    ASSERT_TRUE(SetFileAttributesA((dir / "dst").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(copy_one_file((dir / "src").c_str(), (dir / "dst").c_str()), EACCES);
    SetFileAttributesA((dir / "dst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(copied_bytes(dir / "dst"), "precious");
}

TEST(CopyOneFile, MissingSourceCreatesNoTarget)
{
    test::ScratchFolder dir("copy-missing");
    EXPECT_EQ(copy_one_file((dir / "absent").c_str(), (dir / "dst").c_str()), ENOENT);
    EXPECT_FALSE(test::file_exists(dir / "dst"));

    ASSERT_TRUE(test::write_file(dir / "kept", "old"));
    EXPECT_EQ(copy_one_file((dir / "absent").c_str(), (dir / "kept").c_str()), ENOENT);
    EXPECT_EQ(copied_bytes(dir / "kept"), "old") << "a failed open must not touch the target";
}

TEST(CopyOneFile, TargetInAMissingFolderFails)
{
    test::ScratchFolder dir("copy-nofolder");
    ASSERT_TRUE(test::write_file(dir / "src", "x"));
    EXPECT_EQ(copy_one_file((dir / "src").c_str(), (dir / "no\\such\\dst").c_str()), ENOENT);
}

TEST(CopyOneFile, AReadErrorMidwayLeavesNoPartialTarget)
{
    test::ScratchFolder dir("copy-partial");
    const std::string source = dir / "src";
    ASSERT_TRUE(test::write_file(source, test::pattern_bytes("locked", 4 * COPY_CHUNK_MAX)));

    // Lock a range past the first chunk: the first chunk is written, then the read fails.
    HANDLE locker = CreateFileA(source.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    OVERLAPPED at = {};
    at.Offset = 2 * COPY_CHUNK_MAX;
    if (!LockFileEx(locker, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 100, 0, &at)) {
        CloseHandle(locker);
        GTEST_SKIP() << "byte-range locks are not available here";
    }

    const int code = copy_one_file(source.c_str(), (dir / "dst").c_str());
    UnlockFileEx(locker, 0, 100, 0, &at);
    CloseHandle(locker);

    if (code == 0)
        GTEST_SKIP() << "this platform does not enforce byte-range locks on reads";
    EXPECT_EQ(code, EACCES);
    EXPECT_FALSE(test::file_exists(dir / "dst")) << "a truncated target was left behind";
}

} // namespace
