#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_test_support.h"
#include "support/operation_rig.h"
#include "support/scratch_dir.h"

namespace merlinox::testing {
namespace {

// Ctrl-C in the middle of a long programming pass, or its output piped into a program
// that has gone: the pass ends as if Cancel had been pressed, and the tool leaves through
// the operation's clean-up with its own exit status instead of dying with the
// programming voltage on.
TEST(Interrupt, ASignalCancelsTheRunningPassAndTheToolEndsThroughItsCleanUp) {
    for (const std::string signal : {"INT", "PIPE"}) {
        ScratchDir dir;
        std::filesystem::copy_file(std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv",
                                   dir.Path("at90list.csv"));
        dir.Write("big.bin", Bytes(TestPattern(200000, 3)));
        const std::string script =
            "cd '" + dir.Dir().string() +
            "' || exit 1; mkdir -m 700 run; "
            "export XDG_RUNTIME_DIR=\"$PWD/run\" XDG_STATE_HOME=\"$PWD/state\"; '" +
            KESTREL_BINARY_DIR +
            "/src/kestrel-cli' program big.bin --yes --board sim "
            "--device 'ATmega2560 (ISP)' >out 2>&1 </dev/null & pid=$!; "
            "for i in $(seq 1200); do "
            "grep -q 'Programmspeicher: [1-9]0%' out && break; sleep 0.05; done; "
            "kill -" +
            signal + " $pid; wait $pid; echo \"exit $?\"; cat out";
        std::string output;
        ASSERT_EQ(RunShell(script, output), 0) << signal;
        EXPECT_NE(output.find("exit 7\n"), std::string::npos) << signal << output;
        // The step that was running when the signal came may still draw its progress.
        const std::size_t interrupted =
            output.find("kestrel-cli: interrupted, cancelling the operation\n");
        ASSERT_NE(interrupted, std::string::npos) << signal << output;
        EXPECT_NE(output.find("Programmierung abgebrochen !", interrupted), std::string::npos)
            << output;
        EXPECT_TRUE(std::filesystem::exists(dir.Path("state/merlinox/chip.state")));
    }
}

// Output into a pipe whose reader has gone: the writes fail, the tool is not killed.
TEST(Interrupt, AClosedOutputPipeDoesNotKillTheTool) {
    ScratchDir dir;
    std::filesystem::copy_file(std::string(KESTREL_SOURCE_DIR) + "/data/at90list.csv",
                               dir.Path("at90list.csv"));
    std::string output;
    const std::string tool = std::string("'") + KESTREL_BINARY_DIR + "/src/kestrel-cli'";
    ASSERT_EQ(RunShell("cd '" + dir.Dir().string() + "' && (sleep 0.3; " + tool +
                           " devices; echo \"status $?\" >status) | true; cat status",
                       output),
              0);
    EXPECT_NE(output.find("status 0"), std::string::npos) << output;
}

}  // namespace
}  // namespace merlinox::testing
