// AVR ELF firmware built by avr-gcc, loaded directly and compared byte for byte with
// what the avr-objcopy route gives (Intel HEX for flash and EEPROM, raw fuse and lock
// bytes). Each test that needs the tools skips, saying so, when they are not installed.
#include "files/elf_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "devices/fuse_panel.h"
#include "files/avr_gcc_programs.h"
#include "files/conversion.h"
#include "files/files_test_support.h"

namespace merlinox {
namespace {

using testing::FilesFixture;
using testing::Program;
using testing::ReadFile;
using testing::Shell;
using testing::SourceOf;
using testing::WriteFile;

struct ElfFirmware : FilesFixture {
    ElfFirmware() { ctx->device.fuseCount = 3; }

    ::testing::AssertionResult Run(const std::string& command) {
        return Shell(command, dir / "log");
    }

    // Builds the program; returns the path of its ELF file.
    std::string Build(const Program& program, const std::string& name) {
        WriteFile(dir / (name + ".c"), SourceOf(program));
        const std::string elf = dir / (name + ".elf");
        EXPECT_TRUE(
            Run("avr-gcc -mmcu=" + program.mcu + " -Os -o " + elf + " " + (dir / (name + ".c"))));
        return elf;
    }

    struct Loaded {
        PassLoad load;
        std::vector<std::uint8_t> bytes;
        std::uint32_t highest = 0;
    };
    Loaded LoadPass(const std::string& path, MemoryKind kind) {
        Loaded loaded{LoadFileForPass(*ctx, path, kind), {}, ctx->image.highestAddress};
        CloseInputFile(*ctx);
        loaded.bytes.assign(Bytes(), Bytes() + MemoryImage::kSize);
        return loaded;
    }

    // The ELF file against avr-objcopy's output, memory by memory.
    void ExpectSameAsObjcopy(const std::string& elf) {
        const std::string hex = dir / "objcopy.hex";
        const std::string eep = dir / "objcopy.eep";
        ASSERT_TRUE(Run("avr-objcopy -O ihex -R .eeprom -R .fuse -R .lock -R .signature " + elf +
                        " " + hex));
        ASSERT_TRUE(Run("avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0 " + elf +
                        " " + eep));
        for (const auto& [route, kind] : {std::pair{hex, kFlash}, std::pair{eep, kEeprom}}) {
            const Loaded expected = LoadPass(route, kind);
            const Loaded got = LoadPass(elf, kind);
            ASSERT_EQ(got.load.result, expected.load.result)
                << ::testing::PrintToString(ui.Texts());
            EXPECT_EQ(got.load.format == kFormatNone, expected.load.format == kFormatNone);
            EXPECT_EQ(got.highest, expected.highest) << route;
            EXPECT_TRUE(got.bytes == expected.bytes) << route;
        }
        LoadPass(elf, kFlash);
        EXPECT_EQ(ObjcopyBytes(elf, ".fuse"), Present(1, 4));
        EXPECT_EQ(ObjcopyBytes(elf, ".lock"), Present(0, 1));
    }

    std::string ObjcopyBytes(const std::string& elf, const std::string& section) {
        const std::string out = dir / "section.bin";
        EXPECT_TRUE(Run("avr-objcopy -O binary -j " + section + " --change-section-lma " + section +
                        "=0 " + elf + " " + out));
        return ReadFile(out);
    }
    // The fuse bytes the last flash load kept, from first to end, as a byte string.
    std::string Present(std::size_t first, std::size_t end) const {
        std::string bytes;
        for (std::size_t b = first; b < end; ++b) {
            const auto& value = ctx->files.firmwareFuses.bytes[b];
            if (value) bytes += static_cast<char>(*value);
        }
        return bytes;
    }

