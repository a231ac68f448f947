#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace merlinox::inline app {

// The section of the program file that carries its version block (see
// src/version_block.cpp), and the text that opens the block.
inline constexpr std::string_view kVersionSection = ".kestrel_version";
inline constexpr std::string_view kVersionBlockMagic = "KESTREL VERSION BLOCK 1\n";

// The program file's version block: lines "key=value", where the keys are the query
// paths "\VarFileInfo\Translation" (language id and code page, four hexadecimal digits
// each, separated by a blank) and "\StringFileInfo\<translation>\<name>" with the
// translation as eight lower-case hexadecimal digits, for example
// "\StringFileInfo\040704b0\FileVersion=1, 0, 0, 0".
class VersionInfo {
public:
    // Reads the block of the program file fileName. False, with nothing stored, when
    // the file has no readable block or the block has no translation.
    bool Load(const std::string& fileName);
    // Takes a block that is already in memory; the same checks as Load.
    bool LoadBlock(std::string_view block);
    void Reset();

    // The value of name under the translation (0: the block's own), or "" when the
    // block is empty or has no such entry.
    std::string GetString(std::string_view name, std::uint32_t translation = 0) const;

    // The short version for the window title, made from "FileVersion": "3, 0, 1, 0"
    // gives "V3.01", "12, 3, 4, 0" gives "V12.34", no version at all gives "V.".
    std::string ShortVersion() const;

    // Language id in the high half, code page in the low half: 0x040704B0.
    std::uint32_t Translation() const { return translation_; }
    bool Empty() const { return block_.empty(); }

private:
    std::string block_;
    std::uint32_t translation_ = 0;
};

// The rule of ShortVersion on a version text: characters from fixed positions, one
// each; positions beyond the end contribute nothing.
std::string ShortVersionOf(std::string_view fileVersion);

// The main window's title: "Merlinox" + " " + the short version of the file.
std::string WindowTitleFor(const VersionInfo& version);

}  // namespace merlinox::inline app
