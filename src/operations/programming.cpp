#include "operations/programming.h"

#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "config/data_file_paths.h"
#include "files/data_loader.h"
#include "files/elf_image.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/confirmations.h"
#include "operations/erase.h"
#include "operations/mode_guard.h"
#include "operations/pass_file.h"
#include "operations/progress.h"
#include "protocols/parallel.h"

namespace merlinox {

namespace {

constexpr std::uint8_t kParWriteFlash = 0x10;
constexpr std::uint8_t kParWriteEeprom = 0x11;

void ShowPageSizeRefusal(Context& ctx, const char* memory) {
    ShowInfo(ctx, ctx.messageBuffer.Format(
                      "Der Bibliothekseintrag von %s gibt für den %s\n"
                      "eine Seitengröße von 0 an.\n\n"
                      "So kann der Baustein nicht programmiert werden.\n"
                      "Bitte den Eintrag in at90list.csv berichtigen.\n\n"
                      "*** Vorgang abgebrochen ! ***",
                      ctx.device.name.c_str(), memory));
}

}  // namespace

int CheckPageSizes(Context& ctx) {
    const DeviceRecord& dev = ctx.device;
    const bool paged = dev.programmingMode == kPar4 || dev.programmingMode == kMspi1 ||
                       dev.programmingMode == kMspi2;
    if (!paged) return 0;
    if (dev.flashPageWords == 0) {
        ShowPageSizeRefusal(ctx, "Programmspeicher");
        return 7;
    }
    if (dev.programmingMode == kPar4 && dev.eepromBytes != 0 && dev.eepromPageBytes == 0) {
        ShowPageSizeRefusal(ctx, "Daten-EEPROM");
        return 7;
    }
    return 0;
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
    if (!ModeGuard(ctx, "ProgramAVR")) return 5;
    if (CheckPageSizes(ctx) != 0) return 7;
    InitProgress(ctx, ImageCells(ctx, kind));
    if (first == 1) {
        BoardInit(ctx);
        if (format < kFormatBinary || format > kFormatElf) return 7;
        if (ConfirmProgram(ctx, ProgramFormatLabel(format)) != kIdOk) return 7;
    }
    EnableCancelButton(ctx, true);
    if (kind == kFlash) {
        PowerOn(ctx);
        if (IdCheckFails(ctx)) return 7;
        Erase(ctx);  // a failed erase shows in the read-back and in the verify
        SetStatusLine(ctx, "Programmiere Programmspeicher");
    } else {
        SetStatusLine(ctx, "Programmiere DatenEEPROM");
    }
    RepaintWindow(ctx);
    if (IsParallelMode(ctx.device.programmingMode)) {
        ParLoadCommand(ctx, kind == kFlash ? kParWriteFlash : kParWriteEeprom);
    }
    const int r = Do_Program(ctx, kind);
    SetProgressPosition(ctx, 0);
    if (r != 0) return 7;
    return CancelRequested(ctx) ? 3 : 0;
}

int Do_Program(Context& ctx, MemoryKind kind) {
    if (!ModeGuard(ctx, "Do_Program")) return 5;
    int r = 0;
    switch (ctx.device.programmingMode) {
    case kPar1:
    case kPar2:
        r = ProgramPar12(ctx, kind);
        break;
    case kPar3:
        r = ProgramPar3(ctx, kind);
        break;
    case kPar4:
        r = ProgramPar4(ctx, kind);
        break;
    case kSpi1:
    case kSpi2:
        r = ProgramSpi(ctx, kind);
        break;
    default:
        r = ProgramMspi(ctx, kind);
        break;
    }
    if (CancelRequested(ctx)) ShowInfo(ctx, "Programmierung abgebrochen !");
    return r;
}

}  // namespace merlinox
