#include "devices/device_selection.h"

#include "app/context.h"
#include "app/main_view.h"
#include "app/messages.h"
#include "config/configuration.h"
#include "config/ini_file.h"
#include "devices/fuse_panel.h"
#include "devices/library_reader.h"

namespace merlinox {

namespace {

constexpr int kListEnd = 15;  // NextManufacturer and NextDevice: nothing more to read
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
    return last >= 0 ? 0 : kListEnd;
}

}  // namespace

int FillManufacturerList(Context& ctx, MainView& view) {
    if (OpenLibrary(ctx) != 0) {
        return FinishList(view, kManufacturerList, kNoManufacturers, ctx.settings.manufIndex, -1);
    }
    int last = -1;
    while (NextManufacturer(ctx) != kListEnd) {
        view.AppendToList(kManufacturerList, ctx.library.manufacturerName);
        ++last;
    }
    SettleIndex(ctx.settings.manufIndex, last);
    CloseLibrary(ctx);
    return FinishList(view, kManufacturerList, kNoManufacturers, ctx.settings.manufIndex, last);
}

int FillDeviceList(Context& ctx, MainView& view) {
    view.ResetList(kDeviceList);
    if (OpenLibrary(ctx) != 0) {
        return FinishList(view, kDeviceList, kNoDevices, ctx.settings.deviceIndex, -1);
    }
    // After a failure the next read meets the end of the file: the list stays empty.
    FindManufacturer(ctx);
    int last = -1;
    DeviceRecord scratch;
    for (int result = NextDevice(ctx, scratch); result != kListEnd;
         result = NextDevice(ctx, scratch)) {
        if (result != 0) continue;  // the line's message has been shown
        view.AppendToList(kDeviceList, scratch.name);
        ++last;
    }
    SettleIndex(ctx.settings.deviceIndex, last);
    CloseLibrary(ctx);
    return FinishList(view, kDeviceList, kNoDevices, ctx.settings.deviceIndex, last);
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
    SelectDevice(ctx, view.SelectedIndex(kDeviceList));
    ShowDeviceSettings(ctx, view);
}

}  // namespace merlinox
