#include "platform/ppdev_port.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/transport.h"
#include "platform/ioport_port.h"
#include "platform/linux_priority.h"
#include "sim/board_sim.h"
#include "support/fake_ppdev_kernel.h"
#include "support/scratch_dir.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace merlinox::platform {
namespace {

namespace fs = std::filesystem;

// A fake /proc and /dev in a scratch directory.
struct FakeTree : merlinox::testing::ScratchDir {
    FakeTree() : root(Dir()) { fs::create_directories(root / "dev"); }
    void AddPort(int n, const std::string& baseAddr) {
        const fs::path dir = root / "proc/sys/dev/parport" / ("parport" + std::to_string(n));
        fs::create_directories(dir);
        std::ofstream(dir / "base-addr") << baseAddr;
    }
    fs::path root;
    PpdevRoots roots{(root / "proc").string(), (root / "dev").string()};
};

TEST(FindParport, PicksThePortWhoseFirstBaseAddressMatchesOrSaysWhatThereIs) {
    FakeTree tree;
    std::string error;
    EXPECT_EQ(FindParport(0x378, tree.roots, error), "");
    EXPECT_NE(error.find("load the modules parport_pc and ppdev"), std::string::npos) << error;
    tree.AddPort(0, "632\t1656\n");
    tree.AddPort(1, "888\t1912\n");
    tree.AddPort(2, "garbage");
    fs::create_directories(tree.root / "proc/sys/dev/parport/default");
    EXPECT_EQ(FindParport(0x378, tree.roots, error), (tree.root / "dev/parport1").string());
    EXPECT_EQ(FindParport(0x278, tree.roots, error), (tree.root / "dev/parport0").string());
    EXPECT_EQ(FindParport(0x3BC, tree.roots, error), "");
    EXPECT_EQ(error.rfind("no parallel port at 0x3BC (the kernel has parport", 0), 0u) << error;
    EXPECT_NE(error.find("parport0 at 0x278"), std::string::npos) << error;
    EXPECT_NE(error.find("; set PortAdress to one of them)"), std::string::npos) << error;
}

TEST(PpdevOpen, RefusedOpensBusyPortsAndNonPortsGiveClearReasons) {
    FakeTree tree;
    tree.AddPort(0, "888 1912");
    std::string error;
    EXPECT_EQ(PpdevPort::Open(0x378, tree.roots, error), nullptr);  // no device node
    EXPECT_NE(error.find("open failed"), std::string::npos) << error;
    EXPECT_NE(error.find("load the module ppdev"), std::string::npos) << error;
    std::ofstream(tree.root / "dev/parport0") << "";  // a plain file answers no ioctl
    EXPECT_EQ(PpdevPort::Open(0x378, tree.roots, error), nullptr);
    EXPECT_NE(error.find("PPEXCL failed"), std::string::npos) << error;
    EXPECT_NE(error.find("not a ppdev parallel port"), std::string::npos) << error;
    EXPECT_NE(DescribePpdevFailure("/dev/parport0", "PPCLAIM", EBUSY).find("rmmod lp"),
              std::string::npos);
}

// A claimed port through the fake kernel: an unchanged data byte costs no call, closing
// leaves data and control at 0, and a register call the kernel refuses is named in the
// handshake timeout message.
TEST(PpdevPort, SkipsUnchangedDataAndShowsAFailedRegisterCallWithTheTimeout) {
    FakeTree tree;
    tree.AddPort(0, "888");
    sim::SimBoard board;
    merlinox::testing::FakePpdevKernel kernel(board);
    tree.roots.system = &kernel;
    merlinox::testing::ScriptedUi ui;
    testing::TestContext ctx{ui};
    ctx.link.timeoutCount = 50;
    std::string error;
    auto port = PpdevPort::Open(0x378, tree.roots, error);
    ASSERT_NE(port, nullptr) << error;
    ctx.port = port.get();

    EXPECT_EQ(SendCommand(ctx, 0x0A, 0x55), 0);
    EXPECT_EQ(SendCommand(ctx, 0x00, 0x55), 0);
    EXPECT_EQ(board.Latches().Latch(0x00), 0x55);
    EXPECT_EQ(kernel.Calls(PPWDATA), 1u);
    EXPECT_EQ(kernel.Calls(PPWCONTROL), 1u + 2 * 2);  // the claim's reset, two per transfer
    EXPECT_EQ(kernel.Calls(PPRSTATUS), 2u * 2);

    kernel.failRegisterAfter = 0;
    EXPECT_EQ(SendCommand(ctx, 0x0A, 0x66), 10);
    EXPECT_EQ(port->Fault(),
              (tree.root / "dev/parport0").string() + ": PPWDATA failed: Input/output error");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.Last().text.find("Baustein im Sockel vergessen !!\n\n" + port->Fault()),
              std::string::npos)
        << ui.Last().text;

    kernel.failRegisterAfter = -1;
    port.reset();
    EXPECT_FALSE(kernel.IsOpen());
    EXPECT_EQ(board.Latches().Latch(0x00), 0x55);  // closing strobes nothing
    EXPECT_EQ(kernel.Calls(PPWDATA), 3u);          // the failed one and the closing 0
}

TEST(IoPortOpen, RefusesARangeBeyondTheIoSpace) {
    std::string error;
    EXPECT_EQ(IoPort::Open(0xFFFE, error), nullptr);
    EXPECT_NE(error.find("0xFFFE..0x10000"), std::string::npos) << error;
}

TEST(LinuxPriority, RestoreReturnsToTheSchedulingItFound) {
    const int policy = ::sched_getscheduler(0);
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, 0);
    LinuxPriority priority;
    priority.Restore();  // nothing raised: nothing happens
    for (PriorityLevel level : {PriorityLevel::High, PriorityLevel::TimeCritical}) {
        priority.Raise(level);
        priority.Raise(level);  // a second raise changes nothing more
        priority.Restore();
        EXPECT_EQ(::sched_getscheduler(0), policy);
        EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), nice);
    }
}

}  // namespace
}  // namespace merlinox::platform
