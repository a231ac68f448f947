#pragma once
#include <string>
#include <string_view>

#include "app/main_view.h"

namespace merlinox {

// The busy marker as a lock file, so that command-line runs, windows on other displays
// and headless instances see each other's operations. The file is held with an advisory
// lock for as long as the operation runs; a file left behind by a program that died
// holds no lock and therefore marks nothing.
class BusyLockFile : public BusyMarker {
public:
    // The marker file "PendrakeDevil.lock" in directory, which is created if missing.
    explicit BusyLockFile(std::string directory);
    ~BusyLockFile() override;
    BusyLockFile(const BusyLockFile&) = delete;
    BusyLockFile& operator=(const BusyLockFile&) = delete;

    void Create(int x, int y) override;
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
    std::string directory_;
    std::string path_;
    int fd_ = -1;
};

}  // namespace merlinox
