#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/busy_lock_file.h"
#include "cli_test_support.h"
#include "support/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

const std::string kTool = "'" KESTREL_BINARY_DIR "/src/kestrel-cli'";

using Cli = CliDir;

// The device choice and its "ID prüfen" are kept in pendrake.ini, the chip in its state file.
TEST(ChipCommands, SeparateRunsSeeTheSameChipAndKeepTheDeviceSettings) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    // avr-objcopy's companion of a program without EEPROM data: no EEPROM pass, and the
    // read-out of the erased EEPROM, also without data, verifies the same way.
    cli.dir.Write("fw.eep", ":00000001FF\n");
    ASSERT_EQ(cli.Run("program fw.bin --device 'ATmega8 (ISP)'"), 0) << cli.output;
    EXPECT_EQ(cli.Run("verify fw.bin --quiet"), 0) << cli.output;
    ASSERT_EQ(cli.Run("read dump.bin --format s2 --quiet"), 0) << cli.output;
    EXPECT_EQ(cli.dir.Read("dump.hex").substr(0, 2), "S0") << "the format's extension";
    const std::string eeprom = cli.dir.Read("dump.eep");
    EXPECT_EQ(std::count(eeprom.begin(), eeprom.end(), '\n'), 3) << "more than header, id, end";
    EXPECT_EQ(cli.Run("verify dump.hex --quiet"), 0) << cli.output;

    // Another part in the socket is refused by its signature until "ID prüfen" is off.
    const std::string other = "program fw.bin --quiet --sim-chip ATmega88";
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
    // The values live only in pendrake.ini: a read-only one fails the command.
    const std::string ini = cli.dir.Read("pendrake.ini");
    std::filesystem::permissions(cli.dir.Path("pendrake.ini"), std::filesystem::perms::owner_read);
    EXPECT_EQ(cli.Run("fuses --set FuseHigh=0xD9"), 4) << cli.output;
    EXPECT_EQ(cli.dir.Read("pendrake.ini"), ini);
}

// --read shows the chip's bytes, --keep makes them the settings of the next program.
TEST(ChipCommands, FusesReadFromTheChipAndKeptAsTheSettings) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x100, 3)));
    ASSERT_EQ(cli.Run("fuses --set FuseLow=0xE4 --device 'ATmega8 (ISP)'"), 0) << cli.output;
    ASSERT_EQ(cli.Run("program fw.bin --quiet"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses --set FuseLow=0xE1"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses --read"), 0) << cli.output;
    EXPECT_TRUE(cli.Has("FuseLow  0xE4\n  bit 7  BODLEVEL  1")) << cli.output;
    EXPECT_TRUE(cli.Has("FuseExt  not read")) << cli.output;
    ASSERT_EQ(cli.Run("fuses"), 0);
    EXPECT_TRUE(cli.Has("FuseLow  0xE1")) << "not kept without --keep: " << cli.output;
    ASSERT_EQ(cli.Run("fuses --read --keep"), 0) << cli.output;
    ASSERT_EQ(cli.Run("fuses"), 0);
    EXPECT_TRUE(cli.Has("FuseLow  0xE4")) << cli.output;
    EXPECT_GE(cli.Run("fuses --keep"), 100) << "--keep needs --read: " << cli.output;
}

