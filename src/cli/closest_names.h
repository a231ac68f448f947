#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace merlinox::cli {

// How many single-character edits (insert, delete, replace) turn a into b, letter case
// ignored: what a typing slip costs.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidates nearest to typed, nearest first (ties in the candidates' order), at
// most count of them and none further than maxDistance away.
std::vector<std::string> ClosestNames(std::string_view typed,
                                      const std::vector<std::string>& candidates, std::size_t count,
                                      std::size_t maxDistance);

}  // namespace merlinox::cli
