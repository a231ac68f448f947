#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "sim/trace.h"
#include "sim/vcd.h"
#include "support/sim_link.h"

namespace merlinox {
namespace {

using testing::SimLink;

// A memory stream the writers print into.
struct MemFile {
    MemFile() : file(open_memstream(&buffer, &size)) {}
    ~MemFile() {
        std::fclose(file);
        std::free(buffer);
    }
    std::string Text() {
        std::fflush(file);
        return std::string(buffer, size);
    }
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* file;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Traced : SimLink {
    explicit Traced(sim::BoardFaults faults = {}, bool simulated = true)
        : SimLink(faults), tracer(board, simulated ? &board : nullptr), text(out.file) {
        tracer.AddSink(text);
        ctx.port = &tracer;
    }
    MemFile out;
    sim::TracingPort tracer;
    sim::TextTraceWriter text;
};

TEST(TextTrace, OneLinePerTransferWithSimulatedTimeAndTheEndingStatus) {
    Traced t;
    SendCommand(t.ctx, CmdData, 0xAA);
    SendCommand(t.ctx, CmdSignal, 0x20);
    SendCommand(t.ctx, CmdPower, 0x81);
    EXPECT_EQ(Lines(t.out.Text()), (std::vector<std::string>{"1 5.0 0A AA 28", "2 90.0 04 20 28", "3 95.0 08 81 28"}));
}

TEST(TextTrace, FailedTransfersEndWithTimeoutAndRealHardwareHasNoTime) {
    Traced t(sim::BoardFaults{.dieAfter = 1}, false);
    t.ctx.link.timeoutCount = 3;
    SendCommand(t.ctx, CmdData, 0x01);
    SendCommand(t.ctx, CmdData, 0x02);
    SendCommand(t.ctx, CmdClock, 0x03);
    t.tracer.Finish();
    EXPECT_EQ(Lines(t.out.Text()), (std::vector<std::string>{"1 - 0A 01 40", "2 - 0A 02 F8 timeout",
                                                              "3 - 06 03 F8 timeout"}));
}

TEST(TextTrace, BareStrobeOfTheDetectionIsATransferToo) {
    Traced t(sim::BoardFaults{.noBoard = true});
    EXPECT_EQ(DetectBoard(t.ctx), 10);
    t.tracer.Finish();
    const auto lines = Lines(t.out.Text());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "1 1001.0 00 00 F8 timeout");
    Traced ok;
    EXPECT_EQ(DetectBoard(ok.ctx), 0);
    EXPECT_EQ(Lines(ok.out.Text()).front(), "1 2.0 00 00 00");
    EXPECT_EQ(Lines(ok.out.Text()).size(), ok.log.size());
}

// The parts of a value change dump a viewer needs: the variables and, per variable,
// the value at every timestamp where it changed.
struct Vcd {
    std::map<std::string, std::string> codeToName;
    std::map<std::string, std::vector<std::pair<std::uint64_t, unsigned>>> changes;
    bool timesIncrease = true;
    bool ok = false;

    explicit Vcd(const std::string& text) {
        std::istringstream in(text);
        std::string word;
        bool defs = true;
        std::uint64_t now = 0;
        bool anyTime = false;
        while (in >> word) {
            if (defs) {
                if (word == "$var") {
                    std::string type, width, code, name, end;
                    in >> type >> width >> code >> name >> end;
                    if (type != "wire" || end != "$end") return;
                    codeToName[code] = name;
                } else if (word == "$enddefinitions") {
                    in >> word;
                    defs = false;
                }
                continue;
            }
            if (word == "$dumpvars" || word == "$end") continue;
            if (word[0] == '#') {
                const std::uint64_t t = std::stoull(word.substr(1));
                if (anyTime && t <= now) timesIncrease = false;
                now = t;
                anyTime = true;
            } else if (word[0] == 'b') {
                std::string code;
                in >> code;
                if (!codeToName.count(code)) return;
                changes[codeToName[code]].push_back({now, static_cast<unsigned>(std::stoul(word.substr(1), nullptr, 2))});
            } else if (word[0] == '0' || word[0] == '1') {
                const std::string code = word.substr(1);
                if (!codeToName.count(code)) return;
                changes[codeToName[code]].push_back({now, static_cast<unsigned>(word[0] - '0')});
            } else {
                return;
            }
        }
        ok = !defs;
    }
    unsigned Final(const std::string& name) const { return changes.at(name).back().second; }
};

TEST(VcdTrace, DumpsTheDecodedLinesOfAPowerCycle) {
    Traced t;
    MemFile vcdOut;
    sim::VcdWriter vcd(vcdOut.file);
    t.tracer.AddSink(vcd);
    t.ctx.device.programmingMode = kSpi2;
    t.ctx.device.supplyVoltageCode = 100;
    t.ctx.link.spiSync = nullptr;  // no chip in the socket to synchronise with
    BoardInit(t.ctx);
    PowerOn(t.ctx);
    // One SPI bit: MOSI up, SCK up, read MISO (released line loops back), SCK down.
    t.ctx.link.dataLatch = 0x18;
    SendCommand(t.ctx, CmdData, 0x18);
    SendCommand(t.ctx, CmdData, 0x38);
    ReadBoardByte(t.ctx);
    SendCommand(t.ctx, CmdData, 0x18);

    const Vcd dump(vcdOut.Text());
    ASSERT_TRUE(dump.ok);
    EXPECT_TRUE(dump.timesIncrease);
    for (const char* name : {"VCC_code", "VPP_code", "RESET", "SCK", "MOSI", "MISO", "SCI", "SDI", "SII", "SDO",
                             "DATA", "XA1", "XA0", "BS", "WR", "OE", "XTAL1"}) {
        EXPECT_TRUE(dump.changes.count(name)) << name;
    }
    EXPECT_EQ(dump.Final("VCC_code"), 100u);
    EXPECT_EQ(dump.Final("MISO"), 1u);
    EXPECT_EQ(dump.Final("SCK"), 0u);
    EXPECT_EQ(dump.Final("DATA"), 0x18u);
    const auto& sck = dump.changes.at("SCK");
    ASSERT_EQ(sck.size(), 3u);  // initial 0, up, down
    EXPECT_EQ(sck[2].first - sck[1].first, 15000u);  // three transfers of 5 µs apart
    // The supply came up once, after the 500 ms of SPI power-on had not yet begun.
    const auto& vcc = dump.changes.at("VCC_code");
    EXPECT_EQ(vcc.back().second, 100u);
    EXPECT_EQ(vcc.size(), 2u);
}

}  // namespace
}  // namespace merlinox