// Refused before anything is read: the device choice in pendrake.ini and the chip in
// its state file stay as they were, and the user hears why.
TEST(ChipCommands, ARunningOperationElsewhereRefusesAndChangesNothing) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    ASSERT_EQ(cli.Run("program fw.bin --quiet --device 'ATmega8 (ISP)'"), 0) << cli.output;
    const std::string ini = cli.dir.Read("pendrake.ini");
    const std::string chip = cli.dir.Read("state/merlinox/chip.state");
    BusyLockFile other(cli.dir.Path("run") + "/merlinox");
    ASSERT_EQ(other.Create(0, 0), "");
    EXPECT_EQ(cli.Run("erase --device 'ATmega88 (ISP)'"), 1) << cli.output;
    EXPECT_EQ(cli.output,
              "kestrel-cli: another operation is running (lock file " + other.Path() + ")\n");
    EXPECT_EQ(cli.dir.Read("pendrake.ini"), ini);
    EXPECT_EQ(cli.dir.Read("state/merlinox/chip.state"), chip);
    // Nor does a reset pulse or a board search cut into the running operation.
    EXPECT_EQ(cli.Run("reset"), 1) << cli.output;
    EXPECT_EQ(cli.Run("detect"), 1) << cli.output;
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
        EXPECT_EQ(cli.RunCommand("timeout 20 " + kTool +
                                 " erase --yes --device 'ATmega8 (ISP)' --board sim --sim-state " +
                                 state + " </dev/null"),
                  2)
            << cli.output;
        EXPECT_TRUE(cli.Has(state + " is not a")) << cli.output;
    }
    EXPECT_EQ(cli.dir.Read("fw.bin"), firmware);
    EXPECT_TRUE(std::filesystem::is_fifo(cli.dir.Path("fifo")));
    // A chip state of its own is kept there, through a temporary file beside it.
    EXPECT_EQ(cli.Run("erase --quiet --sim-state kept.state"), 0) << cli.output;
    EXPECT_EQ(cli.dir.Read("kept.state").substr(0, 16), "merlinox-chip 1\n");
    EXPECT_EQ(cli.Run("erase --quiet --sim-state kept.state"), 0) << cli.output;
    for (const auto& entry : std::filesystem::directory_iterator(cli.dir.Dir())) {
        EXPECT_EQ(entry.path().filename().string().find("kept.state."), std::string::npos)
            << "a temporary file was left: " << entry.path();
    }
}

// The final value of an 8-bit signal of the VCD dump, written as its wires NAME7 to NAME0.
std::string FinalValue(const std::string& vcd, const std::string& name) {
    std::string value;
    for (int bit = 7; bit >= 0; --bit) {
        const std::size_t var = vcd.find(" " + name + std::to_string(bit) + " $end");
        if (var == std::string::npos) return "no wire";
        const std::size_t start = vcd.rfind(' ', var - 1) + 1;
        const std::string code = vcd.substr(start, var - start);
        char last = '?';
        std::istringstream lines(vcd.substr(vcd.find("$enddefinitions")));
        for (std::string line; std::getline(lines, line);) {
            if (line.size() > 1 && line.substr(1) == code) last = line[0];
        }
        value += last;
    }
    return value;
}

// One acknowledge missed in the middle of the flash: the run fails, and the board is
// still switched off, as the decoded lines show.
TEST(ChipCommands, AMissedAcknowledgeStillEndsWithoutVoltages) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    EXPECT_EQ(cli.Run("program fw.bin --quiet --device 'ATmega8 (ISP)' "
                      "--sim-fault miss-ack=20000 --vcd board.vcd"),
              7)
        << cli.output;
    EXPECT_TRUE(cli.Has("Timeout-Fehler")) << cli.output;
    const std::string vcd = cli.dir.Read("board.vcd");
    EXPECT_EQ(FinalValue(vcd, "VCC_code"), "00000000");
    EXPECT_EQ(FinalValue(vcd, "VPP_code"), "00000000");
    EXPECT_EQ(FinalValue(vcd, "DATA"), "00000000");
}

// The AT90S2323 has no oscillator of its own, and in socket 1 only the board drives its
// XTAL1: with the library line's XTAL1 counts at 0 it never answers.
TEST(SimulatedBoardCli, ASocketClockedPartNeedsTheXtal1PulsesOfItsLine) {
    Cli cli;
    std::string library = cli.dir.Read("at90list.csv");
    const std::string line = "AT90S2323 (SPI Sockel 1)";
    const std::size_t at = library.find("SPI2;READFUSE;4;4;", library.find(line + ";"));
    ASSERT_NE(at, std::string::npos);
    const std::string run = "blank-check --quiet --sim-state chip --device '";
    EXPECT_EQ(cli.Run(run + line + "'"), 0) << cli.output;
    cli.dir.Write("at90list.csv", library.replace(at, 18, "SPI2;READFUSE;0;0;"));
    EXPECT_NE(cli.Run(run + line + "'"), 0) << cli.output;
}

