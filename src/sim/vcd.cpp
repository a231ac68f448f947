#include "sim/vcd.h"

#include <cinttypes>

#include "link/latch_bits.h"
#include "link/transport.h"

namespace merlinox::sim {

namespace {

struct SignalInfo {
    const char* name;
    int width;
};

constexpr SignalInfo kSignals[VcdWriter::kSignalCount] = {
    {"VCC_code", 8}, {"VPP_code", 8}, {"RESET", 1}, {"SCK", 1}, {"MOSI", 1}, {"MISO", 1},
    {"SCI", 1},      {"SDI", 1},      {"SII", 1},   {"SDO", 1}, {"DATA", 8}, {"READBACK", 8},
    {"XA1", 1},      {"XA0", 1},      {"BS", 1},    {"WR", 1},  {"OE", 1},   {"XTAL1", 1},
};

// Identifier codes of the VCD format: printable characters from '!'.
char Code(int signal) { return static_cast<char>('!' + signal); }

std::uint32_t Bit(std::uint8_t value, std::uint8_t mask) { return (value & mask) != 0 ? 1u : 0u; }

}  // namespace

VcdWriter::VcdWriter(std::FILE* out) : out_(out) {
    WriteHeader();
    std::fprintf(out_, "#0\n$dumpvars\n");
    Dump(0, true);
    std::fprintf(out_, "$end\n");
}

void VcdWriter::WriteHeader() {
    std::fprintf(out_, "$version Merlinox board trace $end\n$timescale 1ns $end\n");
    std::fprintf(out_, "$scope module board $end\n");
    for (int s = 0; s < kSignalCount; ++s) {
        std::fprintf(out_, "$var wire %d %c %s $end\n", kSignals[s].width, Code(s),
                     kSignals[s].name);
    }
    std::fprintf(out_, "$upscope $end\n$enddefinitions $end\n");
}

std::uint32_t VcdWriter::ValueOf(Signal signal) const {
    const std::uint8_t data = latches_.Latch(CmdData);
    const std::uint8_t control = latches_.Latch(CmdControl);
    switch (signal) {
        case kVcc: return latches_.VccCode();
        case kVpp: return latches_.VppCode();
        case kReset: return Bit(data, bits::kDataReset);
        case kSck: return Bit(data, bits::kDataSck);
        case kMosi: return Bit(data, bits::kDataMosi);
        case kMiso: return Bit(readBack_, bits::kReadMiso);
        case kSci: return Bit(data, bits::kDataXtal1);
        case kSdi: return Bit(data, bits::kDataSdi);
        case kSii: return Bit(data, bits::kDataSii);
        case kSdo: return Bit(readBack_, bits::kReadSdo);
        case kData: return data;
        case kReadBack: return readBack_;
        case kXa1: return Bit(control, bits::kCtrlXa1);
        case kXa0: return Bit(control, bits::kCtrlXa0);
        case kBs: return Bit(control, bits::kCtrlBs);
        case kWr: return Bit(control, bits::kCtrlWr);
        case kOe: return Bit(latches_.Latch(CmdSignal), bits::kSigOe);
        case kXtal1: return Bit(latches_.Latch(CmdClock), bits::kClkXtal1);
        case kSignalCount: break;
    }
    return 0;
}

void VcdWriter::Dump(SimTime time, bool all) {
    bool stamped = all || time == lastTime_;
    for (int s = 0; s < kSignalCount; ++s) {
        const std::uint32_t value = ValueOf(static_cast<Signal>(s));
        if (!all && value == last_[s]) continue;
        if (!stamped) {
            std::fprintf(out_, "#%" PRIu64 "\n", time);
            stamped = true;
            lastTime_ = time;
        }
        last_[s] = value;
        if (kSignals[s].width == 1) {
            std::fprintf(out_, "%u%c\n", value, Code(s));
        } else {
            char digits[9];
            for (int b = 0; b < 8; ++b) digits[b] = ((value >> (7 - b)) & 1) != 0 ? '1' : '0';
            digits[8] = '\0';
            std::fprintf(out_, "b%s %c\n", digits, Code(s));
        }
    }
}

void VcdWriter::OnTransfer(const TransferRecord& record) {
    if (!record.ok) return;  // whether the board stored it is unknown
    latches_.Store(record.command, record.data);
    const std::uint8_t nibble = bits::NibbleFromStatus(record.status);
    if (record.command == CmdPower) {
        readBack_ = static_cast<std::uint8_t>((readBack_ & 0x0F) | (nibble << 4));
    } else if (record.command == CmdSignal) {
        readBack_ = static_cast<std::uint8_t>((readBack_ & 0xF0) | nibble);
    }
    // Time never runs backwards in a dump, even when the wall clock is coarse.
    const SimTime time = record.time > lastTime_ ? record.time : lastTime_;
    Dump(time, false);
}

}  // namespace merlinox::sim
