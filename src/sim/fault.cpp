#include "sim/fault.h"

#include <charconv>

namespace merlinox::sim {

namespace {

bool ParseNumber(std::string_view text, std::uint64_t max, std::uint64_t& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value <= max;
}

}  // namespace

bool ParseFault(std::string_view text, BoardFaults& faults, std::string& error) {
    const std::size_t eq = text.find('=');
    const std::string_view name = text.substr(0, eq);
    const std::string_view arg =
        eq == std::string_view::npos ? std::string_view() : text.substr(eq + 1);
    const bool hasArg = eq != std::string_view::npos;
    std::uint64_t n = 0;

    if (!hasArg && name == "no-board") {
        faults.noBoard = true;
        return true;
    }
    if (!hasArg && name == "no-ready") {
        faults.neverReady = true;
        return true;
    }
    if (!hasArg && name == "no-ack") {
        faults.neverAcknowledges = true;
        return true;
    }
    if (hasArg && name == "die-after" && ParseNumber(arg, UINT64_MAX, n) && n > 0) {
        faults.dieAfter = n;
        return true;
    }
    if (hasArg && name == "miss-ack" && ParseNumber(arg, UINT64_MAX, n) && n > 0) {
        faults.missAck = n;
        return true;
    }
    if (hasArg && name == "slow-ack" && ParseNumber(arg, 100000000, n)) {
        faults.slowAckPolls = static_cast<std::uint32_t>(n);
        return true;
    }
    if (hasArg && name == "stuck-bit") {
        const std::size_t colon = arg.find(':');
        std::uint64_t level = 0;
        if (colon != std::string_view::npos && ParseNumber(arg.substr(0, colon), 7, n) &&
            ParseNumber(arg.substr(colon + 1), 1, level)) {
            faults.stuckBit = static_cast<int>(n);
            faults.stuckLevel = level != 0;
            return true;
        }
    }
    error = "unknown board fault '" + std::string(text) +
            "' (no-board, no-ready, no-ack, die-after=N, miss-ack=N, slow-ack=K, stuck-bit=B:V)";
    return false;
}

}  // namespace merlinox::sim
