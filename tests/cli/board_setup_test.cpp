#include "cli/board_setup.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "app/app_context.h"
#include "cli/board_commands.h"
#include "cli_test_support.h"
#include "sim/board_sim.h"
#include "support/fake_ppdev_kernel.h"
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
        ctx.settings.portAdress = 0x378;
    }
    merlinox::testing::ScratchDir dir;
    session::BoardOptions options;
    merlinox::testing::Capture capture;
    merlinox::testing::ScriptedUi ui;
    AppContext ctx{ui};
};

// What "auto" makes of the kernel's ports: the simulator only where the kernel lists
// none; a listed port that does not open gives its reason and demo mode, never the
// simulator. "ppdev" never takes the simulator. The kernel is a fake one with the
// simulated board on parport0.
TEST(BoardSetup, AutoTakesTheSimulatorOnlyWhereTheKernelListsNoPort) {
    struct Row {
        const char* board;
        const char* baseAddr;  // parport0's base-addr, nullptr: no port listed
        const char* step;      // the kernel step that is refused, with errnum
        int errnum;
        const char* notice;  // in the one line on notices
        int detect;          // RunDetect's answer
    };
    const Row rows[] = {
        {"auto", nullptr, "", 0, "using the simulated board", 0},
        {"ppdev", nullptr, "", 0, "load the modules parport_pc and ppdev", 8},
        {"auto", "888\t1912\n", "", 0, "", 0},
        {"auto", "888 1912", "PPCLAIM", EBUSY, "PPCLAIM failed: Device or resource busy", 8},
        {"auto", "888", "open", EACCES, "add the user to group lp", 8},
        {"auto", "888", "open", ENOENT, "load the module ppdev", 8},
        {"auto", "632", "", 0, "the kernel has parport0 at 0x278; set PortAdress", 8},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.board) + " " + row.notice);
        Cli cli;
        cli.options.board = row.board;
        sim::SimBoard board;
        merlinox::testing::FakePpdevKernel kernel(board);
        cli.options.roots.system = &kernel;
        merlinox::testing::ListParport(cli.dir.Path("proc"), row.baseAddr);
        if (row.errnum != 0) kernel.refuse[row.step] = row.errnum;

        auto connection = std::make_unique<session::BoardConnection>();
        ASSERT_EQ(connection->Open(cli.ctx, cli.options, cli.capture.file()), 0);
        const std::string notice = cli.capture.Text();
        EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), row.notice[0] ? 1 : 0) << notice;
        EXPECT_NE(notice.find(row.notice), std::string::npos) << notice;
        EXPECT_EQ(cli.ctx.link.demoMode, row.detect == 8);
        EXPECT_EQ(connection->Simulator() != nullptr, row.detect == 0 && !row.baseAddr);
        if (row.detect == 0 && row.baseAddr != nullptr) {
            EXPECT_EQ(connection->Description(), "ppdev " + cli.dir.Path("dev/parport0"));
            EXPECT_TRUE(kernel.Claimed() && kernel.Exclusive());
            EXPECT_NE(cli.ctx.link.priority, nullptr);  // real hardware gets the boost
        }
        EXPECT_EQ(RunDetect(cli.ctx, connection->Description(), cli.capture.file()), row.detect);
        // Whatever the outcome, nothing stays open or claimed behind the connection.
        connection.reset();
        EXPECT_FALSE(kernel.IsOpen());
    }
}

TEST(BoardSetup, PortAddressesRunFromOneTo0xFFFF) {
    EXPECT_EQ(session::ParsePortAddress("0xFFFF"), 0xFFFF);
    for (const char* bad : {"", "0", "-1", "0x10000", "378h"})
        EXPECT_FALSE(session::ParsePortAddress(bad));
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
    for (const char* port : {"0x1FF", "0x401"}) {
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
