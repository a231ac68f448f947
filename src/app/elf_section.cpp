#include "app/elf_section.h"

#include <array>
#include <cstdint>
#include <vector>

namespace merlinox {

namespace {

// Where the fields we need sit in the two ELF classes.
struct ElfShape {
    std::size_t headerSize;
    std::size_t shoffAt, shoffSize;  // e_shoff
    std::size_t shentsizeAt, shnumAt, shstrndxAt;
    std::size_t nameAt;                  // sh_name in a section header
    std::size_t offsetAt, offsetSize;    // sh_offset
    std::size_t sizeAt, sizeSize;        // sh_size
    std::size_t minEntrySize;
};

constexpr ElfShape kElf32{52, 32, 4, 46, 48, 50, 0, 16, 4, 20, 4, 40};
constexpr ElfShape kElf64{64, 40, 8, 58, 60, 62, 0, 24, 8, 32, 8, 64};

constexpr std::size_t kMaxSections = 0x10000;
constexpr std::size_t kMaxNameTable = 1 << 20;

std::uint64_t LittleEndian(const unsigned char* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = size; i > 0; --i) value = (value << 8) | bytes[i - 1];
    return value;
}

bool ReadAt(std::istream& in, std::uint64_t offset, std::size_t size, unsigned char* out) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in) return false;
    in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

struct Section {
    std::uint64_t nameOffset;
    std::uint64_t offset;
    std::uint64_t size;
};

}  // namespace

std::optional<std::string> ReadElfSection(std::istream& in, std::string_view name,
                                          std::size_t maxSize) {
    std::array<unsigned char, 64> header{};
    if (!ReadAt(in, 0, 16, header.data())) return std::nullopt;
    if (header[0] != 0x7F || header[1] != 'E' || header[2] != 'L' || header[3] != 'F') {
        return std::nullopt;
    }
    if (header[5] != 1) return std::nullopt;  // little-endian only
    const ElfShape* shape = header[4] == 1 ? &kElf32 : header[4] == 2 ? &kElf64 : nullptr;
    if (shape == nullptr || !ReadAt(in, 0, shape->headerSize, header.data())) return std::nullopt;

    const std::uint64_t tableOffset = LittleEndian(&header[shape->shoffAt], shape->shoffSize);
    const std::size_t entrySize = LittleEndian(&header[shape->shentsizeAt], 2);
    const std::size_t count = LittleEndian(&header[shape->shnumAt], 2);
    const std::size_t namesIndex = LittleEndian(&header[shape->shstrndxAt], 2);
    if (tableOffset == 0 || count == 0 || count > kMaxSections || namesIndex >= count ||
        entrySize < shape->minEntrySize || entrySize > 256) {
        return std::nullopt;
    }

    std::vector<Section> sections;
    sections.reserve(count);
    std::vector<unsigned char> entry(entrySize);
    for (std::size_t i = 0; i < count; ++i) {
        if (!ReadAt(in, tableOffset + i * entrySize, entrySize, entry.data())) return std::nullopt;
        sections.push_back({LittleEndian(&entry[shape->nameAt], 4),
                            LittleEndian(&entry[shape->offsetAt], shape->offsetSize),
                            LittleEndian(&entry[shape->sizeAt], shape->sizeSize)});
    }

    const Section& nameTable = sections[namesIndex];
    if (nameTable.size == 0 || nameTable.size > kMaxNameTable) return std::nullopt;
    std::vector<unsigned char> names(static_cast<std::size_t>(nameTable.size));
    if (!ReadAt(in, nameTable.offset, names.size(), names.data())) return std::nullopt;

    for (const Section& section : sections) {
        if (section.nameOffset >= names.size()) continue;
        const auto* start = reinterpret_cast<const char*>(names.data() + section.nameOffset);
        std::size_t length = 0;
        while (section.nameOffset + length < names.size() && start[length] != '\0') ++length;
        if (std::string_view(start, length) != name) continue;
        if (section.size > maxSize) return std::nullopt;
        std::string contents(static_cast<std::size_t>(section.size), '\0');
        if (!ReadAt(in, section.offset, contents.size(),
                    reinterpret_cast<unsigned char*>(contents.data()))) {
            return std::nullopt;
        }
        return contents;
    }
    return std::nullopt;
}

}  // namespace merlinox
