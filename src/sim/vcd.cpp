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

// Identifier codes of the VCD format: printable characters from '!' on.
std::string Code(std::size_t wire) { return std::string(1, static_cast<char>('!' + wire)); }

std::uint32_t Bit(std::uint8_t value, std::uint8_t mask) { return (value & mask) != 0 ? 1u : 0u; }

}  // namespace

VcdWriter::VcdWriter(std::FILE* out) : out_(out) {
    for (int s = 0; s < kSignalCount; ++s) {
        const auto signal = static_cast<Signal>(s);
        const std::string name = kSignals[s].name;
        if (kSignals[s].width == 1) {
            wires_.push_back({signal, -1, name, Code(wires_.size())});
            continue;
        }
        for (int bit = kSignals[s].width - 1; bit >= 0; --bit) {
            wires_.push_back({signal, bit, name + std::to_string(bit), Code(wires_.size())});
        }
    }
    WriteHeader();
    std::fprintf(out_, "#0\n$dumpvars\n");
    Dump(0, true);
    std::fprintf(out_, "$end\n");
}

void VcdWriter::WriteHeader() {
    std::fprintf(out_, "$version Merlinox board trace $end\n$timescale 1ns $end\n");
    std::fprintf(out_, "$scope module board $end\n");
    for (const Wire& wire : wires_) {
        std::fprintf(out_, "$var wire 1 %s %s $end\n", wire.code.c_str(), wire.name.c_str());
    }
    std::fprintf(out_, "$upscope $end\n$enddefinitions $end\n");
}

std::uint32_t VcdWriter::ValueOf(Signal signal) const {
    const std::uint8_t data = latches_.Latch(CmdData);
    const std::uint8_t control = latches_.Latch(CmdControl);
    switch (signal) {
    case kVcc:
        return latches_.VccCode();
    case kVpp:
        return latches_.VppCode();
    case kReset:
        return Bit(data, bits::kDataReset);
    case kSck:
        return Bit(data, bits::kDataSck);
    case kMosi:
        return Bit(data, bits::kDataMosi);
    case kMiso:
        return Bit(readBack_, bits::kReadMiso);
    case kSci:
        return Bit(data, bits::kDataXtal1);
    case kSdi:
        return Bit(data, bits::kDataSdi);
    case kSii:
        return Bit(data, bits::kDataSii);
    case kSdo:
        return Bit(readBack_, bits::kReadSdo);
    case kData:
        return data;
    case kReadBack:
        return readBack_;
    case kXa1:
        return Bit(control, bits::kCtrlXa1);
    case kXa0:
        return Bit(control, bits::kCtrlXa0);
    case kBs:
        return Bit(control, bits::kCtrlBs);
    case kWr:
        return Bit(control, bits::kCtrlWr);
    case kOe:
        return Bit(latches_.Latch(CmdSignal), bits::kSigOe);
    case kXtal1:
        return Bit(latches_.Latch(CmdClock), bits::kClkXtal1);
    case kSignalCount:
        break;
    }
    return 0;
}

unsigned VcdWriter::WireValue(const Wire& wire) const {
    const std::uint32_t value = ValueOf(wire.signal);
    return wire.bit < 0 ? value : (value >> wire.bit) & 1u;
}

void VcdWriter::Dump(SimTime time, bool all) {
    bool stamped = all || time == lastTime_;
    for (Wire& wire : wires_) {
        const unsigned value = WireValue(wire);
        if (!all && value == wire.last) continue;
        if (!stamped) {
            std::fprintf(out_, "#%" PRIu64 "\n", time);
            stamped = true;
            lastTime_ = time;
        }
        wire.last = value;
        std::fprintf(out_, "%u%s\n", value, wire.code.c_str());
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
