#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/busy_lock_file.h"
#include "cli_test_support.h"
#include "support/operation_rig.h"
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
    // A command line of its own, run in the directory with the same environment.
    int RunCommand(const std::string& command) {
        const std::string at = dir.Dir().string();
        return RunShell("cd '" + at + "' && mkdir -p -m 700 run && XDG_RUNTIME_DIR='" + at +
                            "/run' XDG_STATE_HOME='" + at + "/state' " + command + " </dev/null",
                        output);
    }
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
    EXPECT_EQ(cli.Run("verify fw.bin --yes --quiet --board sim"), 0) << cli.output;
    ASSERT_EQ(cli.Run("read dump.bin --format s2 --yes --quiet --board sim"), 0) << cli.output;
    EXPECT_EQ(cli.dir.Read("dump.hex").substr(0, 2), "S0") << "the format's extension";
    const std::string eeprom = cli.dir.Read("dump.eep");
    EXPECT_EQ(std::count(eeprom.begin(), eeprom.end(), '\n'), 3) << "more than header, id, end";
    EXPECT_EQ(cli.Run("verify dump.hex --yes --quiet --board sim"), 0) << cli.output;

    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 9)));
    EXPECT_EQ(cli.Run("verify fw.bin --yes --quiet --board sim"), 6) << cli.output;
    EXPECT_TRUE(cli.Has("Verifyfehler an Adresse"));
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

// Refused before anything is read: the device choice in pendrake.ini and the chip in
// its state file stay as they were, and the user hears why.
TEST(ChipCommands, ARunningOperationElsewhereRefusesAndChangesNothing) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    ASSERT_EQ(cli.Run("program fw.bin --yes --quiet --device 'ATmega8 (ISP)' --board sim"), 0)
        << cli.output;
    const std::string ini = cli.dir.Read("pendrake.ini");
    const std::string chip = cli.dir.Read("state/merlinox/chip.state");
    BusyLockFile other(cli.dir.Path("run") + "/merlinox");
    ASSERT_EQ(other.Create(0, 0), "");
    EXPECT_EQ(cli.Run("erase --yes --device 'ATmega88 (ISP)' --board sim"), 1) << cli.output;
    EXPECT_EQ(cli.output,
              "kestrel-cli: another operation is running (lock file " + other.Path() + ")\n");
    EXPECT_EQ(cli.dir.Read("pendrake.ini"), ini);
    EXPECT_EQ(cli.dir.Read("state/merlinox/chip.state"), chip);
    // Nor does a reset pulse or a board search cut into the running operation.
    EXPECT_EQ(cli.Run("reset --board sim"), 1) << cli.output;
    EXPECT_EQ(cli.Run("detect --board sim"), 1) << cli.output;
    EXPECT_TRUE(cli.Has("another operation is running")) << cli.output;
}

// A mistyped --sim-state names the firmware, or something that is no file at all: the
// run is refused and the file stays.
TEST(ChipCommands, SimStateNeverReplacesWhatIsNoChipState) {
    Cli cli;
    const std::string firmware = Bytes(TestPattern(0x800, 7));
    cli.dir.Write("fw.bin", firmware);
    ASSERT_EQ(::mkfifo(cli.dir.Path("fifo").c_str(), 0600), 0);
    for (const std::string state : {"fw.bin", "fifo"}) {
        // Bounded: a FIFO opened for reading would wait for a writer.
        EXPECT_EQ(cli.RunCommand("timeout 20 " KESTREL_BINARY_DIR "/src/kestrel-cli erase --yes "
                                 "--device 'ATmega8 (ISP)' --board sim --sim-state " +
                                 state),
                  2)
            << cli.output;
        EXPECT_TRUE(cli.Has(state + " is not a")) << cli.output;
    }
    EXPECT_EQ(cli.dir.Read("fw.bin"), firmware);
    EXPECT_TRUE(std::filesystem::is_fifo(cli.dir.Path("fifo")));
    // A chip state of its own is kept there, through a temporary file beside it.
    EXPECT_EQ(cli.Run("erase --yes --quiet --board sim --sim-state kept.state"), 0) << cli.output;
    EXPECT_EQ(cli.dir.Read("kept.state").substr(0, 16), "merlinox-chip 1\n");
    EXPECT_EQ(cli.Run("erase --yes --quiet --board sim --sim-state kept.state"), 0) << cli.output;
    for (const auto& entry : std::filesystem::directory_iterator(cli.dir.Dir())) {
        EXPECT_EQ(entry.path().filename().string().find("kept.state."), std::string::npos)
            << "a temporary file was left: " << entry.path();
    }
}

// The final value of a one-bit VCD wire, by its name.
std::string FinalBit(const std::string& vcd, const std::string& name) {
    const std::size_t var = vcd.find(" " + name + " $end");
    if (var == std::string::npos) return "no wire " + name;
    const std::size_t codeStart = vcd.rfind(' ', var - 1) + 1;
    const std::string code = vcd.substr(codeStart, var - codeStart);
    std::string value = "never set";
    std::istringstream lines(vcd.substr(vcd.find("$enddefinitions")));
    for (std::string line; std::getline(lines, line);) {
        if (line.size() == code.size() + 1 && line.compare(1, code.size(), code) == 0) {
            value = line.substr(0, 1);
        }
    }
    return value;
}

// The final value of an 8-bit signal, written as its wires NAME7 to NAME0.
std::string FinalValue(const std::string& vcd, const std::string& name) {
    std::string value;
    for (int bit = 7; bit >= 0; --bit) value += FinalBit(vcd, name + std::to_string(bit));
    return value;
}

// One acknowledge missed in the middle of the flash: the run fails, and the board is
// still switched off, as the decoded lines show.
TEST(ChipCommands, AMissedAcknowledgeStillEndsWithoutVoltages) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    EXPECT_EQ(cli.Run("program fw.bin --yes --quiet --device 'ATmega8 (ISP)' --board sim "
                      "--sim-fault miss-ack=20000 --vcd board.vcd"),
              7)
        << cli.output;
    EXPECT_TRUE(cli.Has("Timeout-Fehler")) << cli.output;
    const std::string vcd = cli.dir.Read("board.vcd");
    EXPECT_EQ(FinalValue(vcd, "VCC_code"), "00000000");
    EXPECT_EQ(FinalValue(vcd, "VPP_code"), "00000000");
    EXPECT_EQ(FinalValue(vcd, "DATA"), "00000000");
}

// fuses --set keeps its values only in pendrake.ini: a file made read-only is left as
// it is, and the tool says it failed.
TEST(ChipCommands, FusesSetFailsWhenTheConfigurationIsReadOnly) {
    Cli cli;
    ASSERT_EQ(cli.Run("fuses --device 'ATmega8 (ISP)'"), 0) << cli.output;
    const std::string ini = cli.dir.Read("pendrake.ini");
    const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                          std::filesystem::perms::others_read;
    std::filesystem::permissions(cli.dir.Path("pendrake.ini"), readOnly);
    EXPECT_EQ(cli.Run("fuses --set FuseHigh=0xC9"), 4) << cli.output;
    EXPECT_TRUE(cli.Has("pendrake.ini")) << cli.output;
    EXPECT_EQ(cli.dir.Read("pendrake.ini"), ini);
    EXPECT_EQ(std::filesystem::status(cli.dir.Path("pendrake.ini")).permissions(), readOnly);
}

}  // namespace
}  // namespace merlinox::testing
