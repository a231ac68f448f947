#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/context.h"
#include "cli/board_commands.h"
#include "cli/board_setup.h"
#include "sim/board_sim.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"

namespace merlinox::cli {
namespace {

using merlinox::testing::ScratchDir;
using merlinox::testing::ScriptedUi;

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A context and options whose kernel lists no parallel port at all.
struct Cli {
    Cli() {
        options.roots.proc = dir.Path("proc");
        options.roots.dev = dir.Path("dev");
        notices = std::tmpfile();
        ctx.link.timeoutCount = 100;
    }
    ~Cli() { std::fclose(notices); }
    std::string Notices() {
        std::rewind(notices);
        std::string text;
        for (int c; (c = std::fgetc(notices)) != EOF;) text.push_back(static_cast<char>(c));
        return text;
    }
    ScratchDir dir;
    BoardOptions options;
    std::FILE* notices;
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
    EXPECT_NE(cli.Notices().find("no parallel port at 0x3BC (the kernel has parport0 at 0x278"), std::string::npos);
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
    for (const char* bad : {"", "0", "-1", "0x10000", "378h", "0x"}) EXPECT_FALSE(ParsePortAddress(bad)) << bad;
}

TEST(BoardCommands, DetectAndResetReportTheBoardsAnswer) {
    struct Case {
        const char* fault;
        int detect, reset;
    };
    for (const Case c : {Case{nullptr, 0, 0}, Case{"no-board", 10, 10}, Case{"stuck-bit=0:0", 8, 0},
                         Case{"die-after=3", 8, 10}}) {
        Cli cli;
        cli.options.board = "sim";
        if (c.fault != nullptr) cli.options.simFaults = {c.fault};
        BoardConnection connection;
        ASSERT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 0);
        EXPECT_EQ(RunDetect(cli.ctx, connection.Description(), cli.notices), c.detect) << (c.fault ? c.fault : "");
        BoardConnection fresh;
        ASSERT_EQ(fresh.Open(cli.ctx, cli.options, cli.notices), 0);
        EXPECT_EQ(RunReset(cli.ctx), c.reset) << (c.fault ? c.fault : "");
    }
}

TEST(BoardCommands, TraceAndVcdFilesAreCompleteWhenTheConnectionCloses) {
    Cli cli;
    cli.options.board = "sim";
    cli.options.simFaults = {"no-board"};
    cli.options.traceFile = cli.dir.Path("trace.txt");
    cli.options.vcdFile = cli.dir.Path("board.vcd");
    {
        BoardConnection connection;
        ASSERT_EQ(connection.Open(cli.ctx, cli.options, cli.notices), 0);
        EXPECT_EQ(RunDetect(cli.ctx, connection.Description(), cli.notices), 10);
    }
    EXPECT_EQ(cli.ctx.port, nullptr);
    EXPECT_EQ(Read(cli.options.traceFile), "1 101.0 00 00 F8 timeout\n");
    EXPECT_NE(Read(cli.options.vcdFile).find("$enddefinitions $end"), std::string::npos);
}

}  // namespace
}  // namespace merlinox::cli
