#pragma once
#include <string>
#include <string_view>

#include "app/busy_lock_file.h"

namespace merlinox::cli {

// The busy marker of the command line: the lock file, which it holds while it works,
// and, when the session has an X display, the busy window of a program on that display
// (the sibling program marks its operations with nothing else). The command line itself
// opens no window.
class CliBusyMarker : public BusyMarker {
public:
    explicit CliBusyMarker(std::string lockDirectory) : lockFile_(std::move(lockDirectory)) {}

    // Refuses beside a busy window on the display as beside a held lock file.
    std::string Create(int x, int y) override;
    void Destroy() override { lockFile_.Destroy(); }
    bool BusyWindowExists() override { return WindowTitledExists(kBusyWindowTitle); }
    bool WindowTitledExists(std::string_view title) override;

    const std::string& LockPath() const { return lockFile_.Path(); }

private:
    BusyLockFile lockFile_;
};

}  // namespace merlinox::cli
