#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/busy_lock_file.h"
#include "cli_test_support.h"
#include "operations/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

struct Result {
    int status = -1;
    std::string output;  // stdout and stderr together
};

// kestrel-cli run in a scratch directory that holds our library, on the simulated board,
// with its chip state, runtime and state directories inside the scratch directory.
class Cli {
public:
    Cli() {
        std::filesystem::copy_file(std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv",
                                   dir.Path("at90list.csv"));
    }
    Result Run(const std::string& arguments) {
        const std::string command = "cd '" + dir.Dir().string() + "' && XDG_RUNTIME_DIR='" +
                                    dir.Path("run") + "' XDG_STATE_HOME='" + dir.Path("state") +
                                    "' '" + std::string(KESTREL_BINARY_DIR) +
                                    "/src/kestrel-cli' " + arguments + " </dev/null";
        Result result;
        result.status = RunShell(command, result.output);
        return result;
    }
    bool Has(const Result& r, const std::string& text) const {
        return r.output.find(text) != std::string::npos;
    }
    ScratchDir dir;
};

const std::string kAtmega8 = " --device 'ATmega8 (ISP)' --board sim";

TEST(ChipCommands, ProgramThenVerifyInTwoRunsSeeTheSameChip) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 7)));
    cli.dir.Write("fw.eep", Bytes(TestPattern(0x80, 8)));
    Result r = cli.Run("program fw.bin --yes" + kAtmega8);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "Keine Fehler beim Brennen"));
    EXPECT_TRUE(std::filesystem::exists(cli.dir.Path("state/merlinox/chip.state")));
    // The device choice is kept in pendrake.ini, the chip in its state file.
    r = cli.Run("verify fw.bin --yes --board sim");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "Keine Fehler beim Prüfen !"));
    // Plain progress lines without a terminal.
    EXPECT_TRUE(cli.Has(r, "Prüfe Programmspeicher: 100%"));

    cli.dir.Write("fw.bin", Bytes(TestPattern(0x800, 9)));
    r = cli.Run("verify fw.bin --yes --quiet --board sim");
    EXPECT_EQ(r.status, 6) << r.output;
    EXPECT_TRUE(cli.Has(r, "Verifyfehler an Adresse"));
    EXPECT_FALSE(cli.Has(r, "Prüfe Programmspeicher:"));
}

TEST(ChipCommands, AnotherPartInTheSocketIsRefusedBySignature) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x100, 1)));
    Result r = cli.Run("program fw.bin --yes --sim-chip ATmega88" + kAtmega8);
    EXPECT_EQ(r.status, 7) << r.output;
    EXPECT_TRUE(cli.Has(r, "Prozessor-ID's stimmen nicht !!!"));
    // "ID prüfen" off is kept for the device until it is switched on again.
    EXPECT_EQ(cli.Run("program fw.bin --yes --quiet --no-id-check --sim-chip ATmega88 --board sim").status, 0);
    EXPECT_EQ(cli.Run("program fw.bin --yes --quiet --sim-chip ATmega88 --board sim").status, 0);
    r = cli.Run("program fw.bin --yes --quiet --id-check --sim-chip ATmega88 --board sim");
    EXPECT_EQ(r.status, 7) << r.output;
}

TEST(ChipCommands, WithoutTerminalAndWithoutYesEveryQuestionIsCancelled) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x100, 1)));
    Result r = cli.Run("program fw.bin" + kAtmega8);
    EXPECT_EQ(r.status, 7) << r.output;
    EXPECT_TRUE(cli.Has(r, "*** AVR programmieren ! Format:(BIN) ***"));
    EXPECT_TRUE(cli.Has(r, "[Abbrechen]"));
    r = cli.Run("erase" + kAtmega8);
    EXPECT_EQ(r.status, 16) << r.output;
}

TEST(ChipCommands, ReadOutVerifiesBackThenEraseLeavesABlankChip) {
    Cli cli;
    cli.dir.Write("fw.bin", Bytes(TestPattern(0x400, 2)));
    cli.dir.Write("fw.eep", Bytes(TestPattern(0x40, 3)));
    ASSERT_EQ(cli.Run("program fw.bin --yes --quiet" + kAtmega8).status, 0);
    Result r = cli.Run("read dump.bin --format s2 --yes --quiet --board sim");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "Inhalt vom Baustein gespeichert."));
    EXPECT_TRUE(std::filesystem::exists(cli.dir.Path("dump.eep")));
    EXPECT_EQ(cli.dir.Read("dump.hex").substr(0, 2), "S0") << "the format's extension";
    EXPECT_EQ(cli.Run("verify dump.hex --yes --quiet --board sim").status, 0);

    EXPECT_EQ(cli.Run("blank-check --yes --quiet --board sim").status, 4)
        << "every non-blank word answered with Retry";
    EXPECT_EQ(cli.Run("erase --yes --quiet --board sim").status, 0);
    r = cli.Run("blank-check --yes --quiet --board sim");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "Baustein ist leer"));
}

TEST(ChipCommands, FusesShowBitNamesAndSetByNameOrValue) {
    Cli cli;
    Result r = cli.Run("fuses --device 'ATmega8 (ISP)'");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "FuseLow  0xE1")) << r.output;
    EXPECT_TRUE(cli.Has(r, "CKSEL0"));
    r = cli.Run("fuses --set BODEN=0 --set FuseHigh=0xC9 --set Lock2=0");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(cli.Has(r, "FuseLow  0xA1")) << r.output;
    EXPECT_TRUE(cli.Has(r, "FuseHigh 0xC9")) << r.output;
    EXPECT_TRUE(cli.Has(r, "LockBits 0xFC")) << "Lock2 takes Lock1 along: " << r.output;
    // Kept for the device: a second run shows the same values.
    r = cli.Run("fuses");
    EXPECT_TRUE(cli.Has(r, "FuseLow  0xA1")) << r.output;
    r = cli.Run("fuses --set NOSUCHBIT=0");
    EXPECT_GE(r.status, 100) << r.output;
    EXPECT_TRUE(cli.Has(r, "NOSUCHBIT"));
}

TEST(ChipCommands, ARunningOperationElsewhereRefusesWithStatusOne) {
    Cli cli;
    BusyLockFile other(cli.dir.Path("run") + "/merlinox");
    std::filesystem::create_directories(cli.dir.Path("run"));
    other.Create(0, 0);
    ASSERT_TRUE(other.Holding());
    const Result r = cli.Run("erase --yes" + kAtmega8);
    EXPECT_EQ(r.status, 1) << r.output;
    other.Destroy();
    EXPECT_EQ(cli.Run("erase --yes --quiet --board sim").status, 0);
}

}  // namespace
}  // namespace merlinox::testing
