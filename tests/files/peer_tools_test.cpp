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

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

#define REQUIRE_TOOL(name) \
    if (!HaveTool(name)) GTEST_SKIP() << name " is not installed: skipped"

struct Hole {
    std::size_t begin, end;
};

// Random bytes with holes (left at 0xFF), and the srec_cat filter that cuts the holes
// out of the full random file.
struct HoledImage {
    std::vector<std::uint8_t> full;
    std::vector<std::uint8_t> expected;
    std::string excludes;

    HoledImage(std::size_t size, unsigned seed, const std::vector<Hole>& holes) : full(size) {
        std::mt19937 random(seed);
        for (auto& b : full) b = static_cast<std::uint8_t>(random());
        expected = full;
        for (const Hole& hole : holes) {
            if (hole.end > size) continue;
            std::fill(expected.begin() + static_cast<long>(hole.begin),
                      expected.begin() + static_cast<long>(hole.end), 0xFF);
            excludes += " -exclude " + std::to_string(hole.begin) + " " + std::to_string(hole.end);
        }
    }
};

struct PeerTools : FilesFixture {
    // Runs a shell command; the output goes to a log that a failure shows.
    ::testing::AssertionResult Run(const std::string& command) {
        const std::string log = dir / "tool.log";
        if (std::system((command + " >" + log + " 2>&1").c_str()) == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << command << "\n" << ReadFile(log);
    }

    // Loads path as a flash (or EEPROM) file and compares every image byte.
    void ExpectLoadsTo(const std::string& path, const std::vector<std::uint8_t>& expected,
                       MemoryKind kind = kFlash) {
        ui.shown.clear();
        const PassLoad load = LoadFileForPass(*ctx, path, kind);
        CloseInputFile(*ctx);
        ASSERT_EQ(load.result, kLoadOk) << path << ": " << ::testing::PrintToString(ui.Texts());
        for (std::size_t a = 0; a < MemoryImage::kSize; ++a) {
            ASSERT_EQ(Bytes()[a], a < expected.size() ? expected[a] : 0xFF)
                << path << " at 0x" << std::hex << a;
        }
    }
};

const std::vector<Hole> kHoles = {{0x1, 0x2},        {0x100, 0x180},    {0x1001, 0x1234},
                                  {0x8000, 0x8100},  {0xFFF0, 0x10010}, {0x2FFFE, 0x30000},
                                  {0x3F000, 0x3F800}};

TEST_F(PeerTools, SrecCatFilesOfEveryVariantLoadToTheSameBytes) {
    REQUIRE_TOOL("srec_cat");
    for (const std::size_t size : {0x1000u, 0x9000u, 0x40000u}) {
        SCOPED_TRACE(size);
        const HoledImage image(size, static_cast<unsigned>(size), kHoles);
        const std::string in = dir / "in.bin";
        WriteFile(in, std::string(image.full.begin(), image.full.end()));
        const std::string source = in + " -binary" + image.excludes;
        std::vector<std::string> outputs = {"-intel -address-length=3", "-intel -address-length=4",
                                            "-motorola -address-length=3 -disable=data-count",
                                            "-motorola -address-length=4 -disable=data-count"};
        if (size <= 0x10000) {
            outputs.push_back("-intel -address-length=2");
            outputs.push_back("-motorola -address-length=2 -disable=data-count");
        }
        for (const std::string& output : outputs) {
            SCOPED_TRACE(output);
            ASSERT_TRUE(Run("srec_cat " + source + " -o " + (dir / "out") + " " + output));
            ExpectLoadsTo(dir / "out", image.expected);
        }
        // Binary: the holes filled with blank bytes; the Atmel generic file in our word order.
        ASSERT_TRUE(Run("srec_cat " + source + " -fill 0xFF 0 " + std::to_string(size) + " -o " +
                        (dir / "out.bin") + " -binary"));
        ExpectLoadsTo(dir / "out.bin", image.expected);
        // Words cut by a hole are completed with blank bytes, as our image holds them;
        // srec_cat writes this format for the first 128 KB only.
        if (size > 0x20000) continue;
        ASSERT_TRUE(Run("srec_cat '(' " + source + " ')' -fill 0xFF -within '(' " + source +
                        " ')' -range-padding 2 -o " + (dir / "out.rom") + " -atmel-generic-be"));
        ExpectLoadsTo(dir / "out.rom", image.expected);
    }
}

TEST_F(PeerTools, CountRecordOfSrecCatIsRefused) {
    REQUIRE_TOOL("srec_cat");
    WriteFile(dir / "in.bin", std::string(64, '\x11'));
    ASSERT_TRUE(Run("srec_cat " + (dir / "in.bin") + " -binary -o " + (dir / "out.s28") +
                    " -motorola -address-length=3 -line-length=46"));
    // Header, four data records, then the S5 count record in line 6.
    EXPECT_EQ(LoadFileForPass(*ctx, dir / "out.s28", kFlash).result, kLoadFailed);
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Zeilenanfang in Zeile 6\nder Hex-Datei nicht gefunden !"});
}

struct Peer {
    DataFormat format;
    const char* srecOption;
};

TEST_F(PeerTools, SrecCmpFindsOurFilesEqualToTheirImage) {
    REQUIRE_TOOL("srec_cmp");
    const std::vector<Peer> peers = {
        {kFormatBinary, "-binary"}, {kFormatRom, "-atmel-generic-be"}, {kFormatIntel8, "-intel"},
        {kFormatIntel32, "-intel"}, {kFormatIntelMcs86, "-intel"},     {kFormatS1, "-motorola"},
        {kFormatS2, "-motorola"},   {kFormatS3, "-motorola"}};
    for (const std::size_t size : {0x9000u, 0x40000u}) {
        const HoledImage image(size, 7 + static_cast<unsigned>(size), kHoles);
        const std::string reference = dir / "reference.bin";
        WriteFile(reference, std::string(image.expected.begin(), image.expected.end()));
        for (const Peer& peer : peers) {
            for (const MemoryKind kind : {kFlash, kEeprom}) {
                if (size > 0x10000 && peer.format == kFormatIntel8) continue;
                if (kind == kEeprom && peer.format == kFormatRom)
                    continue;  // byte lines: no peer reads them
                for (const std::uint32_t ffSave : {0u, 1u}) {
                    SCOPED_TRACE(::testing::Message() << size << " format " << peer.format
                                                      << " kind " << kind << " ffSave " << ffSave);
                    ctx->settings.ffSave = ffSave;
                    ctx->settings.dataFormat = peer.format;
                    ImageCellSource source(image.expected.data(), static_cast<std::uint32_t>(size),
                                           kind);
                    const std::uint32_t cells =
                        static_cast<std::uint32_t>(kind == kFlash ? size / 2 : size);
                    const std::string ours = dir / "ours";
                    int saved = kSaveFailed;
                    if (peer.format == kFormatBinary)
                        saved = SaveBin(*ctx, ours, kind, cells, source);
                    if (peer.format == kFormatRom)
                        saved = SaveROMHex(*ctx, ours, kind, cells, source);
                    if (peer.format >= kFormatIntel8)
                        saved = SaveHex(*ctx, ours, kind, cells, source);
                    ASSERT_EQ(saved, kSaveOk) << ::testing::PrintToString(ui.Texts());
                    ASSERT_TRUE(Run("srec_cmp '(' " + ours + " " + peer.srecOption +
                                    " -fill 0xFF 0 " + std::to_string(size) + " ')' " + reference +
                                    " -binary"));
                }
            }
        }
    }
}

// A program for an ATmega2560 with more than 64 KB of tables, initialised data and
// EEPROM data; the tables are kept but never reached from the code.
std::string LargeAvrProgram() {
    std::mt19937 random(2560);
    std::string source =
        "#include <avr/eeprom.h>\n#include <avr/pgmspace.h>\n#include <stdint.h>\n";
    for (int table = 0; table < 3; ++table) {
        source += "__attribute__((used)) const uint8_t table" + std::to_string(table) +
                  "[25000] PROGMEM = {";
        for (int i = 0; i < 25000; ++i) source += std::to_string(random() & 0xFF) + ",";
        source += "};\n";
    }
    source += "uint8_t ram[300] = {";
    for (int i = 0; i < 300; ++i) source += std::to_string(random() & 0xFF) + ",";
    source += "};\nuint8_t EEMEM settings[700] = {";
    for (int i = 0; i < 700; ++i) source += std::to_string(random() & 0xFF) + ",";
    source +=
        "};\nint main(void) {\n  volatile uint8_t sum = 0;\n"
        "  for (uint16_t i = 0; i < sizeof ram; ++i) sum += ram[i] + "
        "eeprom_read_byte(&settings[i]);\n"
        "  for (;;) {}\n}\n";
    return source;
}

TEST_F(PeerTools, AvrObjcopyFirmwareAboveSixtyFourKilobytesLoadsLikeItsBinary) {
    REQUIRE_TOOL("avr-gcc");
    REQUIRE_TOOL("avr-objcopy");
    WriteFile(dir / "big.c", LargeAvrProgram());
    const std::string elf = dir / "big.elf";
    ASSERT_TRUE(Run("avr-gcc -mmcu=atmega2560 -Os -o " + elf + " " + (dir / "big.c")));
    ASSERT_TRUE(Run("avr-objcopy -O ihex -R .eeprom " + elf + " " + (dir / "big.hex")));
    ASSERT_TRUE(Run("avr-objcopy -O binary -R .eeprom " + elf + " " + (dir / "big.bin")));
    ASSERT_TRUE(Run("avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0 " + elf + " " +
                    (dir / "big.eep")));
    ASSERT_TRUE(Run("avr-objcopy -O binary -j .eeprom --change-section-lma .eeprom=0 " + elf + " " +
                    (dir / "eeprom.bin")));

    const std::string hex = ReadFile(dir / "big.hex");
    EXPECT_NE(hex.find(":02000002"), std::string::npos)
        << "avr-objcopy writes segment records above 64 KB";
    const std::string bin = ReadFile(dir / "big.bin");
    ASSERT_GT(bin.size(), 0x10000u);
    ctx->device.flashWords = 0x20000;  // ATmega2560
    ctx->device.eepromBytes = 0x1000;
    ExpectLoadsTo(dir / "big.hex", std::vector<std::uint8_t>(bin.begin(), bin.end()));
    EXPECT_EQ(ctx->image.highestAddress, bin.size() - 1);

    const std::string eeprom = ReadFile(dir / "eeprom.bin");
    ASSERT_EQ(eeprom.size(), 700u);
    ExpectLoadsTo(dir / "big.eep", std::vector<std::uint8_t>(eeprom.begin(), eeprom.end()),
                  kEeprom);
}

}  // namespace
}  // namespace merlinox
