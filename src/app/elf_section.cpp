#include "app/elf_section.h"

#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <vector>

namespace merlinox::inline app {

namespace {

// The section named name of an opened ELF handle, within maxSize.
std::optional<std::string> FindSection(Elf* elf, std::string_view name, std::size_t maxSize) {
    if (elf == nullptr || elf_kind(elf) != ELF_K_ELF) return std::nullopt;
    std::size_t names = 0;
    if (elf_getshdrstrndx(elf, &names) != 0) return std::nullopt;
    for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn != nullptr; scn = elf_nextscn(elf, scn)) {
        GElf_Shdr header;
        if (gelf_getshdr(scn, &header) == nullptr) return std::nullopt;
        const char* sectionName = elf_strptr(elf, names, header.sh_name);
        if (sectionName == nullptr || name != sectionName) continue;
        if (header.sh_type == SHT_NOBITS || header.sh_size > maxSize) return std::nullopt;
        // elf_rawdata: the bytes as they stand in the file, without conversion.
        const Elf_Data* data = elf_rawdata(scn, nullptr);
        if (data == nullptr || data->d_buf == nullptr || data->d_size != header.sh_size) {
            return std::nullopt;
        }
        return std::string(static_cast<const char*>(data->d_buf), data->d_size);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadElfSection(const std::string& path, std::string_view name,
                                          std::size_t maxSize) {
    if (elf_version(EV_CURRENT) == EV_NONE) return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    Elf* elf = elf_begin(fd, ELF_C_READ_MMAP, nullptr);
    std::optional<std::string> contents = FindSection(elf, name, maxSize);
    elf_end(elf);
    ::close(fd);
    return contents;
}

std::optional<std::string> ReadElfSection(std::span<const std::uint8_t> bytes,
                                          std::string_view name, std::size_t maxSize) {
    if (elf_version(EV_CURRENT) == EV_NONE || bytes.empty()) return std::nullopt;
    // libelf wants a writable buffer, though a read never writes to it.
    std::vector<char> copy(bytes.begin(), bytes.end());
    Elf* elf = elf_memory(copy.data(), copy.size());
    std::optional<std::string> contents = FindSection(elf, name, maxSize);
    elf_end(elf);
    return contents;
}

}  // namespace merlinox::inline app
