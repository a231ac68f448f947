#include <algorithm>
#include <string_view>

#include "core/context.h"
#include "core/input_file.h"
#include "core/message_port.h"
#include "files/data_loader.h"
#include "files/elf_image.h"
#include "files/hex_text.h"
#include "files/line_messages.h"
#include "files/text_readers.h"

namespace merlinox::inline files {

namespace {

char At(std::string_view line, std::size_t pos) { return pos < line.size() ? line[pos] : '\0'; }

// The line without the blanks and the line end after its last character.
std::string_view TrimEnd(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\n' ||
                             line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// Control characters or bytes of 0x80 and above before the last two characters (where a
// line end may stand): not a text file of ours. Blanks after the last character are no
// sign of it either.
bool LooksBinary(std::string_view line) {
    const std::size_t checked =
        std::min(line.size() < 2 ? 0 : line.size() - 2, TrimEnd(line).size());
    for (std::size_t i = 0; i < checked; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c >= 0x80) return true;
    }
    return false;
}

// "AAAA:DD" or "WWWWWW:VVVV", trailing blanks aside.
bool LooksLikeRom(std::string_view line) {
    const std::string_view cut = CutLine(line, kCutLimit);
    return (cut.size() == 7 && cut[4] == ':') || (cut.size() == 11 && cut[6] == ':');
}

bool IsTextLine(InputFile::ReadStatus status) {
    // A line too long to be read whole is examined by its start; its load refuses it.
    return status == InputFile::ReadStatus::Line || status == InputFile::ReadStatus::TooLong;
}

}  // namespace

DataFormat DetectFileFormat(Context& ctx, const std::string& path, MemoryKind kind) {
    ctx.settings.dataFormat = kFormatNone;
    // ELF firmware is recognised by its magic. It is never saved, so the setting stays 0.
    if (HasElfMagic(path)) return kFormatElf;
    InputFile file;
    const int error = file.Open(path, false);
    if (error != 0) {
        // A companion that cannot be opened means that there is no EEPROM data.
        if (kind == kFlash) ShowInputError(ctx, path, error);
        return kFormatNone;
    }

    DataFormat result = kFormatNone;
    // The format of an end record among the examined lines. A record file without data
    // (avr-objcopy's companion of a program without EEPROM variables, a read-out of an
    // erased EEPROM) is no more than its end record, after a header for S-records; it
    // is read as the empty record file it is, not as binary data of its own text.
    DataFormat endRecordFormat = kFormatNone;
    int examined = 0;
    std::string_view line;
    // A read error ends the examination like the end of the file; the load that follows
    // meets the same error and reports it, for the companion file too.
    while (examined < 2) {
        if (!IsTextLine(file.ReadLine(line))) break;
        ++examined;

        if (LooksBinary(line)) {
            result = kFormatBinary;
            break;
        }
        if (LooksLikeRom(line)) result = kFormatRom;
        if (At(line, 0) == ':') {
            const char type = At(line, 8);  // the second digit of the record type
            if (type == '0') {
                result = kFormatIntel8;
                break;
            }
            if (type == '4') {
                result = kFormatIntel32;
                break;
            }
            if (type == '1') endRecordFormat = kFormatIntel8;
            if (type == '2') {
                // Segment records first; a linear address record right after them
                // makes it Intel32. A lone segment record is no Intel file.
                result = kFormatIntelMcs86;
                std::string_view next;
                const InputFile::ReadStatus further = file.ReadLine(next);
                if (!IsTextLine(further)) result = kFormatBinary;
                if (IsTextLine(further) && At(next, 8) == '4') result = kFormatIntel32;
                break;
            }
        }
        if (At(line, 0) == 'S') {
            const char type = At(line, 1);
            if (type == '1') result = kFormatS1;
            if (type == '2') result = kFormatS2;
            if (type == '3') result = kFormatS3;
            if (type >= '7' && type <= '9') {
                endRecordFormat = static_cast<DataFormat>(kFormatS3 - (type - '7'));
            }
        }
        if (result != kFormatNone) break;
    }

    if (result == kFormatNone) result = endRecordFormat;
    if (result == kFormatNone) result = kFormatBinary;
    ctx.settings.dataFormat = result;
    return result;
}

}  // namespace merlinox::inline files
