#include "devices/device_selection.h"

#include <algorithm>

#include "core/context.h"
#include "core/main_view.h"
#include "core/message_port.h"
#include "config/configuration.h"
#include "config/ini_file.h"
#include "devices/fuse_panel.h"
#include "devices/library_reader.h"

namespace merlinox {

namespace {

constexpr std::string_view kNoManufacturers = "Keine Hersteller";
constexpr std::string_view kNoDevices = "Keine Bausteine";

// The stored index selects its entry; an index beyond the last one falls back to the
// first entry. A negative index is left alone and then selects nothing.
void SettleIndex(std::int32_t& index, int last) {
    if (index > last) index = 0;
}

// The end of a fill: a list that stayed empty holds its placeholder, the stored index
// is selected. 0 when something was listed.
int FinishList(MainView& view, int list, std::string_view placeholder, std::int32_t index,
               int last) {
    if (last == -1) view.AppendToList(list, placeholder);
    view.SelectInList(list, index);
    return last >= 0 ? 0 : kLibraryEnd;
}

}  // namespace

int FillManufacturerList(Context& ctx, MainView& view) {
    if (OpenLibrary(ctx) != 0) {
        return FinishList(view, kManufacturerList, kNoManufacturers, ctx.settings.manufIndex, -1);
    }
    int last = -1;
    while (NextManufacturer(ctx) != kLibraryEnd) {
        view.AppendToList(kManufacturerList, ctx.library.manufacturerName);
        ++last;
    }
    SettleIndex(ctx.settings.manufIndex, last);
    CloseLibrary(ctx);
    return FinishList(view, kManufacturerList, kNoManufacturers, ctx.settings.manufIndex, last);
}

int FillDeviceList(Context& ctx, MainView& view) {
    view.ResetList(kDeviceList);
    std::vector<int>& lines = ctx.library.deviceListLines;
    lines.clear();
    if (OpenLibrary(ctx) != 0) {
        return FinishList(view, kDeviceList, kNoDevices, ctx.settings.deviceIndex, -1);
    }
    // After a failure the next read meets the end of the file: the list stays empty.
    FindManufacturer(ctx);
    DeviceRecord scratch;
    // Every active line counts for the library index, parsed or not, as it does when
    // the selected device is loaded; only the parsed ones are listed.
    int line = 0;
    for (int result = NextDevice(ctx, scratch); result != kLibraryEnd;
         result = NextDevice(ctx, scratch), ++line) {
        if (result != 0) continue;  // the line's message has been shown
        view.AppendToList(kDeviceList, scratch.name);
        lines.push_back(line);
    }
    CloseLibrary(ctx);
    const int last = static_cast<int>(lines.size()) - 1;
    // The stored index names a library line; one that is not listed (beyond the last,
    // or a line that does not parse) falls back to the first entry.
    int position = ListPosition(ctx, ctx.settings.deviceIndex);
    if (position < 0 && ctx.settings.deviceIndex >= 0 && last >= 0) {
        position = 0;
        ctx.settings.deviceIndex = lines.front();
    }
    return FinishList(view, kDeviceList, kNoDevices, position, last);
}

int ListPosition(const Context& ctx, int libraryIndex) {
    const std::vector<int>& lines = ctx.library.deviceListLines;
    const auto found = std::find(lines.begin(), lines.end(), libraryIndex);
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

int LibraryIndexAt(const Context& ctx, int position) {
    const std::vector<int>& lines = ctx.library.deviceListLines;
    if (position < 0 || static_cast<std::size_t>(position) >= lines.size()) return position;
    return lines[static_cast<std::size_t>(position)];
}

void SelectDevice(Context& ctx, int deviceIndex) {
    // The record still describes the device selected until now, so its settings go to
    // its own section before the new index is taken.
    SaveConfiguration(ctx);
    ctx.settings.deviceIndex = deviceIndex;
    if (const int error = WriteProfileInt(ctx.iniPath, kProgramSection, "DeviceIndex",
                                          deviceIndex);
        error != 0) {
        ShowFileError(ctx, ctx.iniPath, error);
    }
    LoadConfiguration(ctx);
}

void ShowDeviceSettings(Context& ctx, MainView& view) {
    view.SetChecked(kFfSaveBox, ctx.settings.ffSave == 1);
    view.SetChecked(kTestChecksumBox, ctx.settings.testChecksum == 1);
    view.SetChecked(kIdCheckBox, ctx.settings.idCheck == 1);
    view.SetText(kFileNameField, ctx.paths.fileName);
    EnableFuses(ctx, view);
}

void OnManufacturerSelected(Context& ctx, MainView& view) {
    ctx.settings.manufIndex = view.SelectedIndex(kManufacturerList);
    FillDeviceList(ctx, view);
    OnDeviceSelected(ctx, view);
}

void OnDeviceSelected(Context& ctx, MainView& view) {
    SelectDevice(ctx, LibraryIndexAt(ctx, view.SelectedIndex(kDeviceList)));
    ShowDeviceSettings(ctx, view);
}

}  // namespace merlinox
