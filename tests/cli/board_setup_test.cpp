#include "cli/board_setup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/context.h"
#include "cli/board_commands.h"
#include "cli_test_support.h"
#include "sim/board_sim.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"

namespace merlinox::cli {
namespace {

using merlinox::testing::Capture;
using merlinox::testing::ScratchDir;
using merlinox::testing::ScriptedUi;

// A context and options whose kernel lists no parallel port at all.
struct Cli {
    Cli() {
        options.roots.proc = dir.Path("proc");
        options.roots.dev = dir.Path("dev");
        ctx.link.timeoutCount = 100;
    }
    std::string Notices() { return capture.Text(); }
    ScratchDir dir;
    BoardOptions options;
    Capture capture;
    std::FILE* notices = capture.file();
    ScriptedUi ui;
    Context ctx{ui};
};

TEST(BoardSetup, AutoFallsBackToTheSimulatorWithOneNotice) {
    Cli cli;
    BoardConnection connection;
    ASSERT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 0);
    EXPECT_NE(connection.Simulator(), nullptr);
    EXPECT_EQ(cli.ctx.port, connection.Simulator());
    EXPECT_EQ(cli.ctx.link.priority, nullptr);  // simulated time needs no boost
    EXPECT_FALSE(cli.ctx.link.demoMode);
    EXPECT_EQ(connection.Description(), "simulated board");
    const std::string notice = cli.Notices();
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1);
    EXPECT_NE(notice.find("using the simulated board"), std::string::npos) << notice;
    EXPECT_EQ(RunDetect(cli.ctx, connection.Description(), cli.notices), 0);
}

TEST(BoardSetup, PpdevWithoutAMatchingPortMeansDemoMode) {
    Cli cli;
    std::filesystem::create_directories(cli.dir.Dir() / "proc/sys/dev/parport/parport0");
    std::ofstream(cli.dir.Dir() / "proc/sys/dev/parport/parport0/base-addr") << "632 1656\n";
    cli.options.board = "ppdev";
    cli.options.port = 0x3BC;
    BoardConnection connection;
    ASSERT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 0);
    EXPECT_TRUE(cli.ctx.link.demoMode);
    EXPECT_EQ(cli.ctx.port, nullptr);
    EXPECT_NE(cli.Notices().find("no parallel port at 0x3BC (the kernel has parport0 at 0x278"),
              std::string::npos);
    EXPECT_EQ(RunDetect(cli.ctx, connection.Description(), cli.notices), 8);
    EXPECT_EQ(RunReset(cli.ctx), 8);
    EXPECT_EQ(cli.ui.Texts().size(), 2u);  // the demo refusal, twice
}

TEST(BoardSetup, RejectsNonsenseBeforeTouchingAnything) {
    Cli cli;
    BoardConnection connection;
    cli.options.simFaults = {"stuck-bit=9:1"};
    EXPECT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 2);
    cli.options.simFaults = {"no-ack"};
    cli.options.board = "ppdev";
    EXPECT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 2);
    cli.options.board = "sim";
    cli.options.traceFile = cli.dir.Path("missing/dir/trace.txt");
    EXPECT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 2);
    EXPECT_EQ(cli.ctx.port, nullptr);
    EXPECT_FALSE(ParsePortAddress("0x378").value_or(0) != 0x378);
    for (const char* bad : {"", "0", "-1", "0x10000", "378h", "0x"})
        EXPECT_FALSE(ParsePortAddress(bad)) << bad;
}

// kestrel-cli itself: the board options stand before or after the subcommand, and the
// exit status is the board's answer.
TEST(BoardCommands, DetectAndResetExitWithTheBoardsAnswer) {
    ScratchDir dir;
    const auto run = [&dir](const std::string& arguments) {
        const std::string command = "cd '" + dir.Dir().string() +
                                    "' && '" KESTREL_BINARY_DIR "/src/kestrel-cli' " + arguments +
                                    " >out.txt 2>&1 </dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    struct Case {
        const char* arguments;
        int status;
    };
    for (const Case c : {Case{"--board=sim detect", 0}, Case{"detect --board=sim", 0},
                         Case{"--board sim --sim-fault=stuck-bit=0:0 detect", 8},
                         Case{"detect --sim-fault no-board --board=sim", 10},
                         Case{"--board=sim reset", 0}, Case{"reset --sim-fault=die-after=3", 10}}) {
        EXPECT_EQ(run(c.arguments), c.status) << c.arguments << "\n" << dir.Read("out.txt");
    }
    // Trace and dump are complete when the command ends.
    EXPECT_EQ(run("--trace trace.txt --board=sim --sim-fault=no-board detect --vcd board.vcd"), 10);
    EXPECT_EQ(dir.Read("trace.txt"), "1 1000001.0 00 00 F8 timeout\n");
    EXPECT_NE(dir.Read("board.vcd").find("$enddefinitions $end"), std::string::npos);
}

}  // namespace
}  // namespace merlinox::cli
