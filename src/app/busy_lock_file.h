#pragma once
#include <sys/types.h>
#include <unistd.h>

#include <string>
#include <string_view>

#include "core/main_view.h"

namespace merlinox::inline app {

// The busy marker as a lock file, so that command-line runs, windows on other displays
// and headless instances see each other's operations. The file is held with an advisory
// lock for as long as the operation runs; a file left behind by a program that died
// holds no lock and therefore marks nothing.
//
// The directory may lie in a place others can write to (/tmp without a runtime
// directory), so it is used only when it is a real directory of the user's own that no
// one else may enter (mode 0700 or narrower), and the lock file is never opened through
// a link. An operation that cannot be marked does not run.
class BusyLockFile : public BusyMarker {
public:
    // The marker file "PendrakeDevil.lock" in directory. The directory is created (one
    // level, mode 0700) if missing; it must belong to owner.
    explicit BusyLockFile(std::string directory, uid_t owner = ::getuid());
    ~BusyLockFile() override;
    BusyLockFile(const BusyLockFile&) = delete;
    BusyLockFile& operator=(const BusyLockFile&) = delete;

    std::string Create(int x, int y) override;
    void Destroy() override;
    bool BusyWindowExists() override;
    // The lock file knows only the busy window's title.
    bool WindowTitledExists(std::string_view title) override;

    bool Holding() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // $XDG_RUNTIME_DIR/merlinox, or a directory of the user's own under /tmp when the
    // session has no runtime directory.
    static std::string DefaultDirectory();

private:
    std::string DirectoryProblem() const;
    std::string OpenAndLock(int& fd) const;

    std::string directory_;
    std::string path_;
    uid_t owner_;
    int fd_ = -1;
};

}  // namespace merlinox::inline app
