#include "sim/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
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

    // Off the simulator there is no time; a transfer that is still open when the next
    // one begins, or when tracing ends, failed and ends with "timeout".
    Traced dying(sim::BoardFaults{.dieAfter = 1}, false);
    dying.ctx.link.timeoutCount = 3;
    SendCommand(dying.ctx, CmdData, 0x01);
    SendCommand(dying.ctx, CmdData, 0x02);
    SendCommand(dying.ctx, CmdClock, 0x03);
    dying.tracer.Finish();
    EXPECT_EQ(dying.out.Text(), "1 - 0A 01 40\n2 - 0A 02 F8 timeout\n3 - 06 03 F8 timeout\n");
}

using Changes = std::map<std::string, std::vector<std::pair<std::uint64_t, unsigned>>>;

// What a viewer reads from a value change dump: per variable its (time, value) changes.
Changes ReadVcd(const std::string& text) {
    Changes changes;
    std::map<std::string, std::string> names;  // identifier code -> variable name
    std::istringstream in(text);
    std::string word, type, width, code, name;
    while (in >> word && word != "$enddefinitions") {
        if (word != "$var") continue;
        in >> type >> width >> code >> name;
        names[code] = name;
    }
    std::uint64_t now = 0;
    while (in >> word) {
        if (word[0] == '#') {
            now = std::stoull(word.substr(1));
        } else if (word[0] == '0' || word[0] == '1') {
            changes[names.at(word.substr(1))].push_back({now, word[0] == '1' ? 1u : 0u});
        }
    }
    return changes;
}

// An SPI power-on followed by one bit: MOSI up, SCK up, MISO read (the released line
// loops back), SCK down. GTKWave's own tools read the same changes back.
TEST(VcdTrace, DumpsTheDecodedLinesOfAPowerCycleReadableByGtkwave) {
    Traced t;
    MemFile out;
    sim::VcdWriter writer(out.file);
    t.tracer.AddSink(writer);
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
    const std::string text = out.Text();
    const Changes dump = ReadVcd(text);
    // Every line from time 0 on: 14 single lines and the two voltage codes, the data
    // latch and the read-back byte as eight wires each, all of them 1 bit wide.
    EXPECT_EQ(dump.size(), 46u);
    EXPECT_EQ(text.find("$var wire 8"), std::string::npos);
    EXPECT_EQ(dump.at("MISO").back().second, 1u);
    unsigned data = 0;
    for (int bit = 7; bit >= 0; --bit) {
        data = data << 1 | dump.at("DATA" + std::to_string(bit)).back().second;
    }
    EXPECT_EQ(data, 0x18u);
    const auto& sck = dump.at("SCK");
    ASSERT_EQ(sck.size(), 3u);                       // initial 0, up, down
    EXPECT_EQ(sck[2].first - sck[1].first, 15000u);  // three transfers of 5 µs apart

    if (std::system("{ command -v vcd2fst && command -v fst2vcd; } >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "gtkwave's vcd2fst and fst2vcd are not installed: skipped";
    }
    testing::ScratchDir dir;
    const std::string vcd = dir.Write("board.vcd", text), fst = dir.Path("board.fst");
    const std::string command = "vcd2fst '" + vcd + "' '" + fst + "' >/dev/null 2>&1 && fst2vcd '" +
                                fst + "' >'" + dir.Path("back.vcd") + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadVcd(dir.Read("back.vcd")), dump);
}

// On real hardware the wall clock can give two transfers the same time, or an earlier
// one: each change is still filed under its own time, and the dump never runs back.
TEST(VcdTrace, TransfersOnACoarseClockKeepTheirTimes) {
    MemFile out;
    sim::VcdWriter writer(out.file);
    for (const auto& [time, data] : {std::pair{5000u, 0x00}, {5000u, 0x20}, {4000u, 0x00}}) {
        writer.OnTransfer(
            {.time = time, .command = CmdData, .data = std::uint8_t(data), .ok = true});
    }
    const auto sck = ReadVcd(out.Text()).at("SCK");  // the first store changed nothing
    ASSERT_EQ(sck.size(), 3u);
    EXPECT_EQ(sck[1], std::make_pair(std::uint64_t{5000}, 1u));
    EXPECT_EQ(sck[2], std::make_pair(std::uint64_t{5000}, 0u));
}

}  // namespace
}  // namespace merlinox
