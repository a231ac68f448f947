#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/hex_text.h"
#include "files/input_file.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

std::vector<std::string> Lines(const std::string& content) {
    testing::ScratchDir dir;
    InputFile file;
    EXPECT_EQ(file.Open(dir.Write("t", content), false), 0);
    std::vector<std::string> lines;
    std::string_view line;
    while (file.ReadLine(line) == InputFile::ReadStatus::Line) lines.emplace_back(line);
    return lines;
}

TEST(HexText, ReadsDigitsUpToTheFirstOtherCharacterAndNeverPastTheText) {
    EXPECT_EQ(HexByte("aF", 0), 0xAFu);
    EXPECT_EQ(HexValue(std::string("12") + '\0' + "4", 0, 4), 0x12u);
    const std::string_view cut("1234", 2);  // "34" lies beyond the view
    EXPECT_EQ(HexValue(cut, 0, 8), 0x12u);
    EXPECT_EQ(HexByte(cut, 1), 0x2u);
    EXPECT_EQ(CutLine(std::string(20, 'A') + "\t" + std::string(10, 'B') + "\rz", 2048).size(),
              31u);
}

// Return line feed and a lone line feed are one line end; overlong lines are cut and
// count as one line each.
TEST(TextMode, ReadsEitherLineEndAndCutsOverlongLines) {
    EXPECT_EQ(Lines("a\r\nb\nc\rd\r\r\n\nlast"),
              (std::vector<std::string>{"a\n", "b\n", "c\rd\r\n", "\n", "last"}));
    EXPECT_EQ(Lines(std::string("a\0b\n", 4)), std::vector<std::string>{std::string("a\0b\n", 4)});
    const auto lines = Lines(std::string(10 * 1024 * 1024, 'x') + "\r\n" + std::string(2046, 'y') +
                             "\r\n" + std::string(2047, 'z') + "\r\nnext\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(InputFile::kMaxLine, 'x'));
    EXPECT_EQ(lines[1], std::string(2046, 'y') + "\n") << "2047 characters with the line end";
    EXPECT_EQ(lines[2], std::string(2047, 'z')) << "one more and the line end falls off";
    EXPECT_EQ(lines[3], "next\n");
}

}  // namespace
}  // namespace merlinox