// The erase of an ATmega8 recorded by kestrel-cli and read by sigrok's SPI decoder as
// PulseView would: programming enable, the signature, the chip erase instruction. MISO is
// read back after the rising SCK edge, so its bytes decode on the falling one (cpha=1).
TEST(VcdTrace, SigrokDecodesTheSpiInstructionsOfAnErase) {
    if (std::system("command -v sigrok-cli >/dev/null 2>&1") != 0) GTEST_SKIP() << "no sigrok-cli";
    Cli cli;
    ASSERT_EQ(cli.Run("-q erase -d atmega8 --vcd e.vcd"), 0) << cli.output;
    const auto decode = [&cli](const std::string& options, const std::string& lane) {
        EXPECT_EQ(cli.RunCommand("sigrok-cli -i e.vcd -I vcd:downsample=100 "
                                 "-P spi:clk=SCK:mosi=MOSI:miso=MISO" +
                                 options + " -A spi=" + lane + "-data"),
                  0)
            << cli.output;
        std::string spaced;  // "spi-1: AC\n" lines as "AC 53 ..."
        for (std::size_t at = cli.output.find(": "); at != std::string::npos;
             at = cli.output.find(": ", at + 1)) {
            spaced += cli.output.substr(at + 2, 2) + " ";
        }
        return spaced;
    };
    const std::string mosi = decode("", "mosi");
    EXPECT_EQ(mosi.find("AC 53 "), 0u) << mosi;
    // The three signature reads (0x30, address in the third byte), then the chip erase.
    const std::size_t signature = mosi.find("30 3F 02 ");
    ASSERT_NE(signature, std::string::npos) << mosi;
    EXPECT_LT(mosi.find("30 3F 00 "), signature);
    EXPECT_EQ(mosi.find("AC 80 ", signature), signature + 12) << mosi;
    const std::string miso = decode(":cpha=1", "miso");
    EXPECT_EQ(miso.find("00 00 53 "), 0u) << miso;
    EXPECT_NE(miso.find(" 1E "), std::string::npos) << miso;  // the signature's first byte
}

// Ctrl-C in a long programming pass, or SIGPIPE: the pass ends as if Cancel had been
// pressed and the tool leaves through the operation's clean-up with its own exit status,
// instead of dying with the programming voltage on.
TEST(Interrupt, ASignalCancelsTheRunningPassAndTheToolEndsThroughItsCleanUp) {
    for (const std::string signal : {"INT", "PIPE"}) {
        Cli cli;
        cli.dir.Write("big.bin", Bytes(TestPattern(200000, 3)));
        ASSERT_EQ(cli.RunCommand(kTool +
                                 " program big.bin --yes --board sim --device 'ATmega2560 (ISP)' "
                                 ">out 2>&1 </dev/null & pid=$!; for i in $(seq 1200); do "
                                 "grep -q 'Programmspeicher: [1-9]0%' out && break; sleep 0.05; "
                                 "done; kill -" +
                                 signal + " $pid; wait $pid; echo \"exit $?\"; cat out"),
                  0)
            << signal;
        EXPECT_TRUE(cli.Has("exit 7\n")) << signal << cli.output;
        // The step that was running when the signal came may still draw its progress.
        const std::size_t interrupted =
            cli.output.find("kestrel-cli: interrupted, cancelling the operation\n");
        ASSERT_NE(interrupted, std::string::npos) << signal << cli.output;
        EXPECT_NE(cli.output.find("Programmierung abgebrochen !", interrupted), std::string::npos);
        EXPECT_TRUE(std::filesystem::exists(cli.dir.Path("state/merlinox/chip.state")));
    }
    // Output into a pipe whose reader has gone: the writes fail, the tool is not killed.
    Cli cli;
    cli.RunCommand("(sleep 0.3; " + kTool + " devices; echo \"status $?\" >status) | true");
    EXPECT_EQ(cli.dir.Read("status"), "status 0\n");
}

}  // namespace
}  // namespace merlinox::testing
