#pragma once

namespace merlinox::inline core {
struct Context;
class MainView;
}  // namespace merlinox::inline core

namespace merlinox::inline app {

// The manufacturer list (1004) and the device list (1011) of the main window, drawn
// from the library's lists (devices/device_selection.h), and the handlers that follow
// the user's choice.

// Filled once, at start-up; not emptied first. 0 when at least one manufacturer was
// listed, 15 otherwise (the list then holds "Keine Hersteller").
int FillManufacturerList(Context& ctx, MainView& view);

// The devices of manufacturer "ManufIndex". 0 when at least one device was listed, 15
// otherwise (the list then holds "Keine Bausteine").
int FillDeviceList(Context& ctx, MainView& view);

// Shows the current device's options, data file name and fuse panel.
void ShowDeviceSettings(Context& ctx, MainView& view);

// The user picked a manufacturer: store it, refill the devices, select as below.
void OnManufacturerSelected(Context& ctx, MainView& view);
// The user picked a device (also run once at start-up): the configuration follows the
// device (SelectDevice), and the window shows the new device's settings.
void OnDeviceSelected(Context& ctx, MainView& view);

}  // namespace merlinox::inline app
