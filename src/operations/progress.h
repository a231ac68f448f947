#pragma once
#include <cstdint>
#include <string_view>

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The progress bar of a pass. InitProgress sets the range for total cells (at most 50
// steps); StepProgress counts one cell and, every progressDivisor cells, services the
// window and advances the bar. The window is serviced nowhere else during a pass, so
// this is also where a press of the Cancel button arrives.
void InitProgress(Context& ctx, std::uint32_t total);
void StepProgress(Context& ctx);
void PumpMessages(Context& ctx);

// The pieces of the window an operation touches, through the operation view.
void SetStatusLine(Context& ctx, std::string_view text);
void RepaintWindow(Context& ctx);
void SetProgressPosition(Context& ctx, std::uint32_t position);
void EnableCancelButton(Context& ctx, bool enable);

// The Cancel button's handler: raises the flag and nothing else.
void RequestCancel(Context& ctx);
// True after a Cancel press, and when the board was lost during the operation.
bool CancelRequested(const Context& ctx);

}  // namespace merlinox::inline operations
