#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/input_file.h"
#include "files/hex_text.h"
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

// Carriage return, line feed or both end a line, also split over two reads; a line
// past its bound is reported as too long and still counts as one line.
TEST(TextMode, ReadsEveryLineEndAndReportsOverlongLines) {
    EXPECT_EQ(Lines("a\r\nb\nc\rd\r\r\n\nlast"),
              (std::vector<std::string>{"a\n", "b\n", "c\n", "d\n", "\n", "\n", "last"}));
    EXPECT_EQ(Lines(std::string("a\0b\n", 4)), std::vector<std::string>{std::string("a\0b\n", 4)});
    // The CR LF pair across the boundary of the 64 KB read buffer is one line end.
    std::string full;
    while (full.size() + 1001 < 65535) full += std::string(999, 'q') + "\n";
    full += std::string(65535 - full.size(), 'p');
    const auto split = Lines(full + "\r\nx");
    const auto lineEnds = std::count(full.begin(), full.end(), '\n');
    EXPECT_EQ(split.size(), static_cast<std::size_t>(lineEnds + 2));
    EXPECT_EQ(split.back(), "x");
    testing::ScratchDir dir;
    InputFile file;
    ASSERT_EQ(file.Open(dir.Write("t", std::string(10 * 1024 * 1024, 'x') + "\r\n" +
                                           std::string(2047, 'y') + "\r\n" +
                                           std::string(2048, 'z') + "\rnext\n"),
                        false),
              0);
    std::string_view line;
    EXPECT_EQ(file.ReadLine(line), InputFile::ReadStatus::TooLong);
    EXPECT_EQ(line, std::string(InputFile::kMaxLine, 'x') + "\n");
    EXPECT_EQ(file.ReadLine(line), InputFile::ReadStatus::Line);
    EXPECT_EQ(line, std::string(2047, 'y') + "\n") << "2047 characters and the line end";
    EXPECT_EQ(file.ReadLine(line), InputFile::ReadStatus::TooLong);
    EXPECT_EQ(file.ReadLine(line), InputFile::ReadStatus::Line);
    EXPECT_EQ(line, "next\n");
}

}  // namespace
}  // namespace merlinox
