#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// The configuration as the program works with it: the settings of "pendrake.ini" around
// the selected device of the library, whose section holds the per-device half.

// Reads every setting from ctx.iniPath with its default and correction, then the
// selected device from the library (its messages shown, its result not checked) with
// its fuse defaults, then the device's own section and the data-file paths. The window
// and the command line start with it. Always 0.
int LoadConfiguration(Context& ctx);

// A device choice, shared by the window's list and the command line: saves the
// configuration for the device selected until now (the record still describes it, so
// its settings go to its own section), stores deviceIndex and writes it into the
// configuration file at once, then loads the configuration with the new device.
void SelectDevice(Context& ctx, int deviceIndex);

}  // namespace merlinox::inline app
