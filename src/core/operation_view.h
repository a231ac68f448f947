#pragma once
#include <cstdint>
#include <string_view>

namespace merlinox::inline core {

// What a running operation shows besides its message boxes: the status line, the
// progress bar and the Cancel button. The window maps these onto its controls, the
// command line onto a progress line on stderr; without a view nothing is shown.
class OperationView {
public:
    virtual ~OperationView() = default;
    virtual void SetStatusText(std::string_view text) = 0;
    // The bar's range is always 0 to high.
    virtual void SetProgressRange(std::uint32_t high) = 0;
    virtual void SetProgressPosition(std::uint32_t position) = 0;
    virtual void EnableCancelButton(bool enable) = 0;
    // Draws the window now instead of at the next pump.
    virtual void Repaint() {}
};

}  // namespace merlinox::inline core
