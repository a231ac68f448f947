#include "app/busy_lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace merlinox {

namespace {

// Creates the directory (one level) if it does not exist yet, for the owner only. When
// it cannot be made, the open of the file fails and says so.
void EnsureDirectory(const std::string& directory) {
    if (!directory.empty()) static_cast<void>(::mkdir(directory.c_str(), 0700));
}

// True when fd is still the file at path: a holder may have unlinked it between our
// open and our lock.
bool StillLinked(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

}  // namespace

BusyLockFile::BusyLockFile(std::string directory)
    : directory_(std::move(directory)),
      path_(directory_ + "/" + std::string(kBusyWindowTitle) + ".lock") {}

BusyLockFile::~BusyLockFile() { Destroy(); }

std::string BusyLockFile::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime) + "/merlinox";
    return "/tmp/merlinox-" + std::to_string(::getuid());
}

void BusyLockFile::Create(int, int) {
    if (fd_ >= 0) return;
    EnsureDirectory(directory_);
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return;  // without a marker the operation still runs, unmarked
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return;
        }
        if (!StillLinked(fd, path_)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) return;
    // The holder's process id, for a person looking at the file.
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(fd, 0) == 0 && n > 0) {
        const ssize_t written = ::write(fd, text, static_cast<std::size_t>(n));
        static_cast<void>(written);
    }
    fd_ = fd;
}

void BusyLockFile::Destroy() {
    if (fd_ < 0) return;
    // Unlink while still locked, so that no other process locks the old file in between.
    ::unlink(path_.c_str());
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool BusyLockFile::BusyWindowExists() {
    if (fd_ >= 0) return true;
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // A second open file description conflicts with any holder, in this process too.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool BusyLockFile::WindowTitledExists(std::string_view title) {
    return title == kBusyWindowTitle && BusyWindowExists();
}

}  // namespace merlinox
