#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "devices/fuse_panel.h"
#include "files/avr_gcc_programs.h"
#include "support/operation_rig.h"

namespace merlinox {
namespace {

using testing::Program;
using testing::ReadFile;
using testing::Shell;
using testing::SourceOf;

// "Brennen" with an ELF file on the simulated board: flash and EEPROM from the file, its
// fuse and lock bytes written with the bits the part lacks forced, and named in the
// confirmation. A file that does not fit leaves the chip as it was.
TEST(ElfFirmwareOnTheBoard, ProgramsMemoriesFusesAndLockAndVerifies) {
    REQUIRE_AVR_TOOLS();
    testing::OperationRig rig("ATmega8 (ISP)");
    const std::string elf = rig.dir.Path("fw.elf");
    const auto build = [&](const Program& program) {
        return Shell("avr-gcc -mmcu=" + program.mcu + " -Os -o " + elf + " " +
                         rig.dir.Write("fw.c", SourceOf(program)),
                     rig.dir.Path("log"));
    };
    ASSERT_TRUE(build({"atmega8", 3000, "9, 8, 7", ".low = 0xE4, .high = 0xC9", "0xFC"}));
    ASSERT_TRUE(Shell(
        "avr-objcopy -O binary -R .eeprom -R .fuse -R .lock " + elf + " " + rig.dir.Path("fw.bin"),
        rig.dir.Path("log")));
    const std::string bin = ReadFile(rig.dir.Path("fw.bin"));

    rig.UseDataFile(elf);
    rig.ui.Answer(kIdOk);
    ASSERT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
    const auto& contents = rig.Contents();
    ASSERT_LE(bin.size(), contents.flash.size());
    EXPECT_TRUE(std::equal(bin.begin(), bin.end(), contents.flash.begin(),
                           [](char a, std::uint8_t b) { return std::uint8_t(a) == b; }));
    EXPECT_EQ(contents.eeprom[2], 7);
    const std::uint8_t low = 0xE4 | FixedBitsOf(rig.ctx.device, FuseByte::Low);
    const std::uint8_t lock = 0xFC | FixedBitsOf(rig.ctx.device, FuseByte::Lock);
    EXPECT_EQ(contents.fuses[0], low);
    EXPECT_EQ(contents.fuses[1], 0xC9);
    EXPECT_EQ(contents.lock & 0x03, 0x00);
    EXPECT_EQ(rig.ctx.settings.lockBits, lock) << "kept as the device's settings";
    const std::string confirmation = rig.ui.shown.front().text;
    char line[80];
    std::snprintf(line, sizeof line,
                  "Fuses aus der Datei: LockBits=0x%02X FuseLow=0x%02X "
                  "FuseHigh=0xC9\n\n",
                  lock, low);
    EXPECT_NE(confirmation.find(line), std::string::npos) << confirmation;
    EXPECT_NE(confirmation.find("Format:(ELF)"), std::string::npos) << confirmation;

    // Lock mode 3 hides the flash; a fresh chip verifies against the file.
    rig.InsertChip("ATmega8");
    rig.ctx.settings.lockBits = 0xFF;
    ASSERT_TRUE(build({"atmega8", 3000, "9, 8", "", ""}));
    rig.ui.Answer(kIdOk);
    ASSERT_EQ(rig.handlers.OnProgramButton(), 0) << ::testing::PrintToString(rig.Messages());
    rig.ui.Answer(kIdOk);
    EXPECT_EQ(rig.handlers.OnVerifyButton(), 0) << ::testing::PrintToString(rig.Messages());

    // Too much EEPROM for the part: refused at the flash load, the chip untouched.
    const auto before = rig.Contents().flash;
    ASSERT_TRUE(build({"atmega32", 100, "[600] = 1", "", ""}));
    rig.ui.shown.clear();
    EXPECT_EQ(rig.handlers.OnProgramButton(), 3);
    EXPECT_TRUE(
        rig.Showed("Zuviele EEPROM-Daten für diesen Baustein !\n\n"
                   "Erlaubt: 0x200\nGelesen: 0x259\n"));
    EXPECT_TRUE(rig.Contents().flash == before);
}

}  // namespace
}  // namespace merlinox
