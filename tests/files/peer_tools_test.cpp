// Real tools as oracles: files written by srec_cat and avr-objcopy load to the bytes the
// tools say they hold, and srec_cmp finds our files equal to the image they came from.
// Each test skips, saying so, when its tool is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::ReadFile;
using testing::WriteFile;

#define REQUIRE_TOOL(name)                                         \
    if (std::system("command -v " name " >/dev/null 2>&1") != 0) { \
        GTEST_SKIP() << name " is not installed: skipped";         \
    }

// Random bytes of the given size with holes, which the image holds as blank bytes.
struct HoledImage {
    std::vector<std::uint8_t> bytes;
    std::string excludes;  // the srec_cat filter that cuts the holes out

    HoledImage(std::size_t size, unsigned seed) : bytes(size) {
        std::mt19937 random(seed);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        for (const auto& [begin, end] : std::vector<std::pair<std::size_t, std::size_t>>{
                 {1, 2}, {0x100, 0x180}, {0x1001, 0x1234}, {0xFFF0, 0x10010}, {0x3F000, 0x3F800}}) {
            if (end > size) continue;
            std::fill(bytes.begin() + long(begin), bytes.begin() + long(end), 0xFF);
            excludes += " -exclude " + std::to_string(begin) + " " + std::to_string(end);
        }
    }
};

struct PeerTools : FilesFixture {
    ::testing::AssertionResult Run(const std::string& command) {
        if (std::system((command + " >" + (dir / "log") + " 2>&1").c_str()) == 0) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << command << "\n" << ReadFile(dir / "log");
    }

    void ExpectLoadsTo(const std::string& path, const std::vector<std::uint8_t>& expected,
                       MemoryKind kind = kFlash) {
        const PassLoad load = LoadFileForPass(*ctx, path, kind);
        CloseInputFile(*ctx);
        ASSERT_EQ(load.result, kLoadOk) << path << ": " << ::testing::PrintToString(ui.Texts());
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), Bytes())) << path;
        ASSERT_TRUE(std::all_of(Bytes() + expected.size(), Bytes() + MemoryImage::kSize,
                                [](std::uint8_t b) { return b == 0xFF; }));
    }
};

TEST_F(PeerTools, SrecCatFilesOfEveryVariantLoadToTheSameBytes) {
    REQUIRE_TOOL("srec_cat");
    for (const std::size_t size : {0x1000u, 0x9000u, 0x40000u}) {
        SCOPED_TRACE(size);
        const HoledImage image(size, static_cast<unsigned>(size));
        std::mt19937 random(static_cast<unsigned>(size));
        std::string full(size, '\0');
        for (std::size_t a = 0; a < size; ++a) full[a] = static_cast<char>(random());
        WriteFile(dir / "in.bin", full);
        const std::string in = "'(' " + (dir / "in.bin") + " -binary" + image.excludes + " ')'";
        // Each output: a filter before -o and the format after it.
        std::vector<std::pair<std::string, std::string>> outputs = {
            {"", "-intel -address-length=3"},
            {"", "-intel -address-length=4"},
            {"", "-motorola -address-length=3 -disable=data-count"},
            {"", "-motorola -address-length=4 -disable=data-count"},
            {"-fill 0xFF 0 " + std::to_string(size), "-binary"}};
        if (size <= 0x10000) {
            outputs.emplace_back("", "-intel -address-length=2");
            outputs.emplace_back("", "-motorola -address-length=2 -disable=data-count");
        }
        if (size <= 0x20000) {
            // srec_cat writes this format for 128 KB; words cut by a hole are completed.
            outputs.emplace_back("-fill 0xFF -within " + in + " -range-padding 2",
                                 "-atmel-generic-be");
        }
        for (const auto& [filter, format] : outputs) {
            ASSERT_TRUE(
                Run("srec_cat " + in + " " + filter + " -o " + (dir / "out") + " " + format));
            ExpectLoadsTo(dir / "out", image.bytes);
        }
    }
    // srec_cat's count record is refused (line 6, after the header and four records).
    ASSERT_TRUE(Run("srec_cat " + (dir / "in.bin") + " -binary -crop 0 64 -o " + (dir / "out") +
                    " -motorola -address-length=3 -line-length=46"));
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "out", kFlash).result, kLoadFailed);
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Zeilenanfang in Zeile 6\nder Hex-Datei nicht gefunden !"});
}

