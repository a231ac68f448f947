// User files on the simulated board through kestrel-cli: every run ends in exactly the
// chip contents the files hold or in a refusal that leaves the chip as it was. The chip
// is checked with a full read-out, not only by the messages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli_test_support.h"
#include "support/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

#define REQUIRE_TOOL(name)                                         \
    if (std::system("command -v " name " >/dev/null 2>&1") != 0) { \
        GTEST_SKIP() << name " is not installed: skipped";         \
    }

// Chip commands on an ATmega8.
struct UserFiles : ::testing::Test, CliDir {
    UserFiles() { always = " --device 'ATmega8 (ISP)'"; }
    using CliDir::Run;
    int Convert(const std::string& arguments) {
        return RunCli(dir.Dir().string(), "convert " + arguments, output);
    }
    void Shell(const std::string& command) { EXPECT_EQ(RunCommand(command), 0) << output; }
    // The whole flash (8 KB) and EEPROM (512 bytes) of the chip.
    std::string Flash() { return ReadOut().substr(0, 0x2000); }
    std::string Eeprom() { return ReadOut(), dir.Read("chip.eep"); }
    std::string ReadOut() {
        EXPECT_EQ(Run("read chip.bin --format bin --ff-save --quiet"), 0) << output;
        return dir.Read("chip.bin");
    }
    static std::string Blank(std::size_t n) { return std::string(n, '\xFF'); }
};

// avr-gcc puts one EEMEM variable at address 0: the companion's only record is there.
TEST_F(UserFiles, AvrGccProgramWithOneEepromByteAtZeroUnderUpperCaseNames) {
    REQUIRE_TOOL("avr-gcc");
    REQUIRE_TOOL("avr-objcopy");
    dir.Write("prog.c",
              "#include <avr/eeprom.h>\n"
              "uint8_t EEMEM value = 0x5A;\n"
              "int main(void) { return eeprom_read_byte(&value); }\n");
    Shell("avr-gcc -mmcu=atmega8 -Os -o prog.elf prog.c");
    Shell("avr-objcopy -O ihex -R .eeprom prog.elf FW.HEX");
    Shell("avr-objcopy -O binary -R .eeprom prog.elf prog.bin");
    Shell("avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0 prog.elf FW.EEP");
    ASSERT_NE(dir.Read("FW.EEP").find(":010000005AA5"), std::string::npos) << dir.Read("FW.EEP");

    ASSERT_EQ(Run("program FW.HEX --quiet"), 0) << output;
    const std::string program = dir.Read("prog.bin");
    EXPECT_EQ(Flash().substr(0, program.size()), program);
    EXPECT_EQ(Eeprom(), "\x5A" + Blank(511));
    // Saved without blank cells, the EEPROM file is its one byte, not a refusal.
    ASSERT_EQ(Run("read out.bin --format bin --no-ff-save --quiet"), 0) << output;
    EXPECT_EQ(dir.Read("out.eep"), "\x5A");
    EXPECT_EQ(Run("verify out.bin --quiet"), 0) << output;
}

TEST_F(UserFiles, FlashDataOnlyAtAddressZeroIsProgrammedAndSaved) {
    dir.Write("zero.hex", ":02000000FFCF30\r\n:00000001FF\r\n");  // rjmp . at word 0
    ASSERT_EQ(Run("erase --quiet"), 0) << output;
    ASSERT_EQ(Run("program zero.hex --quiet"), 0) << output;
    EXPECT_EQ(Flash(), "\xFF\xCF" + Blank(0x1FFE));
    ASSERT_EQ(Run("read zero.bin --format bin --no-ff-save --quiet"), 0) << output;
    EXPECT_EQ(dir.Read("zero.bin"), "\xFF\xCF");
}

