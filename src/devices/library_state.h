#pragma once
#include <string>

namespace merlinox {

// The device-library reader's state: where the library is and what is open of it.
struct LibraryState {
    std::string libraryPath;  // Windows style, like the configuration's stored paths
};

}  // namespace merlinox
