#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/TempFile.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

using test::ReadFileBytes;

// Sets TMPDIR for one test and puts the old value back afterwards.
class TmpDirVariable {
  public:
    explicit TmpDirVariable(const std::string& value) {
        if (const char* old = std::getenv("TMPDIR")) {
            old_ = old;
        }
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~TmpDirVariable() {
        if (old_) {
            ::setenv("TMPDIR", old_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    TmpDirVariable(const TmpDirVariable&) = delete;
    TmpDirVariable& operator=(const TmpDirVariable&) = delete;

  private:
    std::optional<std::string> old_;
};

dev_t DeviceOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_dev : 0;
}

TEST(TempFile, OpensCloseOnExecInTheGivenFolder) {
    test::TempDir dir;
    const auto file = OpenTempFile(dir.path(), "SKY");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->path.parent_path(), dir.path());
    EXPECT_EQ(file->path.filename().string().size(), 9u);
    const int flags = ::fcntl(file->fd, F_GETFD);
    ::close(file->fd);
    EXPECT_NE(flags & FD_CLOEXEC, 0);
    errno = 0;
    EXPECT_FALSE(OpenTempFile(dir / "missing", "SKY"));
    EXPECT_EQ(errno, ENOENT);
}

// The rename that makes a save atomic works only within one file system, so the temporary
// file must not follow the system's temporary folder anywhere.
TEST(AtomicFile, SavesWhereverTheSystemTemporaryFolderPoints) {
    test::TempDir dir;
    {
        TmpDirVariable nowhere((dir / "no such folder").string());
        ASSERT_EQ(WriteFileAtomically(dir / "a/file", "one", 0600), 0);
    }
    EXPECT_EQ(ReadFileBytes(dir / "a/file"), "one");
    for (const char* other : {"/dev/shm", "/run", "/tmp"}) {
        if (DeviceOf(other) == 0 || DeviceOf(other) == DeviceOf(dir.path())) {
            continue;
        }
        TmpDirVariable elsewhere(other);
        EXPECT_EQ(WriteFileAtomically(dir / "a/file", "two", 0600), 0) << other;
        EXPECT_EQ(ReadFileBytes(dir / "a/file"), "two") << other;
        break;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "a"),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace velto::platform
