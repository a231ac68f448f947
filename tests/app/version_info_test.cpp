#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/elf_section.h"
#include "app/version_info.h"
#include "version.h"

namespace merlinox {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path WriteTemp(const std::string& name, const std::string& bytes) {
    const fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// This test program carries the same version block as the window's executable.
const fs::path kSelf = fs::read_symlink("/proc/self/exe");

TEST(VersionInfo, ReadsTheBlockOutOfABuiltExecutable) {
    VersionInfo version;
    ASSERT_TRUE(version.Load(kSelf.string()));
    EXPECT_EQ(version.Translation(), 0x040704B0u);
    const std::string expected = std::to_string(KESTREL_VERSION_MAJOR) + ", " +
                                 std::to_string(KESTREL_VERSION_MINOR) + ", " +
                                 std::to_string(KESTREL_VERSION_PATCH) + ", " +
                                 std::to_string(KESTREL_VERSION_TWEAK);
    EXPECT_EQ(version.GetString("FileVersion"), expected);
    EXPECT_EQ(version.GetString("FileVersion", 0x040704B0), expected);
    EXPECT_EQ(version.GetString("FileVersion", 0x040904B0), "");
    EXPECT_EQ(version.GetString("ProductName"), "Merlinox");
    EXPECT_EQ(version.GetString("NoSuchEntry"), "");
    EXPECT_EQ(WindowTitleFor(version), "Merlinox " + ShortVersionOf(expected));
}

TEST(VersionInfo, FilesWithoutAReadableBlockGiveTheBareV) {
    const std::string self = ReadFile(kSelf);
    std::string renamed = self;
    const auto at = renamed.rfind(".kestrel_version");  // the section name table
    ASSERT_NE(at, std::string::npos);
    renamed[at + 1] = 'K';
    const std::string truncated = self.substr(0, self.size() / 2);
    const std::string notElf = "#!/bin/sh\necho kestrel\n";

    for (const auto& [name, bytes] : {std::pair{"renamed", renamed}, std::pair{"half", truncated},
                                      std::pair{"script", notElf}}) {
        const fs::path path = WriteTemp(std::string("kestrel-version-") + name, bytes);
        VersionInfo version;
        EXPECT_FALSE(version.Load(path.string())) << name;
        EXPECT_TRUE(version.Empty());
        EXPECT_EQ(WindowTitleFor(version), "Merlinox V.") << name;
        fs::remove(path);
    }
    VersionInfo missing;
    EXPECT_FALSE(missing.Load("/nonexistent/kestrel"));
    EXPECT_EQ(missing.ShortVersion(), "V.");
}

TEST(VersionInfo, ShortFormTakesFixedPositions) {
    EXPECT_EQ(ShortVersionOf("3, 0, 1, 0"), "V3.01");
    EXPECT_EQ(ShortVersionOf("12, 3, 4, 0"), "V12.34");
    EXPECT_EQ(ShortVersionOf("3, 10, 2, 0"), "V3.1 ");
    EXPECT_EQ(ShortVersionOf("1, 0"), "V1.0");
    EXPECT_EQ(ShortVersionOf("7"), "V7.");
    EXPECT_EQ(ShortVersionOf(""), "V.");
}

TEST(VersionInfo, BlockWithoutValidTranslationIsRefusedAndForgotten) {
    VersionInfo version;
    const std::string good = std::string(kVersionBlockMagic) +
                             "\\VarFileInfo\\Translation=0409 04e4\n"
                             "\\StringFileInfo\\040904e4\\FileVersion=3, 0, 1, 0\n";
    ASSERT_TRUE(version.LoadBlock(good));
    EXPECT_EQ(version.Translation(), 0x040904E4u);
    EXPECT_EQ(version.ShortVersion(), "V3.01");

    EXPECT_FALSE(version.LoadBlock(std::string(kVersionBlockMagic) +
                                   "\\VarFileInfo\\Translation=04x9 04e4\n"));
    EXPECT_TRUE(version.Empty());
    EXPECT_EQ(version.Translation(), 0u);
    EXPECT_FALSE(version.LoadBlock("\\VarFileInfo\\Translation=0409 04e4\n"));  // no magic
    EXPECT_FALSE(version.LoadBlock(std::string(kVersionBlockMagic)));
}

TEST(ElfSection, RefusesTablesThatPointOutsideTheFile) {
    std::string self = ReadFile(kSelf);
    // e_shoff of a 64-bit file, pointed far past the end.
    for (int i = 0; i < 8; ++i) self[40 + i] = static_cast<char>(0x7F);
    std::istringstream in(self);
    EXPECT_FALSE(ReadElfSection(in, ".kestrel_version", 4096).has_value());

    std::istringstream intact(ReadFile(kSelf));
    EXPECT_FALSE(ReadElfSection(intact, ".kestrel_version", 8).has_value());  // too large
}

}  // namespace
}  // namespace merlinox
