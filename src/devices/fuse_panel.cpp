#include "devices/fuse_panel.h"

#include <string>

#include "core/context.h"
#include "core/message_port.h"

namespace merlinox::inline devices {

std::uint8_t FixedBitsOf(const DeviceRecord& device, FuseByte byte) {
    switch (byte) {
    case FuseByte::Lock:
        return device.lockFixedBits;
    case FuseByte::Low:
        return device.lowFuseFixedBits;
    case FuseByte::High:
        return device.highFuseFixedBits;
    case FuseByte::Ext:
        return device.extFuseFixedBits;
    }
    return 0;
}

namespace {

void SetBits(std::uint8_t& value, std::uint8_t mask) {
    value = static_cast<std::uint8_t>(value | mask);
}
void ClearBits(std::uint8_t& value, std::uint8_t mask) {
    value = static_cast<std::uint8_t>(value & ~mask);
}

constexpr std::uint8_t kLock1Bit = 0x01;
constexpr std::uint8_t kLock2Bit = 0x02;

}  // namespace

namespace {

template <typename SettingsT>
auto& ByteOf(SettingsT& settings, FuseByte byte) {
    switch (byte) {
    case FuseByte::Lock:
        return settings.lockBits;
    case FuseByte::Low:
        return settings.fuseLow;
    case FuseByte::High:
        return settings.fuseHigh;
    case FuseByte::Ext:
        break;
    }
    return settings.fuseExt;
}

}  // namespace

std::uint8_t& FuseByteOf(Settings& settings, FuseByte byte) { return ByteOf(settings, byte); }
std::uint8_t FuseByteOf(const Settings& settings, FuseByte byte) { return ByteOf(settings, byte); }

void ForceFixedFuseBits(Context& ctx) {
    for (int byte = 0; byte < kFuseByteCount; ++byte) {
        const auto which = static_cast<FuseByte>(byte);
        SetBits(FuseByteOf(ctx.settings, which), FixedBitsOf(ctx.device, which));
    }
}

FusePanel LayOutFusePanel(Context& ctx) {
    const FuseBits bits = DescribeFuseBits(ctx.device);
    ForceFixedFuseBits(ctx);
    FusePanel panel;
    panel.group = bits.group;
    panel.rowMissing = bits.group != ModeGroup::None && bits.row == nullptr;
    for (std::size_t i = 0; i < bits.bits.size(); ++i) {
        const FuseBit& bit = bits.bits[i];
        const std::uint8_t value = FuseByteOf(ctx.settings, bit.byte);
        panel.boxes[i] = {bit.controlId, bit.label, bit.enabled, (value & (1u << bit.bit)) == 0};
    }
    return panel;
}

void ReportMissingFuseRow(Context& ctx, const FusePanel& panel) {
    if (!panel.rowMissing) return;
    const std::string group(ModeGroupName(panel.group));
    ctx.messageBuffer.Format("Devicecode 0x%04X fehlt in EnableFuses %s",
                             static_cast<unsigned>(ctx.device.deviceCode), group.c_str());
    ShowInfo(ctx, ctx.messageBuffer.View());
}

std::optional<FollowingBox> ApplyFuseClick(Settings& settings, int controlId, bool checked) {
    const auto position = FuseBoxOf(controlId);
    if (!position) return std::nullopt;
    std::uint8_t& value = FuseByteOf(settings, position->byte);
    if (controlId == kLock1Box) {
        if (checked) {
            ClearBits(value, kLock1Bit);
            return std::nullopt;
        }
        SetBits(value, kLock1Bit | kLock2Bit);
        return FollowingBox{kLock2Box, false};
    }
    if (controlId == kLock2Box) {
        if (!checked) {
            SetBits(value, kLock2Bit);
            return std::nullopt;
        }
        ClearBits(value, kLock1Bit | kLock2Bit);
        return FollowingBox{kLock1Box, true};
    }
    const auto mask = static_cast<std::uint8_t>(1u << position->bit);
    if (checked) {
        ClearBits(value, mask);
    } else {
        SetBits(value, mask);
    }
    return std::nullopt;
}

}  // namespace merlinox::inline devices
