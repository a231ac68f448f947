#include "operations/blank_check.h"

#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "link/board_control.h"
#include "operations/cell_access.h"
#include "operations/confirmations.h"
#include "operations/progress.h"

namespace merlinox::inline operations {

namespace {

// One pass over a memory. Returns the last answer given to a report box (0 when none
// was shown); stops at the end, on a Cancel answer or when the Cancel button was seen.
int BlankPass(Context& ctx, MemoryKind kind, std::uint32_t cells, int answer) {
    for (std::uint32_t a = 0; a < cells;) {
        const std::uint16_t value = ReadCellAt(ctx, kind, a);
        if (kind == kFlash && value != 0xFFFF) {
            answer = AskRetryCancel(
                ctx, ctx.messageBuffer.Format("Programmspeicher \nBlank Check Fehler an\n"
                                              "Adresse %lu\nWort 0xFFFF\nGelesen 0x%04X",
                                              static_cast<unsigned long>(a), value));
        } else if (kind == kEeprom && value != 0xFF) {
            answer = AskRetryCancel(
                ctx, ctx.messageBuffer.Format("Daten EEPROM\nBlank Check Fehler\n"
                                              "Adresse %lu\nByte 0xFF\nGelesen 0x%02X",
                                              static_cast<unsigned long>(a), value));
        }
        a += 1;
        StepProgress(ctx);
        if (a >= cells) break;
        if (answer == kIdCancel || CancelRequested(ctx)) break;
    }
    return answer;
}

}  // namespace

int BlanckCheck(Context& ctx) {
    InitProgress(ctx, ctx.device.flashWords);
    if (!ModeGuard(ctx, "BlanckCheck")) return kNoProgrammingMode;
    BoardInit(ctx);
    if (ConfirmOperation(ctx, "LEERTEST") != kIdOk) return kVerifyFailed;
    EnableCancelButton(ctx, true);
    SetStatusLine(ctx, "Leertest Programmspeicher");
    RepaintWindow(ctx);
    PowerOn(ctx);
    if (IdCheckFails(ctx)) {
        PowerOff(ctx);
        return kNoProgrammingMode;
    }
    int answer = 0;
    LoadReadCommand(ctx, kFlash);
    answer = BlankPass(ctx, kFlash, ctx.device.flashWords, answer);
    if (answer != kIdCancel && !CancelRequested(ctx) && ctx.device.eepromBytes != 0) {
        InitProgress(ctx, ctx.device.eepromBytes);
        SetStatusLine(ctx, "Leertest DatenEEPROM");
        RepaintWindow(ctx);
        LoadReadCommand(ctx, kEeprom);
        answer = BlankPass(ctx, kEeprom, ctx.device.eepromBytes, answer);
    }
    BoardOff(ctx);
    SetProgressPosition(ctx, 0);
    if (answer == kIdCancel) return kNoProgrammingMode;
    if (CancelRequested(ctx)) {
        ShowInfo(ctx, "Leertest abgebrochen !");
        return kNoProgrammingMode;
    }
    if (answer == 0) {
        ShowInfo(ctx, "Baustein ist leer");
        return kOk;
    }
    return answer;
}

}  // namespace merlinox::inline operations
