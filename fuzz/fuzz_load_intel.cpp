// Recognition and loading of any bytes with the intel reader, and the round trip of what loads.
#include "load_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    merlinox::fuzzing::LoadAndRoundTrip(data, size, merlinox::kFormatIntel32,
                                        merlinox::kFormatIntelMcs86, merlinox::kFlash);
    return 0;
}
