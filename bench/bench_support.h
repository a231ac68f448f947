#pragma once
#include <cstdint>
#include <string_view>

#include "core/link_context.h"
#include "core/message_port.h"
#include "core/user_interface.h"
#include "protocols/spi.h"

namespace merlinox::bench {

// The link's messages, unread: the link and protocol passes report through their
// counters. A question is answered as an unattended box would be.
class QuietMessages : public MessagePort {
public:
    void ShowInfo(std::string_view) override {}
    int AskRetryCancel(std::string_view) override { return kIdCancel; }
    int AskOkCancel(std::string_view) override { return kIdCancel; }
    void ShowPlain(std::string_view) override {}
    void ShowFileError(std::string_view, int) override {}
};

// A link as the program sets it up, without the rest of a programmer: PowerOn ends the
// serial modes with the real synchronisation.
struct QuietLink {
    QuietLink() { ctx.link.spiSync = &SPISync; }
    QuietLink(const QuietLink&) = delete;
    QuietLink& operator=(const QuietLink&) = delete;

    QuietMessages messages;
    LinkContext ctx{messages};
};

// The data word written at a flash word address: varied enough that a slip in the
// address or byte order reads back as a difference.
inline std::uint16_t Pattern(std::uint32_t word) {
    return static_cast<std::uint16_t>((word * 0x9E37u) ^ (word >> 5) ^ 0x0C94u);
}

}  // namespace merlinox::bench
