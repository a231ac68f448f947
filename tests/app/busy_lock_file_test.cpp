#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/busy_lock_file.h"

namespace merlinox {
namespace {

std::string FreshDirectory(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     (std::string("merlinox-busy-") + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    return dir.string();
}

TEST(BusyLockFile, MarksTheOperationForAnotherMarkerOnTheSameDirectory) {
    const std::string dir = FreshDirectory("same");
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
    std::filesystem::remove_all(dir);
}

TEST(BusyLockFile, IsSeenAcrossProcessesAndNotAfterTheHolderDied) {
    const std::string dir = FreshDirectory("proc");
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
    std::filesystem::remove_all(dir);
}

TEST(BusyLockFile, UnusableDirectoryLeavesTheOperationUnmarked) {
    const std::string file = FreshDirectory("file");
    { std::ofstream(file) << "not a directory"; }
    BusyLockFile marker(file + "/sub");
    marker.Create(0, 0);
    EXPECT_FALSE(marker.Holding());
    EXPECT_FALSE(marker.BusyWindowExists());
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace merlinox
