#include "app/busy_lock_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/scratch_dir.h"

namespace merlinox {
namespace {

// A holder that died leaves the file behind but no running operation.
TEST(BusyLockFile, IsNotSeenAfterTheHolderDied) {
    const testing::ScratchDir scratch;
    const std::string dir = scratch.Path("busy");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        BusyLockFile marker(dir);
        marker.Create(0, 0);
        ::_exit(marker.Holding() ? 0 : 1);  // without Destroy
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0) << "the child could not take the mark";
    EXPECT_TRUE(std::filesystem::exists(dir + "/PendrakeDevil.lock"));
    BusyLockFile observer(dir);
    EXPECT_FALSE(observer.BusyWindowExists());
    observer.Create(0, 0);
    EXPECT_TRUE(observer.Holding());
    observer.Destroy();
}

// The directory may be one that others can write to (/tmp without a runtime directory):
// the operation is refused, with the reason, rather than run unmarked or marked in a
// place someone else controls.
TEST(BusyLockFile, RefusesADirectoryOrLockFileItCannotTrust) {
    const testing::ScratchDir scratch;
    const auto refusal = [](BusyLockFile& marker) {
        std::string problem = marker.Create(0, 0);
        EXPECT_FALSE(marker.Holding()) << marker.Path();
        EXPECT_FALSE(marker.BusyWindowExists());
        return problem;
    };
    BusyLockFile underFile(scratch.Write("file", "not a directory") + "/sub");
    EXPECT_NE(refusal(underFile).find("/file/sub: Not a directory"), std::string::npos);
    // A session whose runtime directory is gone: not ours to make.
    BusyLockFile noRuntime(scratch.Path("missing") + "/merlinox");
    EXPECT_NE(refusal(noRuntime).find("No such file or directory"), std::string::npos);

    std::filesystem::create_directory(scratch.Path("open"));
    std::filesystem::permissions(scratch.Path("open"), std::filesystem::perms::all);
    BusyLockFile wide(scratch.Path("open"));
    EXPECT_EQ(refusal(wide), "the lock directory " + scratch.Path("open") +
                                 " has mode 0777; others must have no access (chmod 700)");
    BusyLockFile foreign(scratch.Path("mine"), ::getuid() + 1);
    EXPECT_EQ(refusal(foreign), "the lock directory " + scratch.Path("mine") + " belongs to user " +
                                    std::to_string(::getuid()) + ", not to user " +
                                    std::to_string(::getuid() + 1));
    std::filesystem::create_directory_symlink(scratch.Path("mine"), scratch.Path("link"));
    BusyLockFile linkedDirectory(scratch.Path("link"));
    EXPECT_NE(refusal(linkedDirectory).find("is not a directory"), std::string::npos);

    // A link planted where the lock file goes is neither followed nor written through.
    const std::string victim = scratch.Write("victim", "precious");
    BusyLockFile planted(scratch.Path("mine"));
    std::filesystem::create_symlink(victim, planted.Path());
    EXPECT_EQ(refusal(planted), "the lock file " + planted.Path() + " is a symbolic link");
    EXPECT_EQ(scratch.Read("victim"), "precious");
    std::filesystem::remove(planted.Path());
    ASSERT_EQ(::mkfifo(planted.Path().c_str(), 0600), 0);
    EXPECT_EQ(refusal(planted), "the lock file " + planted.Path() + " is not a regular file");
    std::filesystem::remove(planted.Path());
    EXPECT_EQ(planted.Create(0, 0), "");
    EXPECT_TRUE(planted.Holding());
}

}  // namespace
}  // namespace merlinox
