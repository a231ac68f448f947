#include "app/busy_lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace merlinox::inline app {

namespace {

constexpr int kOpenFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

std::string Because(const std::string& what) { return what + ": " + std::strerror(errno); }

// True when fd is still the file at path: a holder may have unlinked it between our
// open and our lock.
bool StillLinked(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

// The holder's process id, for a person looking at the file. fd is the regular file
// itself (opened without following a link), so this writes nowhere else.
void NoteHolder(int fd) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%ld\n", static_cast<long>(::getpid()));
    if (::ftruncate(fd, 0) == 0 && n > 0) {
        const ssize_t written = ::write(fd, text, static_cast<std::size_t>(n));
        static_cast<void>(written);
    }
}

}  // namespace

BusyLockFile::BusyLockFile(std::string directory, uid_t owner)
    : directory_(std::move(directory)),
      path_(directory_ + "/" + std::string(kBusyWindowTitle) + ".lock"),
      owner_(owner) {}

BusyLockFile::~BusyLockFile() { Destroy(); }

std::string BusyLockFile::DefaultDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime) + "/merlinox";
    return "/tmp/merlinox-" + std::to_string(::getuid());
}

// Creates the directory (one level: a runtime directory that is missing is an error of
// the session, not ours to make) and checks that it is ours alone.
std::string BusyLockFile::DirectoryProblem() const {
    const std::string where = "the lock directory " + directory_;
    if (::mkdir(directory_.c_str(), 0700) != 0 && errno != EEXIST) return Because(where);
    struct stat info {};
    if (::lstat(directory_.c_str(), &info) != 0) return Because(where);
    if (!S_ISDIR(info.st_mode)) return where + " is not a directory";
    if (info.st_uid != owner_) {
        return where + " belongs to user " + std::to_string(info.st_uid) + ", not to user " +
               std::to_string(owner_);
    }
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return where + " has mode " + mode + "; others must have no access (chmod 700)";
    }
    return {};
}

std::string BusyLockFile::OpenAndLock(int& fd) const {
    for (int attempt = 0; attempt < 3; ++attempt) {
        fd = ::open(path_.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0600);
        if (fd < 0) {
            if (errno == ELOOP) return "the lock file " + path_ + " is a symbolic link";
            return Because("the lock file " + path_);
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            fd = -1;
            return "the lock file " + path_ + " is not a regular file";
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            fd = -1;
            return "another operation is running (lock file " + path_ + ")";
        }
        if (StillLinked(fd, path_)) return {};
        ::close(fd);
        fd = -1;
    }
    return "the lock file " + path_ + " keeps being replaced";
}

std::string BusyLockFile::Create(int, int) {
    if (fd_ >= 0) return {};
    if (std::string problem = DirectoryProblem(); !problem.empty()) return problem;
    int fd = -1;
    if (std::string problem = OpenAndLock(fd); !problem.empty()) return problem;
    NoteHolder(fd);
    fd_ = fd;
    return {};
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
    const int fd = ::open(path_.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) return false;
    // A second open file description conflicts with any holder, in this process too.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool BusyLockFile::WindowTitledExists(std::string_view title) {
    return title == kBusyWindowTitle && BusyWindowExists();
}

}  // namespace merlinox::inline app
