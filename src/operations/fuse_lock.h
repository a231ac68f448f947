#pragma once

namespace merlinox::inline core {
struct Context;
}  // namespace merlinox::inline core

namespace merlinox::inline operations {

// The last stages of a "Brennen" run: the fuse and lock bytes the panel holds, written
// with the powered chip. 0; 5 no mode; 7 when a PAR1/PAR2 device with READFUSE reads
// back other bits than were written.
int ProgramFuseBits(Context& ctx);
int ProgramLockBits(Context& ctx);

}  // namespace merlinox::inline operations
