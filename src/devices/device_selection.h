#pragma once
#include <string>
#include <vector>

#include "core/result_code.h"

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline devices {

// The manufacturer list and the device list of the main window as data: the entries in
// library file order and the position to select. The list positions are the settings
// "ManufIndex" and "DeviceIndex"; whoever shows the lists draws them from this.

struct SelectionList {
    std::vector<std::string> entries;  // a list that would stay empty holds its placeholder
    // The position to select; one outside the list (a negative stored index) selects
    // nothing.
    int selected = -1;
    int result = kOk;  // kLibraryEnd when nothing but the placeholder is listed
};

// The active manufacturers. A stored "ManufIndex" beyond the last one falls back to the
// first. Placeholder "Keine Hersteller".
SelectionList ListManufacturers(Context& ctx);

// The devices of manufacturer "ManufIndex". Lines that do not parse are left out with
// their messages; ctx.library.deviceListLines remembers which library line each entry
// is, so that "DeviceIndex" keeps naming library lines as kestrel-cli --index does. A
// stored index that is not listed falls back to the first entry. Placeholder "Keine
// Bausteine". The current device record is not touched.
SelectionList ListDevices(Context& ctx);

// The list position of a library index, -1 when it is not listed; and back (a position
// outside the list is returned as it is).
int ListPosition(const Context& ctx, int libraryIndex);
int LibraryIndexAt(const Context& ctx, int position);

}  // namespace merlinox::inline devices
