// srec_cat as an oracle: the files it writes load to the bytes it says they hold. The
// test skips, saying so, when the tool is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::ReadFile;
using testing::WriteFile;

#define REQUIRE_TOOL(name)                                         \
    if (std::system("command -v " name " >/dev/null 2>&1") != 0) { \
        GTEST_SKIP() << name " is not installed: skipped";         \
    }

struct PeerTools : FilesFixture {
    ::testing::AssertionResult Run(const std::string& command) {
        if (std::system((command + " >" + (dir / "log") + " 2>&1").c_str()) == 0) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << command << "\n" << ReadFile(dir / "log");
    }

    void ExpectLoadsTo(const std::string& path, const std::vector<std::uint8_t>& expected) {
        const PassLoad load = LoadFileForPass(*ctx, path, kFlash);
        CloseInputFile(*ctx);
        ASSERT_EQ(load.result, kLoadOk) << path << ": " << ::testing::PrintToString(ui.Texts());
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), Bytes())) << path;
        ASSERT_TRUE(std::all_of(Bytes() + expected.size(), Bytes() + MemoryImage::kSize,
                                [](std::uint8_t b) { return b == 0xFF; }));
    }
};

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
        ASSERT_TRUE(Run("srec_cat " + in + " " + filter + " -o " + (dir / "out") + " " + format));
        ExpectLoadsTo(dir / "out", expected);
    }
    // srec_cat's default output ends in a count record, which must agree with the data
    // records read: one record lost on the way is refused.
    ASSERT_TRUE(Run("srec_cat " + (dir / "in.bin") + " -binary -crop 0 200 -o " + (dir / "out")));
    std::vector<std::uint8_t> first(bytes.begin(), bytes.begin() + 200);
    ExpectLoadsTo(dir / "out", first);
    std::string text = ReadFile(dir / "out");
    ASSERT_NE(text.find("\nS5030007F5"), std::string::npos) << text;
    const std::size_t second = text.find('\n', text.find('\n') + 1) + 1;
    text.erase(second, text.find('\n', second) + 1 - second);
    WriteFile(dir / "out", text);
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "out", kFlash).result, kLoadFailed);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Der Zähl-Record S5 in Zeile 8 stimmt nicht !"
                                                   "\n\nAngegeben 7 Datensätze\n"
                                                   "Gelesen 6 Datensätze\n"});
}

}  // namespace
}  // namespace merlinox
