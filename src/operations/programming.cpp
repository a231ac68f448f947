#include "operations/programming.h"

#include <cstdint>

#include "config/data_file_paths.h"
#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "files/data_loader.h"
#include "files/elf_image.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/confirmations.h"
#include "operations/erase.h"
#include "operations/interface_ops.h"
#include "operations/pass_file.h"
#include "operations/progress.h"

namespace merlinox::inline operations {

namespace {

void ShowPageSizeRefusal(Context& ctx, const char* memory) {
    ShowInfo(ctx, ctx.messageBuffer.Format("Der Bibliothekseintrag von %s gibt für den %s\n"
                                           "eine Seitengröße von 0 an.\n\n"
                                           "So kann der Baustein nicht programmiert werden.\n"
                                           "Bitte den Eintrag in at90list.csv berichtigen.\n\n"
                                           "*** Vorgang abgebrochen ! ***",
                                           ctx.device.name.c_str(), memory));
}

}  // namespace

int CheckPageSizes(Context& ctx) {
    const InterfaceOps* ops = FindInterfaceOps(ctx.device.programmingMode);
    if (ops == nullptr) return kOk;
    const DeviceRecord& dev = ctx.device;
    if (ops->flash.pages != nullptr && dev.flashPageWords == 0) {
        ShowPageSizeRefusal(ctx, "Programmspeicher");
        return kProgrammingFailed;
    }
    if (ops->eeprom.pages != nullptr && dev.eepromBytes != 0 && dev.eepromPageBytes == 0) {
        ShowPageSizeRefusal(ctx, "Daten-EEPROM");
        return kProgrammingFailed;
    }
    return kOk;
}

int ProgramFile(Context& ctx, const std::string& path, int first, MemoryKind kind) {
    // The flash pass erases the chip. Its own file is loaded and checked before that;
    // the EEPROM companion is checked here too, so that a bad companion is refused while
    // the chip is untouched, not found after the flash was erased and programmed. The
    // fuse and lock bytes come from the panel's bits and need no such check.
    // An ELF file brings its own EEPROM part, checked by the flash load itself.
    if (kind == kFlash && first == 1 && ctx.device.eepromBytes > 0 && !HasElfMagic(path)) {
        const PassLoad companion = LoadFileForPass(ctx, EepromFileOnDisk(ctx.paths), kEeprom);
        CloseInputFile(ctx);
        if (companion.result != kLoadOk) return kLoadFailed;
    }
    return RunPassOnFile(ctx, path, first, kind, &ProgramAVR);
}

int ProgramAVR(Context& ctx, int format, int first, MemoryKind kind) {
    if (!ModeGuard(ctx, "ProgramAVR")) return kNoProgrammingMode;
    if (CheckPageSizes(ctx) != kOk) return kProgrammingFailed;
    InitProgress(ctx, ImageCells(ctx, kind));
    if (first == 1) {
        BoardInit(ctx);
        if (format < kFormatBinary || format > kFormatElf) return kProgrammingFailed;
        if (ConfirmProgram(ctx, ProgramFormatLabel(format)) != kIdOk) return kProgrammingFailed;
    }
    EnableCancelButton(ctx, true);
    if (kind == kFlash) {
        PowerOn(ctx);
        if (IdCheckFails(ctx)) return kProgrammingFailed;
        Erase(ctx);  // a failed erase shows in the read-back and in the verify
        SetStatusLine(ctx, "Programmiere Programmspeicher");
    } else {
        SetStatusLine(ctx, "Programmiere DatenEEPROM");
    }
    RepaintWindow(ctx);
    const MemoryAccess& memory = MemoryOf(ctx, kind);
    if (memory.prepareWrite != nullptr) memory.prepareWrite(ctx);
    const int r = Do_Program(ctx, kind);
    SetProgressPosition(ctx, 0);
    if (r != kOk) return kProgrammingFailed;
    // The code of a cancelled file load: the run was cancelled, nothing failed.
    return CancelRequested(ctx) ? kLoadFailed : kOk;
}

int Do_Program(Context& ctx, MemoryKind kind) {
    if (!ModeGuard(ctx, "Do_Program")) return kNoProgrammingMode;
    const int r = ProgramMemory(ctx, kind);
    if (CancelRequested(ctx)) ShowInfo(ctx, "Programmierung abgebrochen !");
    return r;
}

}  // namespace merlinox::inline operations
