#pragma once

namespace merlinox {

struct Context;

void SetVoltages(Context& ctx);
void BoardInit(Context& ctx);
void BoardOff(Context& ctx);
void PowerOn(Context& ctx);
void PowerOff(Context& ctx);
int DetectBoard(Context& ctx);  // 0 found, 8 not found, 10 no acknowledge at all
void SendReset(Context& ctx);

}  // namespace merlinox
