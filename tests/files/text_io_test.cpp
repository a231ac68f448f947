#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/hex_text.h"
#include "files/input_file.h"
#include "files/output_file.h"
#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::vector<std::string> Lines(const std::string& path) {
    InputFile file;
    EXPECT_EQ(file.Open(path, false), 0);
    std::vector<std::string> lines;
    std::string_view line;
    while (file.ReadLine(line) == InputFile::ReadStatus::Line) lines.emplace_back(line);
    return lines;
}

TEST(HexText, ReadsDigitsOfEitherCaseAndStopsAtTheFirstOther) {
    EXPECT_EQ(HexByte("3c", 0), 0x3Cu);
    EXPECT_EQ(HexByte("aF", 0), 0xAFu);
    EXPECT_EQ(HexByte("7G", 0), 0x7u);
    EXPECT_EQ(HexByte("G7", 0), 0u);
    EXPECT_EQ(HexValue("00001A:940C", 0, 6), 0x1Au);
    EXPECT_EQ(HexValue("FFFFFFFF", 0, 8), 0xFFFFFFFFu);
    EXPECT_EQ(HexValue(std::string_view("12\0" "4", 4), 0, 4), 0x12u);
}

TEST(HexText, NeverReadsPastTheEndOfTheText) {
    const std::string_view text("1234", 2);  // "34" lies beyond the view
    EXPECT_EQ(HexByte(text, 1), 0x2u);
    EXPECT_EQ(HexByte(text, 2), 0u);
    EXPECT_EQ(HexValue(text, 0, 8), 0x12u);
    EXPECT_EQ(HexByte("", 100), 0u);
}

TEST(HexText, CutLineEndsAtReturnFeedOrSpaceWithinTheLimit) {
    EXPECT_EQ(CutLine("00001A:940C   \n", 2048), "00001A:940C");
    EXPECT_EQ(CutLine(" 00001A:940C", 2048), "");
    EXPECT_EQ(CutLine("abc\rdef", 2048), "abc");
    EXPECT_EQ(CutLine("abcdef", 4), "abcd");
    EXPECT_EQ(CutLine("ab\tc\n", 2048), "ab\tc");
}

TEST(HexText, PutHexWritesAtLeastTheGivenDigits) {
    char out[20];
    EXPECT_EQ(std::string(out, PutHex(out, 0x1A, 6)), "00001A");
    EXPECT_EQ(std::string(out, PutHex(out, 0x12345, 4)), "12345");
    EXPECT_EQ(std::string(out, PutHexByte(out, 0xF)), "0F");
}

TEST(TextMode, ReturnLineFeedAndLoneLineFeedEachEndOneLine) {
    TempDir dir;
    WriteFile(dir / "t", "a\r\nb\nc\rd\r\r\n\nlast");
    EXPECT_EQ(Lines(dir / "t"), (std::vector<std::string>{"a\n", "b\n", "c\rd\r\n", "\n", "last"}));
}

TEST(TextMode, KeepsNulBytesAsCharacters) {
    TempDir dir;
    WriteFile(dir / "t", std::string("a\0b\n", 4));
    EXPECT_EQ(Lines(dir / "t"), (std::vector<std::string>{std::string("a\0b\n", 4)}));
}

TEST(TextMode, OverlongLineIsCutAndCountsOnce) {
    TempDir dir;
    const std::string longLine(10 * 1024 * 1024, 'x');
    WriteFile(dir / "t", longLine + "\r\nnext\n");
    const auto lines = Lines(dir / "t");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(InputFile::kMaxLine, 'x'));
    EXPECT_EQ(lines[1], "next\n");
}

TEST(TextMode, LineEndJustPastTheLimitIsDropped) {
    TempDir dir;
    // 2046 characters and CR LF make 2047 with the "\n"; one more and the "\n" falls off.
    WriteFile(dir / "t", std::string(2046, 'y') + "\r\n" + std::string(2047, 'z') + "\r\n");
    const auto lines = Lines(dir / "t");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(2046, 'y') + "\n");
    EXPECT_EQ(lines[1], std::string(2047, 'z'));
}

TEST(TextMode, WritesEveryLineFeedAsReturnLineFeed) {
    TempDir dir;
    OutputFile out;
    ASSERT_EQ(out.Open(dir / "t", false), 0);
    EXPECT_TRUE(out.WriteLine(":00000001FF\n"));
    EXPECT_TRUE(out.WriteLine("a\nb\n"));
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(ReadFile(dir / "t"), ":00000001FF\r\na\r\nb\r\n");
    EXPECT_EQ(out.LinesWritten(), 2u);

    ASSERT_EQ(out.Open(dir / "b", true), 0);
    EXPECT_TRUE(out.WriteLine("x\n"));
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(ReadFile(dir / "b"), "x\n");
}

TEST(TextMode, FullDiskFailsAndEveryLaterWriteFailsToo) {
    OutputFile out;
    ASSERT_EQ(out.Open("/dev/full", false), 0);
    const std::string line(100, 'A');
    int accepted = 0;
    while (out.WriteLine(line + "\n") && accepted < 100000) ++accepted;
    EXPECT_LT(accepted, 100000) << "the buffer must reach the disk at some point";
    EXPECT_EQ(out.ErrorNumber(), ENOSPC);
    EXPECT_FALSE(out.WriteLine("x\n"));
    EXPECT_EQ(out.Close(), ENOSPC);

    ASSERT_EQ(out.Open("/dev/full", false), 0);
    EXPECT_TRUE(out.WriteLine("short\n"));  // still in the buffer
    EXPECT_EQ(out.Close(), ENOSPC) << "the last flush is reported";
}

}  // namespace
}  // namespace merlinox