// A blank EEPROM is a finding: the flash file is the result, and an old companion of
// the same name, which belongs to another chip, is removed with a message.
TEST_F(UserFiles, BlankEepromReadOutSucceedsAndRemovesTheOldCompanion) {
    const std::string program = Bytes(TestPattern(0x1000, 5));
    dir.Write("fw.bin", program);
    ASSERT_EQ(Run("program fw.bin --quiet"), 0) << output;
    ASSERT_EQ(Eeprom(), Blank(512));
    dir.Write("dump.eep", "old EEPROM of another chip");
    ASSERT_EQ(Run("read dump.bin --format bin --no-ff-save"), 0) << output;
    EXPECT_TRUE(Has("Der Baustein enthält nur Leerzellen im Datenspeicher."));
    EXPECT_TRUE(Has("gehört nicht zu diesem Baustein und wurde gelöscht."));
    EXPECT_FALSE(Has("Speichern abgebrochen"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("dump.eep")));
    EXPECT_EQ(dir.Read("dump.bin"), program.substr(0, dir.Read("dump.bin").size()));
    EXPECT_EQ(Run("verify dump.bin --quiet"), 0) << output;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string LowerHexDigits(std::string text) {
    std::transform(text.begin() + 2, text.end(), text.begin() + 2,
                   [](char c) { return c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c; });
    return text;
}

// Text written on other systems or edited by hand is read as the text it is.
TEST_F(UserFiles, TextFilesOfEveryLineEndAreProgrammedNeverAsBinary) {
    const std::string program = Bytes(TestPattern(0x400, 11));
    dir.Write("in.bin", program);
    for (const std::string format : {"intel32", "rom", "s3"})
        ASSERT_EQ(Convert("in.bin " + format + ".txt --flash-bytes 8192 -f " + format), 0)
            << output;
    const std::string intel = dir.Read("intel32.txt");
    const std::string variants[] = {
        "\xEF\xBB\xBF" + Replace(LowerHexDigits(intel), "\r\n", "\r"),  // BOM, CR only
        Replace(dir.Read("rom.txt"), "\r\n", "  \n"),                   // trailing blanks
        LowerHexDigits(Replace(dir.Read("s3.txt"), "\r\n", "\n")),      // lower-case digits
    };
    for (const std::string& text : variants) {
        ASSERT_EQ(Run("erase --quiet"), 0) << output;
        dir.Write("text.hex", text);
        ASSERT_EQ(Run("program text.hex --quiet"), 0) << output << text.substr(0, 80);
        EXPECT_EQ(Flash(), program + Blank(0x2000 - program.size())) << text.substr(0, 80);
    }
    // Records the recognition does not take are refused, not programmed as characters.
    dir.Write("odd.hex", ":0400000300000000F9\r\n:0400000500000000F7\r\n");
    EXPECT_EQ(Run("program odd.hex --quiet"), 3) << output;
    EXPECT_TRUE(Has("beginnt wie eine HEX-Zeile"));
    EXPECT_EQ(Flash(), program + Blank(0x2000 - program.size()));
}

// The companion is loaded and checked before the flash pass erases the chip.
TEST_F(UserFiles, BadOrAmbiguousCompanionIsRefusedBeforeTheChipChanges) {
    const std::string first = Bytes(TestPattern(0x800, 21));
    dir.Write("old.bin", first);
    ASSERT_EQ(Run("program old.bin --quiet"), 0) << output;
    const std::string before = ReadOut();

    dir.Write("new.bin", Bytes(TestPattern(0x800, 22)));
    dir.Write("new.eep", ":0100000012ED\r\n:01000100\r\n");
    EXPECT_EQ(Run("program new.bin --quiet"), 3) << output;
    EXPECT_TRUE(Has("Länge der HEX-Zeile 2 stimmt nicht"));
    EXPECT_EQ(ReadOut(), before);

    std::filesystem::remove(dir.Path("new.eep"));
    dir.Write("NEW.eep", ":0100000012ED\r\n:00000001FF\r\n");
    dir.Write("new.EEP", ":0100000034CB\r\n:00000001FF\r\n");
    EXPECT_EQ(Run("program new.bin --quiet"), 3) << output;
    EXPECT_TRUE(Has("NEW.eep") && Has("new.EEP")) << output;
    EXPECT_EQ(ReadOut(), before);

    // A companion that is there but unreadable (a link to itself: even root cannot open
    // it) is refused, not passed over as missing.
    std::filesystem::remove(dir.Path("NEW.eep"));
    std::filesystem::rename(dir.Path("new.EEP"), dir.Path("aside"));
    std::filesystem::create_symlink("new.eep", dir.Path("new.eep"));
    EXPECT_EQ(Run("program new.bin --quiet"), 3) << output;
    EXPECT_TRUE(Has("new.eep")) << output;
    EXPECT_EQ(ReadOut(), before);

    std::filesystem::remove(dir.Path("new.eep"));
    std::filesystem::rename(dir.Path("aside"), dir.Path("new.EEP"));
    ASSERT_EQ(Run("program new.bin --quiet"), 0) << output;
    EXPECT_EQ(Eeprom(), "\x34" + Blank(511));
}

TEST_F(UserFiles, OversizedBinaryIsRefusedNeverCutOff) {
    dir.Write("fw.bin", Bytes(TestPattern(0x100, 1)));
    ASSERT_EQ(Run("program fw.bin --quiet"), 0) << output;
    const std::string before = ReadOut();
    dir.Write("big.bin", std::string(0x2001, '\x11'));
    EXPECT_EQ(Run("program big.bin --quiet"), 3) << output;
    EXPECT_TRUE(
        Has("Zuviele Programmdaten für diesen Baustein !\n\nErlaubt: 0x1000\n"
            "Gelesen: 0x1001"));
    EXPECT_EQ(ReadOut(), before);

    dir.Write("huge.bin", std::string(0x40001, '\x22'));
    EXPECT_NE(Convert("huge.bin huge.hex --format intel32"), 0);
    EXPECT_TRUE(Has("Erlaubt: 0x20000\nGelesen: 0x20001")) << output;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("huge.hex")));
}

