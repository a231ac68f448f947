#include <string_view>

#include "app/context.h"
#include "app/messages.h"
#include "files/data_loader.h"
#include "files/elf_image.h"
#include "files/input_file.h"

namespace merlinox {

namespace {

char At(std::string_view line, std::size_t pos) {
    return pos < line.size() ? line[pos] : '\0';
}

// Control characters or bytes of 0x80 and above before the last two characters: not a
// text file of ours. The last two are left out, where a line end may stand.
bool LooksBinary(std::string_view line) {
    const long checked = static_cast<long>(line.size()) - 2;
    for (long i = 0; i < checked; ++i) {
        const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(i)]);
        if (c < 0x20 || c >= 0x80) return true;
    }
    return false;
}

bool LooksLikeRom(std::string_view line) {
    return (line.size() == 8 && line[4] == ':') || (line.size() == 12 && line[6] == ':');
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
        if (kind == kFlash) ShowFileError(ctx, path, error);
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
        if (file.ReadLine(line) != InputFile::ReadStatus::Line) break;
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
                if (further != InputFile::ReadStatus::Line) result = kFormatBinary;
                if (further == InputFile::ReadStatus::Line && At(next, 8) == '4')
                    result = kFormatIntel32;
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

}  // namespace merlinox
