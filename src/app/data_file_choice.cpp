#include "app/data_file_choice.h"

#include "config/data_file_paths.h"
#include "core/context.h"
#include "core/main_view.h"
#include "core/result_code.h"

namespace merlinox::inline app {

namespace {

constexpr std::string_view kOpenFilter =
    "*.* Alle Dateien|*.*|*.BIN Binär-Dateien|*.bin|*.ROM Atmel AVR Assembler|*.rom|"
    "*.HEX Hex-Dateien|*.hex||";

}  // namespace

int ChooseDataFile(Context& ctx, MainView& view, FileDialogs& dialogs) {
    FileDialogRequest request;
    request.filter = kOpenFilter;
    request.filterIndex = ctx.settings.readFilter;
    request.initialDirectory = DirectoryOnDisk(ctx.paths);
    request.mustExist = true;
    const auto choice = dialogs.Open(request);
    if (!choice) return kLoadFailed;
    ctx.settings.readFilter = choice->filterIndex;
    SetDataFileFromDisk(ctx.paths, choice->path);
    view.SetText(kFileNameField, ctx.paths.fileName);
    return kOk;
}

}  // namespace merlinox::inline app