// srec_cat ends its output with a count record by default.
TEST_F(UserFiles, SrecCatCountRecordIsCheckedAgainstTheRecordsRead) {
    REQUIRE_TOOL("srec_cat");
    const std::string program = Bytes(TestPattern(0x300, 31));
    dir.Write("in.bin", program);
    Shell("srec_cat in.bin -binary -o fw.srec");
    ASSERT_NE(dir.Read("fw.srec").find("\nS5"), std::string::npos);
    ASSERT_EQ(Run("program fw.srec --quiet"), 0) << output;
    EXPECT_EQ(Flash().substr(0, program.size()), program);

    std::string text = dir.Read("fw.srec");
    const std::size_t second = text.find('\n') + 1;
    text.erase(second, text.find('\n', second) + 1 - second);  // one data record lost
    dir.Write("lost.srec", text);
    ASSERT_EQ(Run("erase --quiet"), 0) << output;
    EXPECT_EQ(Run("program lost.srec --quiet"), 3) << output;
    EXPECT_TRUE(Has("Der Zähl-Record S5 in Zeile"));
    EXPECT_EQ(Flash(), Blank(0x2000));
}

// Nothing that could block or never end is read as a data file.
TEST_F(UserFiles, FifosDirectoriesAndEndlessLinesAreRefused) {
    ASSERT_EQ(::mkfifo(dir.Path("fw.fifo").c_str(), 0600), 0);
    EXPECT_EQ(Run("program fw.fifo --quiet"), 3) << output;
    EXPECT_TRUE(Has("ist keine gewöhnliche Datei"));
    dir.Write("long.hex", "S1" + std::string(5000, '0') + "\n");
    EXPECT_EQ(Run("program long.hex --quiet"), 3) << output;
    EXPECT_TRUE(Has("Die HEX-Zeile 1 ist zu lang !"));
    EXPECT_EQ(Flash(), Blank(0x2000)) << "nothing was erased or programmed";
}