    std::string Refusal(const std::string& path) {
        ui.shown.clear();
        EXPECT_EQ(LoadPass(path, kFlash).load.result, kLoadFailed);
        return ui.shown.empty() ? std::string() : ui.shown.back().text;
    }
};

TEST_F(ElfFirmware, EightKilobytePartLoadsLikeTheObjcopyRoute) {
    REQUIRE_AVR_TOOLS();
    const std::string bare = Build({"atmega8", 2000, "", "", ""}, "bare");
    ExpectSameAsObjcopy(bare);
    EXPECT_EQ(LoadPass(bare, kEeprom).load.format, kFormatNone) << "no EEPROM data: pass done";

    const std::string full = Build(
        {"atmega8", 6000, "1, 2, 3, 0xFF, 5, [40] = 0x42", ".low = 0xE4, .high = 0xC9", "0xFC"},
        "full");
    ExpectSameAsObjcopy(full);
    EXPECT_EQ(LoadPass(full, kEeprom).highest, 40u);
    EXPECT_EQ(ctx->settings.dataFormat, kFormatNone) << "never proposed for saving";

    // Converted, the flash is what avr-objcopy writes as binary.
    ASSERT_TRUE(Run("avr-objcopy -O binary -R .eeprom -R .fuse -R .lock " + full + " " +
                    (dir / "objcopy.bin")));
    ConversionRequest request{full, dir / "converted.bin", kFormatBinary};
    request.flashBytes = 0x2000;
    ASSERT_EQ(ConvertDataFile(*ctx, request), 0) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(ReadFile(dir / "converted.bin"), ReadFile(dir / "objcopy.bin"));
}

TEST_F(ElfFirmware, PartAboveOneHundredTwentyEightKilobytesLoadsLikeTheObjcopyRoute) {
    REQUIRE_AVR_TOOLS();
    const std::string elf = Build({"atmega2560", 150000, "[4000] = 0x99, [4095] = 1",
                                   ".low = 0xFF, .high = 0xD8, .extended = 0xFD", ""},
                                  "big");
    ExpectSameAsObjcopy(elf);
    EXPECT_GT(LoadPass(elf, kFlash).highest, 0x20000u);
    EXPECT_EQ(Present(3, 4), "\xFD") << "the extended fuse byte";

    // The same file for a smaller part: its flash and its fuse bytes are each too many
    // (too much EEPROM is refused on the board, below).
    ctx->device.flashWords = 0x10000;
    EXPECT_TRUE(Refusal(elf).starts_with("Zuviele Programmdaten für diesen Baustein !"));
    ctx->device.flashWords = 0x20000;
    ctx->device.fuseCount = 2;
    ctx->device.name = "ATmega1280";
    EXPECT_EQ(Refusal(elf), "Die ELF-Datei enthält 3 Fuse-Bytes,\nATmega1280 hat nur 2 !");
}

TEST_F(ElfFirmware, RefusesOtherMachinesDamageAndOverlaps) {
    EXPECT_EQ(Refusal("/usr/bin/true"),  // a small x86-64 program
              "Die ELF-Datei ist nicht für AVR-Controller übersetzt\n(Klasse 2, Maschine 62) !");
    REQUIRE_AVR_TOOLS();
    const std::string elf = Build({"atmega8", 100, "7", ".low = 0xE4", ""}, "fw");
    const std::string bytes = ReadFile(elf);
    for (const std::size_t keep : {std::size_t{40}, bytes.size() - 1}) {
        WriteFile(dir / "cut.elf", bytes.substr(0, keep));
        const std::string text = Refusal(dir / "cut.elf");
        EXPECT_TRUE(text.starts_with("Die ELF-Datei ist abgeschnitten oder beschädigt !"))
            << keep << ": " << text;
    }
    ASSERT_TRUE(
        Run("avr-objcopy --change-section-lma .data=0x20 " + elf + " " + (dir / "clash.elf")));
    EXPECT_EQ(Refusal(dir / "clash.elf"),
              "In der ELF-Datei überlappen sich die Abschnitte\n.text und .data bei 0x20 !");
    ASSERT_TRUE(Run("avr-gcc -mmcu=atmega8 -c -o " + (dir / "fw.o") + " " + (dir / "fw.c")));
    EXPECT_TRUE(Refusal(dir / "fw.o").starts_with("Die ELF-Datei ist kein gelinktes Programm !"));
}

}  // namespace
}  // namespace merlinox
