#include "files/elf_image.h"

#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "core/context.h"
#include "core/input_file.h"
#include "core/message_port.h"

namespace merlinox::inline files {

namespace {

// avr-gcc's address space: each memory has a region of its own.
constexpr std::uint64_t kDataRegion = 0x800000;
constexpr std::uint64_t kEepromRegion = 0x810000;
constexpr std::uint64_t kFuseRegion = 0x820000;
constexpr std::uint64_t kLockRegion = 0x830000;
constexpr std::uint64_t kSignatureRegion = 0x840000;

constexpr std::size_t kFuseByteLimit = 3;
// Sections may share file bytes; past this many bytes of flash and EEPROM together the
// file holds more than any part could take.
constexpr std::size_t kMaxMemoryBytes = 4 * 0x40000;
// Far more than any AVR program with its debugging information.
constexpr std::uint64_t kMaxFileSize = 64 << 20;

std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Text(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

AvrFirmwareRead Refused(std::string text) { return {std::nullopt, std::move(text)}; }

AvrFirmwareRead Damaged(const std::string& detail) {
    return Refused("Die ELF-Datei ist abgeschnitten oder beschädigt !\n\n" + detail);
}

class ElfHandle {
public:
    explicit ElfHandle(Elf* elf) : elf_(elf) {}
    ~ElfHandle() { elf_end(elf_); }
    ElfHandle(const ElfHandle&) = delete;
    ElfHandle& operator=(const ElfHandle&) = delete;
    Elf* get() const { return elf_; }

private:
    Elf* elf_;
};

bool TableFits(std::uint64_t offset, std::uint64_t count, std::uint64_t entrySize,
               std::uint64_t fileSize) {
    if (count == 0) return true;
    return offset <= fileSize && entrySize != 0 && count <= (fileSize - offset) / entrySize;
}

// The load address of a section: where its segment puts it, or its own address for a
// section outside every segment (as the binutils treat it).
std::uint64_t LoadAddress(const std::vector<GElf_Phdr>& segments, const GElf_Shdr& section) {
    for (const GElf_Phdr& segment : segments) {
        if (section.sh_offset >= segment.p_offset &&
            section.sh_offset + section.sh_size <= segment.p_offset + segment.p_filesz) {
            return segment.p_paddr + (section.sh_offset - segment.p_offset);
        }
    }
    return section.sh_addr;
}

// Pieces of one memory must not share a byte.
std::optional<std::string> FindOverlap(std::vector<FirmwarePiece>& pieces) {
    std::sort(pieces.begin(), pieces.end(),
              [](const FirmwarePiece& a, const FirmwarePiece& b) { return a.address < b.address; });
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const FirmwarePiece& before = pieces[i - 1];
        const FirmwarePiece& after = pieces[i];
        if (std::uint64_t{before.address} + before.bytes.size() > after.address) {
            return Text("In der ELF-Datei überlappen sich die Abschnitte\n%s und %s bei 0x%lX !",
                        before.section.c_str(), after.section.c_str(),
                        static_cast<unsigned long>(after.address));
        }
    }
    return std::nullopt;
}

// Sorts one section's bytes into the memory its load address belongs to.
std::optional<std::string> Place(AvrFirmware& firmware, const std::string& name,
                                 std::uint64_t address, const std::uint8_t* data,
                                 std::size_t size) {
    firmware.memoryBytes += size;
    if (firmware.memoryBytes > kMaxMemoryBytes) {
        return std::string("Die ELF-Datei enthält mehr Daten, als ein AVR-Controller fasst !");
    }
    const auto piece = [&](std::uint64_t offset) {
        return FirmwarePiece{name, static_cast<std::uint32_t>(offset),
                             std::vector<std::uint8_t>(data, data + size)};
    };
    if (address < kDataRegion) {
        firmware.flash.push_back(piece(address));
    } else if (address >= kEepromRegion && address < kFuseRegion) {
        firmware.eeprom.push_back(piece(address - kEepromRegion));
    } else if (address >= kFuseRegion && address < kLockRegion) {
        const std::uint64_t first = address - kFuseRegion;
        if (first + size > kFuseByteLimit) {
            return Text("Der Abschnitt %s der ELF-Datei hat mehr als %zu Fuse-Bytes !",
                        name.c_str(), kFuseByteLimit);
        }
        for (std::size_t i = 0; i < size; ++i) firmware.fuses.bytes[1 + first + i] = data[i];
        firmware.fuseBytes = std::max(firmware.fuseBytes, static_cast<std::size_t>(first + size));
    } else if (address >= kLockRegion && address < kSignatureRegion) {
        if (address != kLockRegion || size != 1) {
            return Text("Der Abschnitt %s der ELF-Datei hat mehr als ein Lock-Byte !",
                        name.c_str());
        }
        firmware.fuses.bytes[0] = data[0];
    }
    return std::nullopt;
}

}  // namespace

bool HasElfMagic(const std::string& path) {
    // Through InputFile: a FIFO or device named as the data file must not block or be read.
    InputFile file;
    if (file.Open(path, true) != 0) return false;
    std::uint8_t magic[SELFMAG] = {};
    return file.ReadBytes(magic, SELFMAG) == SELFMAG && std::equal(magic, magic + SELFMAG, ELFMAG);
}

AvrFirmwareRead ParseAvrFirmware(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < SELFMAG || !std::equal(bytes.begin(), bytes.begin() + SELFMAG, ELFMAG)) {
        return Refused("Die Datei ist keine ELF-Datei !");
    }
    if (elf_version(EV_CURRENT) == EV_NONE) return Damaged("libelf ist nicht verwendbar.");
    // libelf wants a writable buffer, though reading never writes to it.
    std::vector<char> copy(bytes.begin(), bytes.end());
    const ElfHandle elf(elf_memory(copy.data(), copy.size()));
    GElf_Ehdr header;
    if (elf.get() == nullptr || elf_kind(elf.get()) != ELF_K_ELF ||
        gelf_getehdr(elf.get(), &header) == nullptr) {
        return Damaged("Der Dateikopf fehlt.");
    }
    if (header.e_ident[EI_CLASS] != ELFCLASS32 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
        header.e_machine != EM_AVR) {
        return Refused(
            Text("Die ELF-Datei ist nicht für AVR-Controller übersetzt\n"
                 "(Klasse %u, Maschine %u) !",
                 header.e_ident[EI_CLASS], header.e_machine));
    }
    if (header.e_type != ET_EXEC) {
        return Refused(
            "Die ELF-Datei ist kein gelinktes Programm !\n\n"
            "Objektdateien tragen noch keine Adressen.");
    }

