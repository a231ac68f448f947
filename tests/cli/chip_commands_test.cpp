#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/busy_lock_file.h"
#include "cli_test_support.h"
#include "operations/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

// kestrel-cli on the simulated board in a scratch directory that holds our library.
struct Cli {
    Cli() {
        std::filesystem::copy_file(KESTREL_SOURCE_DIR "/data/at90list.csv",
                                   dir.Path("at90list.csv"));
    }
    int Run(const std::string& arguments) { return RunCli(dir.Dir().string(), arguments, output); }
    bool Has(const std::string& text) const { return output.find(text) != std::string::npos; }
    ScratchDir dir;
    std::string output;  // stdout and stderr of the last run
};

// The device choice and its "ID prüfen" are kept in pendrake.ini, the chip in its state file.
TEST(ChipCommands, SeparateRunsSeeTheSameChipAndKeepTheDeviceSettings) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    // avr-objcopy's companion of a program without EEPROM data: no EEPROM pass, and the
    // read-out of the erased EEPROM, also without data, verifies the same way.
    cli.dir.Write("fw.eep", ":00000001FF\n");
    ASSERT_EQ(cli.Run("program fw.bin --yes --device 'ATmega8 (ISP)' --board sim"), 0)
        << cli.output;
    EXPECT_EQ(cli.Run("verify fw.bin --yes --board sim"), 0) << cli.output;
    EXPECT_TRUE(cli.Has("Prüfe Programmspeicher: 100%"));  // plain lines without a terminal
    ASSERT_EQ(cli.Run("read dump.bin --format s2 --yes --quiet --board sim"), 0) << cli.output;
    EXPECT_EQ(cli.dir.Read("dump.hex").substr(0, 2), "S0") << "the format's extension";
    const std::string eeprom = cli.dir.Read("dump.eep");
    EXPECT_EQ(std::count(eeprom.begin(), eeprom.end(), '\n'), 3) << "more than header, id, end";
    EXPECT_EQ(cli.Run("verify dump.hex --yes --quiet --board sim"), 0) << cli.output;

    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 9)));
    EXPECT_EQ(cli.Run("verify fw.bin --yes --quiet --board sim"), 6) << cli.output;
    EXPECT_TRUE(cli.Has("Verifyfehler an Adresse"));
    EXPECT_FALSE(cli.Has("Prüfe Programmspeicher:"));
    EXPECT_EQ(cli.Run("erase --yes --quiet --board sim"), 0) << cli.output;
    EXPECT_EQ(cli.Run("blank-check --yes --quiet --board sim"), 0) << cli.output;

    // Another part in the socket is refused by its signature until "ID prüfen" is off.
    const std::string other = "program fw.bin --yes --quiet --board sim --sim-chip ATmega88";
    EXPECT_EQ(cli.Run(other), 7) << cli.output;
    EXPECT_EQ(cli.Run(other + " --no-id-check"), 0) << cli.output;
    EXPECT_EQ(cli.Run(other), 0) << cli.output;
    EXPECT_EQ(cli.Run(other + " --id-check"), 7) << cli.output;
}

TEST(ChipCommands, FusesShowBitNamesAndSetByNameOrValue) {
    Cli cli;
    ASSERT_EQ(cli.Run("fuses --device 'ATmega8 (ISP)'"), 0) << cli.output;
    EXPECT_TRUE(cli.Has("CKSEL0")) << cli.output;
    ASSERT_EQ(cli.Run("fuses --set BODEN=0 --set FuseHigh=0xC9 --set Lock2=0"), 0) << cli.output;
    EXPECT_TRUE(cli.Has("FuseLow  0xA1")) << cli.output;
    EXPECT_TRUE(cli.Has("FuseHigh 0xC9")) << cli.output;
    EXPECT_TRUE(cli.Has("LockBits 0xFC")) << "Lock2 takes Lock1 along: " << cli.output;
    EXPECT_GE(cli.Run("fuses --set NOSUCHBIT=0"), 100) << cli.output;
    EXPECT_TRUE(cli.Has("NOSUCHBIT"));
}

// --read shows the chip's bytes, --keep makes them the settings of the next program.
TEST(ChipCommands, FusesReadFromTheChipAndKeptAsTheSettings) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x100, 3)));
    ASSERT_EQ(cli.Run("fuses --set FuseLow=0xE4 --device 'ATmega8 (ISP)'"), 0) << cli.output;
    ASSERT_EQ(cli.Run("program fw.bin --yes --quiet --board sim"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses --set FuseLow=0xE1"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses --read --yes --board sim"), 0) << cli.output;
    EXPECT_TRUE(cli.Has("FuseLow  0xE4\n  bit 7  BODLEVEL  1")) << cli.output;
    EXPECT_TRUE(cli.Has("FuseExt  not read")) << cli.output;
    ASSERT_EQ(cli.Run("fuses"), 0);
    EXPECT_TRUE(cli.Has("FuseLow  0xE1")) << "not kept without --keep: " << cli.output;
    ASSERT_EQ(cli.Run("fuses --read --keep --yes --board sim"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses"), 0);
    EXPECT_TRUE(cli.Has("FuseLow  0xE4")) << cli.output;
    EXPECT_GE(cli.Run("fuses --keep"), 100) << "--keep needs --read: " << cli.output;
}

TEST(ChipCommands, ARunningOperationElsewhereRefusesWithStatusOne) {
    Cli cli;
    std::filesystem::create_directories(cli.dir.Path("run"));
    BusyLockFile other(cli.dir.Path("run") + "/merlinox");
    other.Create(0, 0);
    EXPECT_EQ(cli.Run("erase --yes --device 'ATmega8 (ISP)' --board sim"), 1) << cli.output;
}

}  // namespace
}  // namespace merlinox::testing
