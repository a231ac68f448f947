#pragma once

namespace merlinox::inline core {
struct Context;
class MainView;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// The fuse and lock-bit panel on the main window, drawn from the panel's data
// (devices/fuse_panel.h).

// Relabels, enables and checks the 32 boxes for the current device and the four bytes.
// A device code without a row for its mode group is reported over a panel that already
// offers nothing but Lock1 and Lock2.
void EnableFuses(Context& ctx, MainView& view);

// The user's click on a box, after the box has changed its own state.
void OnFuseBoxClicked(Context& ctx, MainView& view, int controlId);

}  // namespace merlinox::inline app
