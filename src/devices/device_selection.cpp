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

// The stored index selects its entry; an index beyond the last one falls back to the
// first entry. A negative index is left alone and then selects nothing.
void SettleIndex(std::int32_t& index, int last) {
    if (index > last) index = 0;
}

}  // namespace

int FillManufacturerList(Context& ctx, MainView& view) {
    if (OpenLibrary(ctx) != 0) {
        view.AppendToList(kManufacturerList, "Keine Hersteller");
        view.SelectInList(kManufacturerList, ctx.settings.manufIndex);
        return kListEnd;
    }
    int last = -1;
    while (NextManufacturer(ctx) != kListEnd) {
        view.AppendToList(kManufacturerList, ctx.library.manufacturerName);
        ++last;
    }
    SettleIndex(ctx.settings.manufIndex, last);
    CloseLibrary(ctx);
    if (last == -1) view.AppendToList(kManufacturerList, "Keine Hersteller");
    view.SelectInList(kManufacturerList, ctx.settings.manufIndex);
    return last >= 0 ? 0 : kListEnd;
}

int FillDeviceList(Context& ctx, MainView& view) {
    view.ResetList(kDeviceList);
    if (OpenLibrary(ctx) != 0) {
        view.AppendToList(kDeviceList, "Keine Bausteine");
        view.SelectInList(kDeviceList, ctx.settings.deviceIndex);
        return kListEnd;
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
    if (last == -1) view.AppendToList(kDeviceList, "Keine Bausteine");
    view.SelectInList(kDeviceList, ctx.settings.deviceIndex);
    return last >= 0 ? 0 : kListEnd;
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
