#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/busy_lock_file.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

TEST(BusyLockFile, MarksTheOperationForAnotherMarkerOnTheSameDirectory) {
    const testing::ScratchDir scratch;
    const std::string dir = scratch.Path("busy");
    BusyLockFile mine(dir);
    BusyLockFile other(dir);
    EXPECT_FALSE(other.BusyWindowExists());
    mine.Create(10, 20);
    EXPECT_TRUE(mine.Holding());
    EXPECT_TRUE(mine.BusyWindowExists());
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

TEST(BusyLockFile, IsSeenAcrossProcessesAndNotAfterTheHolderDied) {
    const testing::ScratchDir scratch;
    const std::string dir = scratch.Path("busy");
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        BusyLockFile marker(dir);
        marker.Create(0, 0);
        char c = marker.Holding() ? 'y' : 'n';
        static_cast<void>(::write(ready[1], &c, 1));
        static_cast<void>(::read(release[0], &c, 1));
        // Dies without Destroy: the file stays behind without a holder.
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    BusyLockFile observer(dir);
    EXPECT_TRUE(observer.BusyWindowExists());
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir + "/PendrakeDevil.lock"));
    EXPECT_FALSE(observer.BusyWindowExists());
    observer.Create(0, 0);
    EXPECT_TRUE(observer.Holding());
    observer.Destroy();
    for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
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
