#pragma once
#include "operations/interface_ops.h"

namespace merlinox::inline operations {

// The steps of the interface rows that are more than one protocol call. Each lives
// with its operation and expects the chip powered in its mode.

// check_id.cpp: the three signature bytes.
ChipSignature ReadSignatureParallel(Context& ctx);
ChipSignature ReadSignatureHighVoltage(Context& ctx);
ChipSignature ReadSignatureSpi(Context& ctx);

// erase.cpp: the chip erase; false when it failed or was cancelled.
bool EraseParallel(Context& ctx);
bool EraseHighVoltageSerial(Context& ctx);
bool EraseHighVoltagePaged(Context& ctx);
bool EraseSpi(Context& ctx);

// fuse_lock.cpp: the parallel fuse and lock writes with their read-back check.
int WriteFusesParallel(Context& ctx);
int WriteLockParallel(Context& ctx);

// fuse_read.cpp: the fuse and lock bytes as the family can read them.
int ReadFusesParallel(Context& ctx, ChipFuseBytes& out);
int ReadFusesHighVoltageSerial(Context& ctx, ChipFuseBytes& out);
int ReadFusesHighVoltagePaged(Context& ctx, ChipFuseBytes& out);
int ReadFusesSpi(Context& ctx, ChipFuseBytes& out);

}  // namespace merlinox::inline operations
