// srec_cat as an oracle: the files it writes load to the bytes it says they hold. The
// test skips, saying so, when the tool is not installed.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "files/avr_gcc_programs.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::Shell;
using testing::WriteFile;

#define REQUIRE_TOOL(name)                                         \
    if (std::system("command -v " name " >/dev/null 2>&1") != 0) { \
        GTEST_SKIP() << name " is not installed: skipped";         \
    }

using PeerTools = FilesFixture;

// The Motorola and ROM families; the Intel one comes from avr-objcopy in the ELF tests.
TEST_F(PeerTools, SrecCatFilesLoadToTheBytesTheyHold) {
    REQUIRE_TOOL("srec_cat");
    // 128 KB, the most srec_cat writes as ROM lines, of random bytes with holes, which
    // the image holds as blank bytes.
    std::mt19937 random(17);
    std::string bytes(0x20000, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    WriteFile(dir / "in.bin", bytes);
    std::vector<std::uint8_t> expected(bytes.begin(), bytes.end());
    std::string in = "'(' " + (dir / "in.bin") + " -binary";
    const std::pair<int, int> holes[] = {
        {1, 2}, {0x100, 0x180}, {0x1001, 0x1234}, {0xFFF0, 0x10010}};
    for (const auto& [begin, end] : holes) {
        std::fill(expected.begin() + begin, expected.begin() + end, 0xFF);
        in += " -exclude " + std::to_string(begin) + " " + std::to_string(end);
    }
    in += " ')'";
    // Each output: a filter before -o and the format after it; words cut by a hole are
    // completed for the ROM lines.
    const std::pair<std::string, std::string> outputs[] = {
        {"", "-motorola -address-length=3 -disable=data-count"},
        {"-fill 0xFF -within " + in + " -range-padding 2", "-atmel-generic-be"}};
    for (const auto& [filter, format] : outputs) {
        ASSERT_TRUE(Shell("srec_cat " + in + " " + filter + " -o " + (dir / "out") + " " + format,
                          dir / "log"));
        ASSERT_EQ(Load(testing::ReadFile(dir / "out")).result, kLoadOk)
            << format << ": " << ::testing::PrintToString(ui.Texts());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), Bytes())) << format;
        EXPECT_TRUE(std::all_of(Bytes() + expected.size(), Bytes() + MemoryImage::kSize,
                                [](std::uint8_t b) { return b == 0xFF; }));
    }
}

}  // namespace
}  // namespace merlinox
