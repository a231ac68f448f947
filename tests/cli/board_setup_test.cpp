#include "cli/board_setup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/context.h"
#include "cli/board_commands.h"
#include "cli_test_support.h"
#include "sim/board_sim.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"

namespace merlinox::cli {
namespace {

// A context and options whose kernel lists no parallel port at all.
struct Cli {
    Cli() {
        options.roots.proc = dir.Path("proc");
        options.roots.dev = dir.Path("dev");
        ctx.link.timeoutCount = 100;
    }
    merlinox::testing::ScratchDir dir;
    BoardOptions options;
    merlinox::testing::Capture capture;
    merlinox::testing::ScriptedUi ui;
    Context ctx{ui};
};

// Without a parallel port "auto" takes the simulator and says so once; "ppdev" means demo
// mode, in which the board commands refuse.
TEST(BoardSetup, WithoutAPortAutoTakesTheSimulatorAndPpdevMeansDemoMode) {
    Cli cli;
    BoardConnection automatic;
    ASSERT_EQ(automatic.Open(cli.ctx, cli.options, cli.capture.file()), 0);
    EXPECT_EQ(cli.ctx.port, automatic.Simulator());
    EXPECT_EQ(cli.ctx.link.priority, nullptr);  // simulated time needs no boost
    const std::string notice = cli.capture.Text();
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1);
    EXPECT_NE(notice.find("using the simulated board"), std::string::npos) << notice;
    EXPECT_EQ(RunDetect(cli.ctx, automatic.Description(), cli.capture.file()), 0);

    Cli demo;
    demo.options.board = "ppdev";
    BoardConnection ppdev;
    ASSERT_EQ(ppdev.Open(demo.ctx, demo.options, demo.capture.file()), 0);
    EXPECT_TRUE(demo.ctx.link.demoMode);
    EXPECT_EQ(RunDetect(demo.ctx, ppdev.Description(), demo.capture.file()), 8);
}

TEST(BoardSetup, PortAddressesRunFromOneTo0xFFFF) {
    EXPECT_EQ(ParsePortAddress("0xFFFF"), 0xFFFF);
    for (const char* bad : {"", "0", "-1", "0x10000", "378h"}) EXPECT_FALSE(ParsePortAddress(bad));
}

// kestrel-cli itself: the board options stand before or after the subcommand, and the
// exit status is the board's answer.
TEST(BoardCommands, DetectAndResetExitWithTheBoardsAnswer) {
    merlinox::testing::ScratchDir dir;
    std::string output;
    const auto run = [&](const std::string& arguments) {
        return merlinox::testing::RunCli(dir.Dir().string(), arguments, output);
    };
    EXPECT_EQ(run("detect --board=sim"), 0) << output;
    EXPECT_EQ(run("reset --sim-fault=die-after=3"), 10) << output;
    // Nonsense is refused with status 2 before the board is opened.
    EXPECT_EQ(run("detect --board=sim --sim-fault=stuck-bit=9:1"), 2) << output;
    EXPECT_EQ(run("detect --board=ppdev --sim-fault=no-ack"), 2) << output;
    EXPECT_EQ(run("detect --board=sim --trace missing/dir/trace.txt"), 2) << output;
    // The port base gets the range the configuration file allows.
    for (const char* port : {"0x1FF", "0x401", "0xFFFF"}) {
        EXPECT_NE(run(std::string("detect --board=sim --port ") + port), 0) << output;
        EXPECT_NE(output.find("outside 0x200 to 0x400"), std::string::npos) << output;
    }
    EXPECT_EQ(run("detect --board=sim --port 0x200"), 0) << output;
    EXPECT_EQ(run("detect --board=sim --port 0x400"), 0) << output;
    // Trace and dump are complete when the command ends.
    EXPECT_EQ(run("--trace trace.txt --board=sim --sim-fault=no-board detect --vcd board.vcd"), 10);
    EXPECT_EQ(dir.Read("trace.txt"), "1 1000001.0 00 00 F8 timeout\n");
    EXPECT_NE(dir.Read("board.vcd").find("$enddefinitions $end"), std::string::npos);
}

}  // namespace
}  // namespace merlinox::cli
