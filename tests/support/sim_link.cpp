#include "support/sim_link.h"

#include <algorithm>
#include <cstdio>

namespace merlinox::testing {

namespace {

constexpr std::uint8_t kSignal = 0x04;

bool IsSignal(const std::vector<sim::LatchWrite>& log, std::size_t i) {
    return i < log.size() && log[i].command == kSignal;
}

// The 51-store voltage pattern starting at i with the signal latch at before.
bool MatchVolts(const std::vector<sim::LatchWrite>& log, std::size_t i, std::uint8_t before,
                unsigned& vcc, unsigned& vpp) {
    if (i + 51 > log.size()) return false;
    const auto base = static_cast<std::uint8_t>(before & ~0x07);
    std::uint16_t value = 0;
    for (int bit = 0; bit < 16; ++bit) {
        const std::size_t k = i + 3 * static_cast<std::size_t>(bit);
        if (!IsSignal(log, k) || !IsSignal(log, k + 1) || !IsSignal(log, k + 2)) return false;
        const std::uint8_t d = log[k].data;
        if ((d & ~0x02) != base || log[k + 1].data != (d | 0x01) || log[k + 2].data != d)
            return false;
        value = static_cast<std::uint16_t>((value << 1) | ((d >> 1) & 1));
    }
    const std::uint8_t last = log[i + 47].data;
    if (!IsSignal(log, i + 48) || log[i + 48].data != (last | 0x04)) return false;
    if (!IsSignal(log, i + 49) || log[i + 49].data != last) return false;
    if (!IsSignal(log, i + 50) || log[i + 50].data != base) return false;
    vcc = value >> 8;
    vpp = value & 0xFF;
    return true;
}

}  // namespace

std::string Volts(unsigned vcc, unsigned vpp) {
    return "V(" + std::to_string(vcc) + "," + std::to_string(vpp) + ")";
}

std::string Delay(std::uint32_t transfers) { return "W(" + std::to_string(transfers) + ")"; }

std::string DelayMs(std::uint32_t milliseconds) {
    const std::uint32_t units = milliseconds * 1000u / 85u;
    return Delay(units == 0 ? 1 : units);
}

std::vector<std::string> SimLink::Summary() const {
    std::vector<std::string> tokens;
    std::uint8_t signal = 0;
    std::size_t i = 0;
    while (i < log.size()) {
        unsigned vcc = 0;
        unsigned vpp = 0;
        if (IsSignal(log, i) && MatchVolts(log, i, signal, vcc, vpp)) {
            tokens.push_back(Volts(vcc, vpp));
            signal = log[i + 50].data;
            i += 51;
            continue;
        }
        if (IsSignal(log, i) && (signal & 0x20) == 0 && log[i].data == (signal | 0x20)) {
            std::size_t n = 0;
            while (IsSignal(log, i + n) && log[i + n].data == (signal | 0x20)) ++n;
            if (IsSignal(log, i + n) && log[i + n].data == signal) {
                tokens.push_back(Delay(static_cast<std::uint32_t>(n)));
                i += n + 1;
                continue;
            }
        }
        char store[8];
        std::snprintf(store, sizeof store, "%02X=%02X", log[i].command, log[i].data);
        tokens.push_back(store);
        if (log[i].command == kSignal) signal = log[i].data;
        ++i;
    }
    return tokens;
}

int SimLink::Timeouts() const {
    return static_cast<int>(std::count_if(ui.shown.begin(), ui.shown.end(), [](const auto& box) {
        return box.text.find("Timeout-Fehler") != std::string::npos;
    }));
}

}  // namespace merlinox::testing
