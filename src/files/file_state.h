#pragma once

namespace merlinox {

// The data-file loader's own state beside the memory image.
struct FileState {};

}  // namespace merlinox
