#pragma once
#include <string>
#include <string_view>

namespace merlinox::cli {

// text as a JSON string literal, quotes included. Text is UTF-8 (the library's names are
// decoded on reading); control characters are escaped, everything else passes.
std::string JsonString(std::string_view text);

}  // namespace merlinox::cli
