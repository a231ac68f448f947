#pragma once

namespace merlinox::inline core {
struct LinkContext;
}  // namespace merlinox::inline core

namespace merlinox::inline link {

void SetVoltages(LinkContext& ctx);
void BoardInit(LinkContext& ctx);
void BoardOff(LinkContext& ctx);
void PowerOn(LinkContext& ctx);
void PowerOff(LinkContext& ctx);
// kOk found, kBoardNotFound, or kHandshakeTimeout when nothing acknowledged at all.
int DetectBoard(LinkContext& ctx);
void SendReset(LinkContext& ctx);

}  // namespace merlinox::inline link
