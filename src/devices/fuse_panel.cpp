#include "devices/fuse_panel.h"

#include <string>

#include "core/context.h"
#include "core/main_view.h"
#include "core/message_port.h"
#include "devices/fuse_layout.h"

namespace merlinox {

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

void EnableFuses(Context& ctx, MainView& view) {
    const FuseBits bits = DescribeFuseBits(ctx.device);
    ForceFixedFuseBits(ctx);
    // Labels and enabled states first, so that a missing-row message is shown over a
    // panel that already offers nothing but the lock bits.
    for (const FuseBit& bit : bits.bits) {
        view.SetText(bit.controlId, bit.label);
        view.Enable(bit.controlId, bit.enabled);
    }
    if (bits.group != ModeGroup::None && bits.row == nullptr) {
        const std::string group(ModeGroupName(bits.group));
        ctx.messageBuffer.Format("Devicecode 0x%04X fehlt in EnableFuses %s",
                                 static_cast<unsigned>(ctx.device.deviceCode), group.c_str());
        ShowInfo(ctx, ctx.messageBuffer.View());
    }
    for (const FuseBit& bit : bits.bits) {
        const std::uint8_t value = FuseByteOf(ctx.settings, bit.byte);
        view.SetChecked(bit.controlId, (value & (1u << bit.bit)) == 0);
    }
    view.Redraw();
}

void OnFuseBoxClicked(Context& ctx, MainView& view, int controlId) {
    const auto position = FuseBoxOf(controlId);
    if (!position) return;
    const bool checked = view.IsChecked(controlId);
    std::uint8_t& value = FuseByteOf(ctx.settings, position->byte);
    if (controlId == kLock1Box) {
        if (checked) {
            ClearBits(value, kLock1Bit);
        } else {
            SetBits(value, kLock1Bit | kLock2Bit);
            view.SetChecked(kLock2Box, false);
        }
        return;
    }
    if (controlId == kLock2Box) {
        if (checked) {
            ClearBits(value, kLock1Bit | kLock2Bit);
            view.SetChecked(kLock1Box, true);
        } else {
            SetBits(value, kLock2Bit);
        }
        return;
    }
    const auto mask = static_cast<std::uint8_t>(1u << position->bit);
    if (checked) {
        ClearBits(value, mask);
    } else {
        SetBits(value, mask);
    }
}

}  // namespace merlinox
