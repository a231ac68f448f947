#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/busy_lock_file.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

TEST(BusyLockFile, MarksTheOperationForAnotherMarkerOnTheSameDirectory) {
    const testing::ScratchDir scratch;
    BusyLockFile mine(scratch.Path("busy"));
    BusyLockFile other(scratch.Path("busy"));
    EXPECT_FALSE(other.BusyWindowExists());
    mine.Create(10, 20);
    EXPECT_TRUE(mine.Holding());
    EXPECT_TRUE(other.BusyWindowExists());
    EXPECT_TRUE(other.WindowTitledExists("PendrakeDevil"));
    EXPECT_FALSE(other.WindowTitledExists("Merlinox"));
    // A second operation cannot take the mark while the first holds it.
    other.Create(0, 0);
    EXPECT_FALSE(other.Holding());
    mine.Destroy();
    EXPECT_FALSE(other.BusyWindowExists());
    EXPECT_FALSE(std::filesystem::exists(mine.Path()));
    mine.Destroy();  // harmless twice
}

// Another process holding the mark is seen by the command-line tool's test; a holder
// that died without removing it leaves the file behind but no running operation.
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

TEST(BusyLockFile, UnusableDirectoryLeavesTheOperationUnmarked) {
    const testing::ScratchDir scratch;
    BusyLockFile marker(scratch.Write("file", "not a directory") + "/sub");
    marker.Create(0, 0);
    EXPECT_FALSE(marker.Holding());
    EXPECT_FALSE(marker.BusyWindowExists());
}

}  // namespace
}  // namespace merlinox
