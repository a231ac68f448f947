#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "link/transport.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// Records every register access and answers status reads from the board behind it,
// or from a fixed script when one is given.
class RegisterSpy : public PortAccess {
public:
    explicit RegisterSpy(PortAccess* inner) : inner_(inner) {}
    void WriteData(std::uint8_t v) override {
        log.push_back("D" + Hex(v));
        if (inner_) inner_->WriteData(v);
    }
    void WriteControl(std::uint8_t v) override {
        log.push_back("C" + Hex(v));
        if (inner_) inner_->WriteControl(v);
    }
    std::uint8_t ReadStatus() override {
        std::uint8_t s = inner_ ? inner_->ReadStatus() : 0;
        if (!script.empty()) {
            s = script.front();
            script.pop_front();
        }
        log.push_back("S" + Hex(s));
        return s;
    }
    static std::string Hex(std::uint8_t v) {
        static const char* digits = "0123456789ABCDEF";
        return {digits[v >> 4], digits[v & 15]};
    }
    std::vector<std::string> log;
    std::deque<std::uint8_t> script;

private:
    PortAccess* inner_;
};

TEST(SendCommand, WritesDataThenCommandThenStrobeAndKeepsTheAcknowledgingStatus) {
    SimLink sim;
    RegisterSpy spy(&sim.board);
    sim.ctx.port = &spy;
    sim.ctx.link.dataLatch = 0xAA;  // loops back: low nibble 0xA
    sim.board.WriteData(0xAA);
    sim.board.WriteControl(CmdData | 1);
    ASSERT_EQ(SendCommand(sim.ctx, CmdSignal, 0x21), 0);
    ASSERT_EQ(SendCommand(sim.ctx, CmdPower, 0x80), 0);
    // The second data byte is written while the first strobe is still set; the next
    // command goes out in the control write that releases it.
    EXPECT_EQ(spy.log, (std::vector<std::string>{"D21", "C04", "SA8", "C05", "S28",  //
                                                  "D80", "C08", "SA8", "C09", "S28"}));
    EXPECT_EQ(sim.ctx.link.lastControl, 0x09);
    EXPECT_EQ(sim.ctx.link.lastStatus, 0x28);
    EXPECT_TRUE(sim.ui.shown.empty());
}

TEST(SendCommand, NeverReadyFailsInPhaseOneAfterTimeoutMinusOneTestsWithStrobeClear) {
    SimLink sim(sim::BoardFaults{.neverReady = true});
    RegisterSpy spy(&sim.board);
    sim.ctx.port = &spy;
    sim.ctx.link.timeoutCount = 5;
    sim.ctx.link.lastStatus = 0x33;
    EXPECT_EQ(SendCommand(sim.ctx, CmdData, 0x12), 10);
    EXPECT_EQ(SendCommand(sim.ctx, CmdData, 0x13), 10);
    // One initial read plus timeoutCount - 1 more; the last is not tested.
    EXPECT_EQ(spy.log.size(), 2u * (2 + 5));
    EXPECT_EQ(spy.log[1], "C0A");
    EXPECT_EQ(sim.ctx.link.lastControl, CmdData);
    EXPECT_EQ(sim.ctx.link.lastStatus, 0x33);
    EXPECT_EQ(sim.Timeouts(), 2);
    EXPECT_TRUE(sim.log.empty());
}

TEST(SendCommand, MissingAcknowledgeFailsInPhaseTwoAndLeavesStrobeSet) {
    SimLink sim(sim::BoardFaults{.neverAcknowledges = true});
    sim.ctx.link.timeoutCount = 3;
    EXPECT_EQ(SendCommand(sim.ctx, CmdClock, 0x01), 10);
    EXPECT_EQ(sim.ctx.link.lastControl, CmdClock | 1);
    EXPECT_EQ(sim.Timeouts(), 1);
    EXPECT_EQ(sim.log.size(), 1u);  // the board did store it
}

