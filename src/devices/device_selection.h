#pragma once

namespace merlinox {

struct Context;
class MainView;

// The manufacturer list (1004) and the device list (1011) of the main window, filled
// from the device library in file order, and the handlers that follow the user's
// choice. The list positions are the settings "ManufIndex" and "DeviceIndex".

// Filled once, at start-up; not emptied first. 0 when at least one manufacturer was
// listed, 15 otherwise (the list then holds "Keine Hersteller").
int FillManufacturerList(Context& ctx, MainView& view);

// The devices of manufacturer "ManufIndex". 0 when at least one device was listed, 15
// otherwise (the list then holds "Keine Bausteine"). Lines that do not parse are left
// out with their messages; the list remembers which library line each entry is, so
// that "DeviceIndex" keeps naming library lines as kestrel-cli --index does. The current
// device record is not touched.
int FillDeviceList(Context& ctx, MainView& view);

// The list position of a library index, -1 when it is not listed; and back (a position
// outside the list is returned as it is).
int ListPosition(const Context& ctx, int libraryIndex);
int LibraryIndexAt(const Context& ctx, int position);

// The part of a device choice that needs no window, shared with the command line:
// saves the configuration for the device selected until now (into its own section),
// stores deviceIndex and writes it into the configuration file at once, then reloads
// the configuration with the new device and its own settings.
void SelectDevice(Context& ctx, int deviceIndex);

// Shows the current device's options, data file name and fuse panel.
void ShowDeviceSettings(Context& ctx, MainView& view);

// The user picked a manufacturer: store it, refill the devices, select as below.
void OnManufacturerSelected(Context& ctx, MainView& view);
// The user picked a device (also run once at start-up).
void OnDeviceSelected(Context& ctx, MainView& view);

}  // namespace merlinox