    // libelf takes a table cut off by the end of the file for an empty one, so the
    // header's own counts are held against the file size. A count of 0 with a table
    // offset stands for a count kept in the first section header: one entry at least.
    const std::uint64_t sections =
        header.e_shoff != 0 ? std::max<std::uint64_t>(header.e_shnum, 1) : 0;
    if (!TableFits(header.e_phoff, header.e_phnum, header.e_phentsize, bytes.size()) ||
        !TableFits(header.e_shoff, sections, header.e_shentsize, bytes.size())) {
        return Damaged("Die Kopftabellen reichen über das Dateiende hinaus.");
    }
    std::size_t count = 0;
    if (elf_getphdrnum(elf.get(), &count) != 0) return Damaged("Die Programmköpfe fehlen.");
    std::vector<GElf_Phdr> segments;
    for (std::size_t i = 0; i < count; ++i) {
        GElf_Phdr segment;
        if (gelf_getphdr(elf.get(), static_cast<int>(i), &segment) == nullptr) {
            return Damaged(Text("Programmkopf %zu fehlt.", i));
        }
        if (segment.p_type != PT_LOAD) continue;
        if (segment.p_offset > bytes.size() || segment.p_filesz > bytes.size() - segment.p_offset) {
            return Damaged(Text("Programmkopf %zu reicht über das Dateiende hinaus.", i));
        }
        segments.push_back(segment);
    }

