#pragma once
#include <string_view>

#include "core/user_interface.h"

namespace merlinox::fuzzing {

// The fuzz targets' user interface: every box is dismissed, every question cancelled.
class SilentUi : public UserInterface {
public:
    int ShowBox(BoxKind, std::string_view) override { return kIdCancel; }
    void Beep() override {}
};

}  // namespace merlinox::fuzzing