TEST_F(PeerTools, SrecCmpFindsOurFilesEqualToTheirImage) {
    REQUIRE_TOOL("srec_cmp");
    const char* options[] = {"",       "-binary",   "-atmel-generic-be", "-intel",   "-intel",
                             "-intel", "-motorola", "-motorola",         "-motorola"};
    for (const std::size_t size : {0x9000u, 0x40000u}) {
        const HoledImage image(size, 7 + static_cast<unsigned>(size));
        WriteFile(dir / "ref.bin", std::string(image.bytes.begin(), image.bytes.end()));
        for (int format = kFormatBinary; format <= kFormatS3; ++format) {
            for (const MemoryKind kind : {kFlash, kEeprom}) {
                if (size > 0x10000 && format == kFormatIntel8) continue;
                if (kind == kEeprom && format == kFormatRom) continue;  // no peer reads byte lines
                for (const std::uint32_t ffSave : {0u, 1u}) {
                    SCOPED_TRACE(::testing::Message() << size << " " << format << " " << kind);
                    ctx->settings.ffSave = ffSave;
                    ctx->settings.dataFormat = format;
                    ImageCellSource source(image.bytes.data(), std::uint32_t(size), kind);
                    const auto cells = std::uint32_t(kind == kFlash ? size / 2 : size);
                    const std::string ours = dir / "ours";
                    const int saved =
                        format == kFormatBinary ? SaveBin(*ctx, ours, kind, cells, source)
                        : format == kFormatRom  ? SaveROMHex(*ctx, ours, kind, cells, source)
                                                : SaveHex(*ctx, ours, kind, cells, source);
                    ASSERT_EQ(saved, kSaveOk) << ::testing::PrintToString(ui.Texts());
                    ASSERT_TRUE(Run("srec_cmp '(' " + ours + " " + options[format] +
                                    " -fill 0xFF 0 " + std::to_string(size) + " ')' " +
                                    (dir / "ref.bin") + " -binary"));
                }
            }
        }
    }
}

// An ATmega2560 program with more than 64 KB of tables (kept, never reached from the
// code), initialised data and EEPROM data.
std::string LargeAvrProgram() {
    std::mt19937 random(2560);
    const auto numbers = [&random](int count) {
        std::string list;
        for (int i = 0; i < count; ++i) list += std::to_string(random() & 0xFF) + ",";
        return list;
    };
    std::string source = "#include <avr/eeprom.h>\n#include <avr/pgmspace.h>\n";
    for (int table = 0; table < 3; ++table) {
        source += "__attribute__((used)) const uint8_t table" + std::to_string(table) +
                  "[25000] PROGMEM = {" + numbers(25000) + "};\n";
    }
    return source + "uint8_t ram[300] = {" + numbers(300) + "};\nuint8_t EEMEM settings[700] = {" +
           numbers(700) +
           "};\nint main(void) {\n  volatile uint8_t sum = 0;\n"
           "  for (uint16_t i = 0; i < sizeof ram; ++i) sum += ram[i] + "
           "eeprom_read_byte(&settings[i]);\n"
           "  for (;;) {}\n}\n";
}

TEST_F(PeerTools, AvrObjcopyFirmwareAboveSixtyFourKilobytesLoadsLikeItsBinary) {
    REQUIRE_TOOL("avr-gcc");
    REQUIRE_TOOL("avr-objcopy");
    WriteFile(dir / "big.c", LargeAvrProgram());
    const std::string elf = dir / "big.elf";
    const std::string eeprom = " -j .eeprom --change-section-lma .eeprom=0 " + elf + " ";
    ASSERT_TRUE(Run("avr-gcc -mmcu=atmega2560 -Os -o " + elf + " " + (dir / "big.c")));
    ASSERT_TRUE(Run("avr-objcopy -O ihex -R .eeprom " + elf + " " + (dir / "big.hex")));
    ASSERT_TRUE(Run("avr-objcopy -O binary -R .eeprom " + elf + " " + (dir / "big.bin")));
    ASSERT_TRUE(Run("avr-objcopy -O ihex" + eeprom + (dir / "big.eep")));
    ASSERT_TRUE(Run("avr-objcopy -O binary" + eeprom + (dir / "eeprom.bin")));

    EXPECT_NE(ReadFile(dir / "big.hex").find(":02000002"), std::string::npos)
        << "avr-objcopy writes segment records above 64 KB";
    const std::string bin = ReadFile(dir / "big.bin");
    ASSERT_GT(bin.size(), 0x10000u);
    ExpectLoadsTo(dir / "big.hex", std::vector<std::uint8_t>(bin.begin(), bin.end()));
    const std::string eepromBytes = ReadFile(dir / "eeprom.bin");
    ASSERT_EQ(eepromBytes.size(), 700u);
    ExpectLoadsTo(dir / "big.eep",
                  std::vector<std::uint8_t>(eepromBytes.begin(), eepromBytes.end()), kEeprom);
}

}  // namespace
}  // namespace merlinox
