#include "core/context.h"
#include "core/message_port.h"
#include "core/mode_guard.h"
#include "files/cell_source.h"
#include "files/data_writers.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/output_file.h"

namespace merlinox::inline files {

// One line per cell in the Atmel ROM format: "%06lX:%04lX" with word address and word
// for flash, "%04lX:%02lX" with byte address and byte for EEPROM.
int SaveROMHex(Context& ctx, const std::string& path, MemoryKind kind, std::uint32_t cellCount,
               CellSource& source) {
    if (!ModeGuard(ctx, "SaveROMHex")) return kNoProgrammingMode;
    const std::uint32_t blank = kind == kEeprom ? 0xFF : 0xFFFF;
    const bool ffSave = ctx.settings.ffSave != 0;

    OutputFile out;
    if (const int error = out.Open(path, false); error != 0) {
        ShowFileError(ctx, path, error);
        return kSaveFailed;
    }
    bool failed = false;
    bool cancelled = false;
    char line[32];
    for (std::uint64_t address = 0; address < cellCount; ++address) {
        const std::uint32_t value = source.ReadCell(static_cast<std::uint32_t>(address)) & blank;
        char* p = PutHex(line, address, kind == kEeprom ? 4 : 6);
        *p++ = ':';
        p = PutHex(p, value, kind == kEeprom ? 2 : 4);
        *p++ = '\n';
        // Blank cells are left out, wherever they lie, unless they are to be saved.
        if (!source.CancelRequested() && (value != blank || ffSave)) {
            if (!out.WriteLine(std::string_view(line, static_cast<std::size_t>(p - line)))) {
                ShowLineWriteError(ctx, out.LinesOnDisk() + 1);
                ShowFileError(ctx, path, out.ErrorNumber());
                failed = true;
            }
        }
        source.StepProgress();
        cancelled = source.CancelRequested();
        if (cancelled || failed) break;
    }
    // Buffered lines reach the disk only now: a failure here is a failed save too.
    // A cancelled or failed save leaves the old file as it was.
    if (cancelled || failed) out.Abandon();
    const int closeError = cancelled || failed ? 0 : out.Close();
    if (closeError != 0) {
        ShowFileError(ctx, path, closeError);
        failed = true;
    }
    // A cancel is no failure here: the read-out looks at the cancel flag itself.
    return failed ? kSaveFailed : kSaveOk;
}

}  // namespace merlinox::inline files
