#include "operations/verify.h"

#include <cstdint>

#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "link/board_control.h"
#include "operations/blank_check.h"
#include "operations/cell_access.h"
#include "operations/confirmations.h"
#include "operations/pass_file.h"
#include "operations/progress.h"

namespace merlinox::inline operations {

int VerifyFile(Context& ctx, const std::string& path, int first, MemoryKind kind) {
    return RunPassOnFile(ctx, path, first, kind, &VerifyAVR);
}

int VerifyAVR(Context& ctx, int format, int first, MemoryKind kind) {
    if (!ModeGuard(ctx, "VerifyAVR")) return kNoProgrammingMode;
    InitProgress(ctx, ImageCells(ctx, kind));
    if (first == 1) {
        BoardInit(ctx);
        if (format < kFormatBinary || format > kFormatElf) return kVerifyFailed;
        if (ConfirmVerify(ctx, VerifyFormatLabel(format)) != kIdOk) return kVerifyFailed;
        PowerOn(ctx);
    }
    EnableCancelButton(ctx, true);
    // Every pass checks the signature, so the EEPROM pass reads it again.
    if (IdCheckFails(ctx)) return kVerifyFailed;
    SetStatusLine(ctx, kind == kFlash ? "Prüfe Programmspeicher" : "Prüfe DatenEEPROM");
    RepaintWindow(ctx);
    LoadReadCommand(ctx, kind);
    const int r = VerifyData(ctx, kind);
    SetProgressPosition(ctx, 0);
    return r;
}

namespace {

// Unattended, every difference would be answered with Retry: a chip full of them gives
// tens of thousands of reports. The first ones are shown in full, the rest counted.
constexpr std::uint32_t kDifferencesShownUnattended = 10;

}  // namespace

int VerifyData(Context& ctx, MemoryKind kind) {
    if (!ModeGuard(ctx, "VerifyData")) return kNoProgrammingMode;
    const std::uint32_t h = ctx.image.highestAddress < MemoryImage::kSize ? ctx.image.highestAddress
                                                                          : MemoryImage::kSize - 1;
    const auto& bytes = ctx.image.bytes;
    const bool unattended = ctx.ui->AnswersUnattended();
    std::uint32_t differences = 0;
    int answer = 0;
    for (std::uint32_t i = 0; i <= h;) {
        if (kind == kEeprom) {
            const std::uint8_t read = ReadEepromByteAt(ctx, i);
            if (read != bytes[i] && (++differences <= kDifferencesShownUnattended || !unattended)) {
                answer = AskRetryCancel(
                    ctx, ctx.messageBuffer.Format("Daten EEPROM Verifyfehler an\n\n"
                                                  "Adresse 0x%08lX\nByte 0x%02X\nGelesen 0x%02X",
                                                  static_cast<unsigned long>(i), bytes[i], read));
            }
            i += 1;
        } else {
            const std::uint32_t w = i / 2;
            const std::uint16_t expected = static_cast<std::uint16_t>(
                bytes[i] | ((i + 1 < MemoryImage::kSize ? bytes[i + 1] : 0xFF) << 8));
            const std::uint16_t read = ReadFlashWordAt(ctx, w);
            if (read != expected && (++differences <= kDifferencesShownUnattended || !unattended)) {
                answer = AskRetryCancel(
                    ctx, ctx.messageBuffer.Format("Verifyfehler an Adresse 0x%08lX\n"
                                                  "Wort 0x%04X\nGelesen 0x%04X",
                                                  static_cast<unsigned long>(w), expected, read));
            }
            i += 2;
        }
        StepProgress(ctx);
        if (answer == kIdCancel || CancelRequested(ctx)) break;
    }
    if (unattended && differences > kDifferencesShownUnattended) {
        ShowInfo(ctx, ctx.messageBuffer.Format(
                          "%lu Verifyfehler insgesamt, die ersten %lu sind oben gezeigt.",
                          static_cast<unsigned long>(differences),
                          static_cast<unsigned long>(kDifferencesShownUnattended)));
    }
    if (answer != 0) return kVerifyFailed;
    if (CancelRequested(ctx)) {
        ShowInfo(ctx, "Prüfen abgebrochen");
        return kVerifyFailed;
    }
    return kOk;
}

}  // namespace merlinox::inline operations
