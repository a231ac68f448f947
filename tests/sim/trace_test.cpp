#include "sim/trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "link/board_control.h"
#include "link/transport.h"
#include "sim/vcd.h"
#include "support/scratch_dir.h"
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

TEST(TextTrace, OneLinePerTransferWithTimeCommandDataAndTheStatusThatEndedIt) {
    Traced t;
    SendCommand(t.ctx, CmdData, 0xAA);
    SendCommand(t.ctx, CmdSignal, 0x20);
    SendCommand(t.ctx, CmdPower, 0x81);
    EXPECT_EQ(t.out.Text(), "1 5.0 0A AA 28\n2 90.0 04 20 28\n3 95.0 08 81 28\n");

    // Off the simulator there is no time; failed transfers end with "timeout", and a
    // board that died stores nothing more.
    Traced dying(sim::BoardFaults{.dieAfter = 1}, false);
    dying.ctx.link.timeoutCount = 3;
    SendCommand(dying.ctx, CmdData, 0x01);
    SendCommand(dying.ctx, CmdData, 0x02);
    SendCommand(dying.ctx, CmdClock, 0x03);
    dying.tracer.Finish();
    EXPECT_EQ(dying.out.Text(), "1 - 0A 01 40\n2 - 0A 02 F8 timeout\n3 - 06 03 F8 timeout\n");
    EXPECT_EQ(dying.board.Latches().Latch(CmdData), 0x01);

    // The detection's bare strobe is a transfer too.
    Traced absent(sim::BoardFaults{.noBoard = true});
    EXPECT_EQ(DetectBoard(absent.ctx), 10);
    absent.tracer.Finish();
    EXPECT_EQ(absent.out.Text(), "1 1001.0 00 00 F8 timeout\n");
    Traced found;
    EXPECT_EQ(DetectBoard(found.ctx), 0);
    const std::string text = found.out.Text();
    EXPECT_EQ(text.substr(0, 15), "1 2.0 00 00 00\n");
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              found.log.size());
}

// What a viewer takes from a value change dump: per variable name its (time, value)
// changes. ok stays false on anything outside the part of the format the writer uses.
struct Vcd {
    std::map<std::string, std::vector<std::pair<std::uint64_t, unsigned>>> changes;
    bool timesIncrease = true;
    bool ok = false;

    explicit Vcd(const std::string& text) {
        std::istringstream in(text);
        std::map<std::string, std::string> names;  // identifier code -> variable name
        std::string word, type, width, code, name, end;
        while (in >> word && word != "$enddefinitions") {
            if (word != "$var") continue;
            in >> type >> width >> code >> name >> end;
            if (type != "wire" || end != "$end") return;
            names[code] = name;
        }
        if (!(in >> word) || word != "$end") return;
        std::optional<std::uint64_t> now;
        while (in >> word) {
            if (word == "$dumpvars" || word == "$end") continue;
            if (word[0] == '#') {
                const std::uint64_t t = std::stoull(word.substr(1));
                if (now && t <= *now) timesIncrease = false;
                now = t;
                continue;
            }
            if (word[0] == 'b') {
                in >> code;
                word.erase(0, 1);
            } else if (word[0] == '0' || word[0] == '1') {
                code = word.substr(1);
                word.resize(1);
            } else {
                return;
            }
            if (!now || names.count(code) == 0) return;
            const auto value = static_cast<unsigned>(std::stoul(word, nullptr, 2));
            changes[names[code]].push_back({*now, value});
        }
        ok = true;
    }
    unsigned Final(const std::string& name) const { return changes.at(name).back().second; }
};

// The dump of an SPI power-on followed by one bit: MOSI up, SCK up, MISO read (the
// released line loops back), SCK down.
std::string SpiBitDump() {
    Traced t;
    MemFile out;
    sim::VcdWriter vcd(out.file);
    t.tracer.AddSink(vcd);
    t.ctx.device.programmingMode = kSpi2;
    t.ctx.device.supplyVoltageCode = 100;
    t.ctx.link.spiSync = nullptr;  // no chip in the socket to synchronise with
    BoardInit(t.ctx);
    PowerOn(t.ctx);
    t.ctx.link.dataLatch = 0x18;
    SendCommand(t.ctx, CmdData, 0x18);
    SendCommand(t.ctx, CmdData, 0x38);
    ReadBoardByte(t.ctx);
    SendCommand(t.ctx, CmdData, 0x18);
    return out.Text();
}

TEST(VcdTrace, DumpsTheDecodedLinesOfAPowerCycle) {
    const Vcd dump(SpiBitDump());
    ASSERT_TRUE(dump.ok);
    EXPECT_TRUE(dump.timesIncrease);
    for (const char* name :
         {"VCC_code", "VPP_code", "RESET", "SCK", "MOSI", "MISO", "SCI", "SDI", "SII", "SDO",
          "DATA", "READBACK", "XA1", "XA0", "BS", "WR", "OE", "XTAL1"}) {
        EXPECT_TRUE(dump.changes.count(name)) << name;
    }
    EXPECT_EQ(dump.Final("MISO"), 1u);
    EXPECT_EQ(dump.Final("SCK"), 0u);
    EXPECT_EQ(dump.Final("DATA"), 0x18u);
    const auto& sck = dump.changes.at("SCK");
    ASSERT_EQ(sck.size(), 3u);                       // initial 0, up, down
    EXPECT_EQ(sck[2].first - sck[1].first, 15000u);  // three transfers of 5 µs apart
    // The supply is set once, in the SPI power-on's only VCC step.
    const auto& vcc = dump.changes.at("VCC_code");
    ASSERT_EQ(vcc.size(), 2u);
    EXPECT_EQ(vcc[1].second, 100u);
}

// GTKWave's own reader takes the dump in and gives the same changes back out.
TEST(VcdTrace, GtkwaveToolsReadTheDumpBackUnchanged) {
    if (std::system("{ command -v vcd2fst && command -v fst2vcd; } >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "gtkwave's vcd2fst and fst2vcd are not installed: skipped";
    }
    testing::ScratchDir dir;
    const std::string text = SpiBitDump();
    const std::string vcd = dir.Write("board.vcd", text), fst = dir.Path("board.fst");
    const std::string command = "vcd2fst '" + vcd + "' '" + fst + "' >/dev/null 2>&1 && fst2vcd '" +
                                fst + "' >'" + dir.Path("back.vcd") + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Vcd back(dir.Read("back.vcd"));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.changes, Vcd(text).changes);
}

}  // namespace
}  // namespace merlinox
