#include "app/device_lists.h"

#include "app/device_configuration.h"
#include "app/fuse_panel_view.h"
#include "core/context.h"
#include "core/main_view.h"
#include "devices/device_selection.h"

namespace merlinox::inline app {

namespace {

int ShowList(MainView& view, int id, const SelectionList& list) {
    for (const std::string& entry : list.entries) view.AppendToList(id, entry);
    view.SelectInList(id, list.selected);
    return list.result;
}

}  // namespace

int FillManufacturerList(Context& ctx, MainView& view) {
    return ShowList(view, kManufacturerList, ListManufacturers(ctx));
}

int FillDeviceList(Context& ctx, MainView& view) {
    // Emptied before the library is read, so that a line's message is not shown over
    // the previous manufacturer's devices.
    view.ResetList(kDeviceList);
    return ShowList(view, kDeviceList, ListDevices(ctx));
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

}  // namespace merlinox::inline app
