#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <iterator>

#include "config/number_text.h"
#include "config/text_encoding.h"
#include "support/scratch_dir.h"

namespace merlinox {
namespace {

using testing::ScratchDir;

TEST(IniFile, ReadsLikeTheProfileFunctions) {
    ScratchDir dir;
    const std::string path =
        dir.Write("a.ini",
                  "[Hardware]\r\nPortAdress=278\r\n[Ger\xE4te]\r\n\xC4rger = 5 \r\n"
                  "[S]\r\nEmpty=\r\nBlank=   \r\nNeg=-3\r\nPlus=+7\r\nText=abc\r\n"
                  "Tail=42abc\r\nWrap=4294967297\r\nQuoted=\"9\"\r\n");
    IniFile ini;
    ASSERT_EQ(ini.Load(path), 0);
    EXPECT_EQ(ini.GetString("HARDWARE", "portadress", "378"), "278");
    EXPECT_EQ(ini.GetString("Hardware", "TimeOut", "1000000"), "1000000");
    EXPECT_EQ(ini.GetString("Other", "PortAdress", "x"), "x");
    EXPECT_EQ(ini.GetString("S", "Empty", "d"), "");  // a text key that exists is never the default
    // Umlauts are Windows-1252 on disk and fold like ASCII letters; an empty value reads
    // as the default, a value without digits as 0.
    const struct {
        const char* section;
        const char* key;
        std::uint32_t value;  // with the default 77
    } ints[] = {
        {"GERÄTE", "ärger", 5}, {"S", "Empty", 77},   {"S", "Blank", 77}, {"S", "Neg", 0xFFFFFFFD},
        {"S", "Plus", 7},       {"S", "Text", 0},     {"S", "Tail", 42},  {"S", "Wrap", 1},
        {"S", "Quoted", 9},     {"S", "Missing", 77},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.GetInt(c.section, c.key, 77), c.value) << c.key;
    IniFile missing;
    EXPECT_EQ(missing.Load(dir.Path("none.ini")), 0);
    EXPECT_EQ(missing.GetInt("Hardware", "TimeBaseKorr", 85), 85u);
}

TEST(IniFile, SaveKeepsEveryForeignByteAndAddsWhatIsMissing) {
    ScratchDir dir;
    const std::string original =
        "; shared with the other programmer\r\n"
        "[Hardware]\r\n"
        "PortAdress = 378   \r\n"
        "Foreign=\xE4\xF6\xFC\n"  // Windows-1252 umlauts and a bare LF line end
        "\r\n"
        "; the next section\r\n"
        "[Other]\r\n"
        "x=1";  // the last line has no line end
    const std::string path = dir.Write("p.ini", original);
    IniFile ini;
    ASSERT_EQ(ini.Load(path), 0);
    ini.SetString("Hardware", "PortAdress", "378");  // same value: the line stays as it is
    ASSERT_EQ(ini.Save(path), 0);
    EXPECT_EQ(dir.Read("p.ini"), original);

    ini.SetString("hardware", "PORTADRESS", "278");
    ini.SetInt("Hardware", "TimeOut", 2000000);
    ini.SetInt("Other", "y", -5);
    ini.SetString("ATmega8 (ISP)", "DataPath", "C:\\Übung\\");
    ASSERT_EQ(ini.Save(path), 0);
    EXPECT_EQ(dir.Read("p.ini"),
              "; shared with the other programmer\r\n"
              "[Hardware]\r\n"
              "PortAdress =278\r\n"
              "Foreign=\xE4\xF6\xFC\n"
              "TimeOut=2000000\r\n"
              "\r\n"
              "; the next section\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "y=-5\r\n"
              "\r\n"
              "[ATmega8 (ISP)]\r\n"
              "DataPath=C:\\\xDC"
              "bung\\\r\n");
}

TEST(IniFile, WritingCreatesTheFileAndValuesReadBackAsSetOnOneLine) {
    ScratchDir dir;
    const std::string path = dir.Path("new.ini");
    ASSERT_EQ(WriteProfileInt(path, "Kestrel INI-Section", "DeviceIndex", 3), 0);
    ASSERT_EQ(WriteProfileString(path, "Kestrel INI-Section", "Note", "a\r\n[Hardware]"), 0);
    ASSERT_EQ(WriteProfileString(path, "Kestrel INI-Section", "LastFile", "\rx.hex "), 0);
    ASSERT_EQ(WriteProfileString(path, "Kestrel INI-Section", "Quoted", "'x'"), 0);
    EXPECT_EQ(dir.Read("new.ini"),
              "[Kestrel INI-Section]\r\nDeviceIndex=3\r\nNote=a  [Hardware]\r\n"
              "LastFile=\" x.hex \"\r\nQuoted=\"'x'\"\r\n");
    EXPECT_EQ(ReadProfileString(path, "Kestrel INI-Section", "LastFile", ""), " x.hex ");
    EXPECT_EQ(ReadProfileString(path, "Kestrel INI-Section", "Quoted", ""), "'x'");
    EXPECT_EQ(ReadProfileInt(path, "kestrel ini-section", "deviceindex", 0), 3u);
    EXPECT_EQ(ReadProfileString(path, "Hardware", "Note", "none"), "none");
}

long Entries(const ScratchDir& dir) {
    return std::distance(std::filesystem::directory_iterator(dir.Dir()), {});
}

TEST(IniFile, SaveReplacesTheFileWholeOrNotAtAllKeepingModeAndLinks) {
    ScratchDir dir;
    const std::string real =
        dir.Write("real.ini", "[A]\r\nk=1\r\n" + std::string(100, ';') + "\r\n");
    chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, dir.Path("link.ini"));
    // A file-size limit makes the write of the new contents fail half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &tiny);
    const int error = WriteProfileInt(dir.Path("link.ini"), "A", "k", 2);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(dir.Read("real.ini"), "[A]\r\nk=1\r\n" + std::string(100, ';') + "\r\n");
    EXPECT_EQ(Entries(dir), 2);  // no temporary file left behind

