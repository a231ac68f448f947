#include "app/version_info.h"

#include <cstdio>
#include <optional>

#include "app/elf_section.h"
#include "core/main_view.h"

namespace merlinox::inline app {

namespace {

constexpr std::size_t kMaxBlockSize = 64 * 1024;
constexpr std::string_view kTranslationKey = "\\VarFileInfo\\Translation";

// The value of the line "key=value" in the block.
std::optional<std::string_view> Lookup(std::string_view block, std::string_view key) {
    std::size_t start = 0;
    while (start < block.size()) {
        std::size_t end = block.find('\n', start);
        if (end == std::string_view::npos) end = block.size();
        const std::string_view line = block.substr(start, end - start);
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> HexQuad(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        value <<= 4;
        if (c >= '0' && c <= '9') {
            value |= static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            value |= static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            value |= static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

}  // namespace

bool VersionInfo::Load(const std::string& fileName) {
    Reset();
    const auto section = ReadElfSection(fileName, kVersionSection, kMaxBlockSize);
    if (!section) return false;
    // The block is a C string in its section; what follows the terminator is padding.
    const std::size_t end = section->find('\0');
    return LoadBlock(std::string_view(*section).substr(0, end));
}

bool VersionInfo::LoadBlock(std::string_view block) {
    Reset();
    if (block.substr(0, kVersionBlockMagic.size()) != kVersionBlockMagic) return false;
    const auto translation = Lookup(block, kTranslationKey);
    if (!translation || translation->size() != 9 || (*translation)[4] != ' ') return false;
    const auto language = HexQuad(translation->substr(0, 4));
    const auto codePage = HexQuad(translation->substr(5, 4));
    if (!language || !codePage) return false;
    block_ = block;
    translation_ = (*language << 16) | *codePage;
    return true;
}

void VersionInfo::Reset() {
    block_.clear();
    translation_ = 0;
}

std::string VersionInfo::GetString(std::string_view name, std::uint32_t translation) const {
    if (block_.empty()) return {};
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%08x\\",
                  static_cast<unsigned>(translation != 0 ? translation : translation_));
    const std::string key = prefix + std::string(name);
    const auto value = Lookup(block_, key);
    return value ? std::string(*value) : std::string();
}

std::string VersionInfo::ShortVersion() const { return ShortVersionOf(GetString("FileVersion")); }

std::string ShortVersionOf(std::string_view s) {
    const auto at = [s](std::size_t index) {
        return index < s.size() ? std::string(1, s[index]) : std::string();
    };
    if (s.size() > 1 && s[1] == ',') return "V" + at(0) + "." + at(3) + at(6);
    return "V" + at(0) + at(1) + "." + at(4) + at(7);
}

std::string WindowTitleFor(const VersionInfo& version) {
    return std::string(kProgramName) + " " + version.ShortVersion();
}

}  // namespace merlinox::inline app
