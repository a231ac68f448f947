#pragma once
#include <memory>
#include <string>

#include "app/busy_lock_file.h"
#include "core/main_view.h"

class QWidget;

namespace merlinox::gui {

// The busy marker of the window program: a small top-level window titled
// "PendrakeDevil" that other programs on the display find by its title, plus the lock
// file that command-line and headless instances see. A running operation is seen in
// either form, from this program or another one.
class DesktopBusyMarker : public BusyMarker {
public:
    explicit DesktopBusyMarker(std::string lockDirectory = BusyLockFile::DefaultDirectory());
    ~DesktopBusyMarker() override;

    std::string Create(int x, int y) override;
    void Destroy() override;
    bool BusyWindowExists() override;
    bool WindowTitledExists(std::string_view title) override;

    const std::string& LockPath() const { return lockFile_.Path(); }
    // This program's busy window while an operation runs, else null.
    QWidget* Window() const { return window_.get(); }

private:
    BusyLockFile lockFile_;
    std::unique_ptr<QWidget> window_;
};

}  // namespace merlinox::gui