    std::size_t names = 0;
    if (elf_getshdrstrndx(elf.get(), &names) != 0) return Damaged("Die Abschnittsnamen fehlen.");
    AvrFirmware firmware;
    for (Elf_Scn* scn = elf_nextscn(elf.get(), nullptr); scn != nullptr;
         scn = elf_nextscn(elf.get(), scn)) {
        GElf_Shdr section;
        if (gelf_getshdr(scn, &section) == nullptr) return Damaged("Ein Abschnittskopf fehlt.");
        if ((section.sh_flags & SHF_ALLOC) == 0 || section.sh_type == SHT_NOBITS ||
            section.sh_size == 0) {
            continue;
        }
        const char* rawName = elf_strptr(elf.get(), names, section.sh_name);
        const std::string name = rawName != nullptr ? rawName : "?";
        if (section.sh_offset > bytes.size() ||
            section.sh_size > bytes.size() - section.sh_offset) {
            return Damaged(Text("Abschnitt %s reicht über das Dateiende hinaus.", name.c_str()));
        }
        const std::uint64_t address = LoadAddress(segments, section);
        if (auto error = Place(firmware, name, address, bytes.data() + section.sh_offset,
                               static_cast<std::size_t>(section.sh_size))) {
            return Refused(*error);
        }
    }
    if (auto error = FindOverlap(firmware.flash)) return Refused(*error);
    if (auto error = FindOverlap(firmware.eeprom)) return Refused(*error);
    return {std::move(firmware), {}};
}

namespace {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, int& error) {
    InputFile file;
    if (const int opened = file.Open(path, true); opened != 0) {
        error = opened > 0 ? opened : EINVAL;  // not a regular file
        return std::nullopt;
    }
    if (file.Size() > kMaxFileSize) {
        error = EFBIG;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
    const long got = file.ReadBytes(bytes.data(), bytes.size());
    if (got < 0) {
        error = file.ErrorNumber();
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(got));  // the file may have shrunk meanwhile
    return bytes;
}

std::uint64_t EndOf(const std::vector<FirmwarePiece>& pieces) {
    std::uint64_t end = 0;
    for (const FirmwarePiece& piece : pieces) {
        end = std::max(end, std::uint64_t{piece.address} + piece.bytes.size());
    }
    return end;
}

// What only the flash pass can check in time: the memories and bytes that later passes
// write must fit the device before its flash is erased.
int CheckAgainstDevice(Context& ctx, const AvrFirmware& firmware) {
    const std::uint64_t eepromEnd = EndOf(firmware.eeprom);
    if (eepromEnd > ctx.device.eepromBytes) {
        ShowInfo(
            ctx,
            ctx.messageBuffer.Format(
                "Zuviele EEPROM-Daten für diesen Baustein !\n\nErlaubt: 0x%lX\nGelesen: 0x%lX\n",
                static_cast<unsigned long>(ctx.device.eepromBytes),
                static_cast<unsigned long>(eepromEnd)));
        return kLoadFailed;
    }
    const std::size_t fuseBytes = std::max<std::size_t>(1, ctx.device.fuseCount);
    if (firmware.fuseBytes > fuseBytes) {
        ShowInfo(ctx,
                 ctx.messageBuffer.Format("Die ELF-Datei enthält %zu Fuse-Bytes,\n%s hat nur %zu !",
                                          firmware.fuseBytes, ctx.device.name.c_str(), fuseBytes));
        return kLoadFailed;
    }
    return kLoadOk;
}

void Store(MemoryImage& image, const std::vector<FirmwarePiece>& pieces) {
    for (const FirmwarePiece& piece : pieces) {
        if (piece.bytes.empty()) continue;
        image.hasData = true;
        for (std::size_t i = 0; i < piece.bytes.size(); ++i) {
            const std::uint64_t address = std::uint64_t{piece.address} + i;
            if (address < MemoryImage::kSize) image.bytes[address] = piece.bytes[i];
        }
        // Flash addresses stay below 0x800000, so the last one fits the 32-bit field.
        const auto last = static_cast<std::uint32_t>(piece.address + piece.bytes.size() - 1);
        image.highestAddress = std::max(image.highestAddress, last);
    }
}

}  // namespace

int ReadElfFile(Context& ctx, const std::string& path, MemoryKind kind) {
    int error = 0;
    const auto bytes = ReadWholeFile(path, error);
    if (!bytes) {
        ShowFileError(ctx, path, error);
        return kLoadFailed;
    }
    const AvrFirmwareRead read = ParseAvrFirmware(*bytes);
    if (!read.firmware) {
        ShowInfo(ctx, read.error);
        return kLoadFailed;
    }
    if (kind == kFlash) {
        if (CheckAgainstDevice(ctx, *read.firmware) != kLoadOk) return kLoadFailed;
        ctx.files.firmwareFuses = read.firmware->fuses;
    }
    Store(ctx.image, kind == kFlash ? read.firmware->flash : read.firmware->eeprom);
    return kLoadOk;
}

}  // namespace merlinox::inline files