// Numbers in messages are the true ones: a record too short for its address, and a write
// failure that names the first line that did not reach the disk and why.
TEST_F(UserFiles, MessagesNameTheTrueNumbersAndReasons) {
    dir.Write("short.hex", "S0030000FC\r\nS1020000FD\r\n");
    EXPECT_EQ(Run("program short.hex --quiet"), 3) << output;
    EXPECT_TRUE(Has("Länge der HEX-Zeile 2 stimmt nicht !\n\nGelesen 10\nBerechnet 8\n"));

    if (std::filesystem::exists("/dev/full")) {
        dir.Write("in.bin", Bytes(TestPattern(0x2000, 41)));
        Convert("in.bin /dev/full --format rom --ff-save");
        EXPECT_TRUE(Has("Hex-Zeile 1\nkonnte nicht geschrieben werden")) << output;
        EXPECT_TRUE(Has("Kein Platz mehr auf dem Gerät")) << output;
    }
}

TEST_F(UserFiles, UnattendedVerifyShowsTenDifferencesThenACount) {
    dir.Write("a.bin", Bytes(TestPattern(0x2000, 51)));
    ASSERT_EQ(Run("program a.bin --quiet"), 0) << output;
    std::string other = Bytes(TestPattern(0x2000, 51));
    for (char& c : other) c = static_cast<char>(~c);
    dir.Write("b.bin", other);
    EXPECT_EQ(Run("verify b.bin --quiet"), 6);
    std::size_t shown = 0;
    for (auto at = output.find("Verifyfehler an"); at != std::string::npos;
         at = output.find("Verifyfehler an", at + 1))
        ++shown;
    EXPECT_EQ(shown, 10u);
    EXPECT_TRUE(Has("4096 Verifyfehler insgesamt, die ersten 10 sind oben gezeigt."));
}

// kestrel-cli convert: every format by name or number and back to the same bytes; an odd
// record length is taken as the even one below it; what it refuses, with its exit status.
TEST_F(UserFiles, ConvertRunsThroughEveryFormatAndBackOrFailsWithTheMessage) {
    std::string image;
    for (int i = 0; i < 0x12000; ++i) image.push_back(static_cast<char>((i * 7) ^ (i >> 8)));
    dir.Write("step.in", image);
    std::string previous = "step.in";
    for (const std::string format : {"intel32", "5", "s2", "S3", "rom", "4", "mcs86", "bin"}) {
        ASSERT_EQ(Convert(previous + " step." + format + " --format " + format), 0) << output;
        EXPECT_EQ(output, "");
        previous = "step." + format;
    }
    EXPECT_EQ(dir.Read(previous), image);
    ASSERT_EQ(Convert(previous + " out.hex -f intel32 --hex-line-len 17"), 0);
    EXPECT_EQ(dir.Read("out.hex").substr(0, 26), ":020000040000FA\r\n:10000000");
    dir.Write("small.bin", "\x01\x02\x03");
    ASSERT_EQ(Convert("small.bin full.bin -f bin --ff-save --flash-bytes 0x100"), 0);
    EXPECT_EQ(dir.Read("full.bin"), "\x01\x02\x03" + Blank(0xFD));

    dir.Write("e.eep", "0000:11\r\n0200:22\r\n");
    EXPECT_EQ(Convert("e.eep e.hex -f 3 --eeprom --eeprom-bytes 0x200"), 3);
    EXPECT_TRUE(Has("Erlaubt: 0x200\nGelesen: 0x201\n")) << output;
    EXPECT_EQ(Convert("e.eep e.hex -f 3 --eeprom"), 0);
    EXPECT_EQ(Convert("none.hex x.bin -f bin"), 3);
    EXPECT_EQ(Convert("step.in x.hex -f intel8"), 4);
    EXPECT_TRUE(Has("Das ausgewählte Datenformat unterstützt mur 64kB Daten."));
    EXPECT_NE(Convert("step.in x.hex -f 4 --hex-line-len 255"), 0);
}

}  // namespace
}  // namespace merlinox::testing
