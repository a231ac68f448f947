#include "app/version_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/scratch_dir.h"
#include "version.h"

namespace merlinox {
namespace {

namespace fs = std::filesystem;

// This test program carries the same version block as the window's executable.
const fs::path kSelf = fs::read_symlink("/proc/self/exe");

TEST(VersionInfo, ReadsTheBlockOutOfABuiltExecutableUnderItsTranslationOnly) {
    VersionInfo version;
    ASSERT_TRUE(version.Load(kSelf.string()));
    EXPECT_EQ(version.Translation(), 0x040704B0u);
    const std::string expected =
        std::to_string(KESTREL_VERSION_MAJOR) + ", " + std::to_string(KESTREL_VERSION_MINOR) +
        ", " + std::to_string(KESTREL_VERSION_PATCH) + ", " + std::to_string(KESTREL_VERSION_TWEAK);
    EXPECT_EQ(version.GetString("FileVersion"), expected);
    EXPECT_EQ(version.GetString("FileVersion", 0x040904B0), "");
    EXPECT_EQ(WindowTitleFor(version), "Merlinox " + ShortVersionOf(expected));

    // A block without a valid translation is refused, and the loaded one forgotten.
    EXPECT_FALSE(version.LoadBlock(std::string(kVersionBlockMagic) +
                                   "\\VarFileInfo\\Translation=04x9 04e4\n"));
    EXPECT_TRUE(version.Empty());
    EXPECT_FALSE(version.LoadBlock("\\VarFileInfo\\Translation=0409 04e4\n"));  // no magic
    EXPECT_FALSE(version.LoadBlock(std::string(kVersionBlockMagic)));
}

TEST(VersionInfo, FilesWithoutAReadableBlockGiveTheBareV) {
    std::ifstream in(kSelf, std::ios::binary);
    const std::string self{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string renamed = self;
    const auto at = renamed.rfind(".kestrel_version");  // the section name table
    ASSERT_NE(at, std::string::npos);
    renamed[at + 1] = 'K';
    std::string farTable = self;
    // e_shoff of a 64-bit file, pointed far past the end.
    for (int i = 0; i < 8; ++i) farTable[40 + i] = static_cast<char>(0x7F);
    const std::string truncated = self.substr(0, self.size() / 2);
    const std::string notElf = "#!/bin/sh\necho kestrel\n";

    const testing::ScratchDir scratch;
    for (const auto& [name, bytes] :
         {std::pair{"renamed", renamed}, std::pair{"far-table", farTable},
          std::pair{"half", truncated}, std::pair{"script", notElf}}) {
        VersionInfo version;
        EXPECT_FALSE(version.Load(scratch.Write(name, bytes))) << name;
        EXPECT_TRUE(version.Empty());
        EXPECT_EQ(WindowTitleFor(version), "Merlinox V.") << name;
    }
    VersionInfo missing;
    EXPECT_FALSE(missing.Load("/nonexistent/kestrel"));
    EXPECT_EQ(missing.ShortVersion(), "V.");
}

TEST(VersionInfo, ShortFormTakesFixedPositions) {
    EXPECT_EQ(ShortVersionOf("3, 0, 1, 0"), "V3.01");
    EXPECT_EQ(ShortVersionOf("3, 10, 2, 0"), "V3.1 ");
    EXPECT_EQ(ShortVersionOf(""), "V.");
}

}  // namespace
}  // namespace merlinox