TEST(SendCommand, PollBudgetIsTimeoutCountMinusOne) {
    // A board that shows its acknowledge on the k-th status read after the strobe.
    for (std::uint32_t polls : {1u, 2u, 3u}) {
        SimLink sim(sim::BoardFaults{.slowAckPolls = polls});
        sim.ctx.link.timeoutCount = 3;  // tests the strobe's read and one more
        const int expected = polls <= 2 ? 0 : 10;
        EXPECT_EQ(SendCommand(sim.ctx, CmdAux, 0), expected) << polls;
    }
    SimLink once;
    once.ctx.link.timeoutCount = 1;  // no budget at all: fails even on a healthy board
    EXPECT_EQ(SendCommand(once.ctx, CmdAux, 0), 10);
    EXPECT_EQ(once.Timeouts(), 1);
    once.ctx.link.timeoutCount = 0;  // never reached from the settings; must not hang
    EXPECT_EQ(SendCommand(once.ctx, CmdAux, 0), 10);
}

TEST(SendCommand, WithoutPortActsLikeAMissingBoard) {
    SimLink sim;
    sim.ctx.port = nullptr;
    EXPECT_EQ(SendCommand(sim.ctx, CmdAux, 0), 10);
    EXPECT_EQ(sim.Timeouts(), 1);
}

TEST(ReadBoardByte, AssemblesTheScrambledNibbles) {
    struct Case {
        std::uint8_t s1, s2, expected;
    };
    for (const Case c : {Case{0x40, 0x00, 0x01}, Case{0x00, 0x20, 0x80}, Case{0x78, 0x78, 0xFF},
                         Case{0x08, 0x10, 0x42}}) {
        SimLink sim;
        RegisterSpy spy(&sim.board);
        sim.ctx.port = &spy;
        sim.ctx.link.signalLatch = 0x40;
        sim.ctx.link.powerLatch = 0x81;
        // ready, acknowledge with s1; ready, acknowledge with s2
        spy.script = {0x80, c.s1, 0x80, c.s2};
        EXPECT_EQ(ReadBoardByte(sim.ctx), c.expected);
        EXPECT_EQ(spy.log[0], "D40");
        EXPECT_EQ(spy.log[5], "D81");
    }
}

TEST(ReadBoardByte, FailedTransferReusesThePreviousStatusForItsNibble) {
    SimLink sim;
    RegisterSpy spy(nullptr);
    sim.ctx.port = &spy;
    sim.ctx.link.timeoutCount = 2;
    sim.ctx.link.lastStatus = 0x40;
    spy.script = {0x00, 0x00, 0x80, 0x20};  // the first transfer never gets ready
    EXPECT_EQ(ReadBoardByte(sim.ctx), 0x81);
    EXPECT_EQ(sim.Timeouts(), 1);
}

TEST(ReadBoardByte, EmptySocketLoopsTheDataLatchBack) {
    SimLink sim;
    for (int v : {0x00, 0x5A, 0xA5, 0xFF, 0x10}) {
        SendCommand(sim.ctx, CmdData, static_cast<std::uint8_t>(v));
        EXPECT_EQ(ReadBoardByte(sim.ctx), v);
    }
}

TEST(LinkMessages, TimeoutAndDemoTextsAreExact) {
    SimLink sim;
    ShowTimeoutMessage(sim.ctx);
    ShowDemoMessage(sim.ctx);
    ASSERT_EQ(sim.ui.shown.size(), 2u);
    EXPECT_EQ(sim.ui.shown[0].text,
              "\nTimeout-Fehler bei Datenübertragung !!\n\nMögliche Fehler:\n\nBrenner nicht "
              "eingeschaltet.\nBrenner an der falschen Schnittstelle oder\ngar nicht "
              "angeschlossen.\nFalsche Port-Adresse in den PREFS.\nKabel defekt oder viel zu "
              "lang.\nEin Druckerumschalter falsch geschaltet ?\nBaustein im Sockel vergessen !!");
    EXPECT_EQ(sim.ui.shown[1].text, "Keine Aktionen des Brenners möglich !\n\nProgramm läuft im Demomodus.");
    EXPECT_EQ(sim.ui.shown[0].kind, BoxKind::Info);
    EXPECT_TRUE(sim.ui.shown[1].beeped);
}

}  // namespace
}  // namespace merlinox
