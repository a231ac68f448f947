#include <string>

#include "app/operation_handlers.h"
#include "config/data_file_paths.h"
#include "config/windows_path.h"
#include "core/context.h"
#include "core/message_port.h"
#include "devices/library_reader.h"
#include "files/data_writers.h"
#include "link/timing.h"
#include "link/transport.h"
#include "operations/read_out.h"

namespace merlinox::inline app {

namespace {

constexpr std::string_view kSaveFilter =
    "*.* Alle Dateien|*.*|*.BIN Binär|*.bin|*.ROM;*.EEP Atmel AVR-Assembler|*.rom;*.eep|"
    "*.HEX Intel8|*.hex|*.HEX Intel32|*.hex|*.HEX IntelMCS|*.hex|"
    "*.HEX Motorola S1 Exorciser|*.hex|*.HEX Motorola S2 Exormax|*.hex|"
    "*.HEX Motorola S3 32Bit|*.hex||";

// The extension a saved file gets for its format; format 0 keeps what was typed.
std::string ExtensionFor(int format, const std::string& typed) {
    if (format == kFormatBinary) return ".bin";
    if (format == kFormatRom) return ".rom";
    if (format >= kFormatIntel8 && format <= kFormatS3) return ".hex";
    return typed;
}

bool Needs32BitAddresses(const DeviceRecord& device) {
    return 2ull * device.flashWords > kSixteenBitFormatLimit ||
           device.eepromBytes > kSixteenBitFormatLimit;
}

}  // namespace

// "Auslesen": the save dialog chooses the file and its format; the chip is then read
// into that file and its "eep" companion, which become the current data file.
int OperationHandlers::OnReadOutButton() {
    FileDialogRequest request;
    request.filter = kSaveFilter;
    request.filterIndex = ctx_.settings.dataFormat + 1;
    request.initialDirectory = DirectoryOnDisk(ctx_.paths);
    // The name without its extension; a ':' in it is part of the name, not a drive.
    request.initialName = ctx_.paths.fileName.substr(0, ctx_.paths.fileName.rfind('.'));
    request.defaultExtension = "hex";
    request.confirmOverwrite = true;
    if (busy_.BusyWindowExists()) return kRefusedBusy;
    const auto choice = dialogs_.Save(request);
    if (!choice) {
        CleanUp();
        return kSaveFailed;
    }
    ctx_.settings.dataFormat = choice->filterIndex - 1;
    const int format = ctx_.settings.dataFormat;
    if ((format == kFormatIntel8 || format == kFormatS1) && Needs32BitAddresses(ctx_.device)) {
        ShowInfo(ctx_, kSixteenBitFormatRefusal);
        return kSaveFailed;
    }
    if (ctx_.link.demoMode) {
        ShowDemoMessage(ctx_);
        return kRefusedDemo;
    }
    if (!CreateBusyWindow()) return kRefusedBusy;
    // The name gets the extension of its format; the typed one stays only for "*.*",
    // which saves binary.
    const std::string stored = StoredPathFromDisk(choice->path);
    const WindowsPathParts parts = SplitWindowsPath(stored);
    SetDataFile(ctx_.paths, parts.drive + parts.directory + parts.baseName +
                                ExtensionFor(format, parts.extension));
    if (format == kFormatNone) ctx_.settings.dataFormat = kFormatBinary;
    view_.SetText(kFileNameField, ctx_.paths.fileName);
    int r = LoadSelectedDevice(ctx_);
    if (r == 0) {
        LockControls();
        RaisePriority(ctx_);
        r = SaveAVR(ctx_);
        RestorePriority(ctx_);
        UnlockControls();
    }
    CleanUp();
    return r;
}

}  // namespace merlinox::inline app