    ASSERT_EQ(WriteProfileInt(dir.Path("link.ini"), "A", "k", 2), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.ini")));
    EXPECT_EQ(dir.Read("real.ini"), "[A]\r\nk=2\r\n" + std::string(100, ';') + "\r\n");
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(dir), 2);
}

TEST(NumberText, HexAndCNumbersFollowTheirScanners) {
    EXPECT_EQ(HexFromText(" 3bc"), 0x3BCu);
    EXPECT_EQ(HexFromText("0x"), 0u);  // the 0 is the number, the x ends it
    EXPECT_FALSE(HexFromText("").has_value());
    EXPECT_EQ(CNumberFromText("089"), 0u);  // octal: the 8 ends the number
    EXPECT_EQ(CNumberFromText(" -1"), 0xFFFFFFFFu);
    EXPECT_EQ(CNumberFromText("99999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(ProfileIntFromText("-4294967297"), 0xFFFFFFFFu);
}

TEST(TextEncoding, EveryWindows1252ByteRoundTripsAndForeignCharactersBecomeQuestionMarks) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    const std::string utf8 = DecodeWindows1252(all);
    EXPECT_NE(utf8.find("€"), std::string::npos);
    EXPECT_NE(utf8.find("Ÿ"), std::string::npos);
    EXPECT_EQ(EncodeWindows1252(utf8), all);
    EXPECT_EQ(EncodeWindows1252("Ω \xFF\xC3 ok"), "? ?? ok");
    EXPECT_TRUE(EqualIgnoringCase1252("\xC4RGER \x8A", "\xE4rger \x9A"));
    EXPECT_FALSE(EqualIgnoringCase1252("\xD7", "\xF7"));  // multiplication and division sign
}

}  // namespace
}  // namespace merlinox
