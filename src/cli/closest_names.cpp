#include "cli/closest_names.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace merlinox::cli {

namespace {

char Folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // One row of the classic table at a time: row[j] is the distance between the first
    // i characters of a and the first j of b.
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t replace = diagonal + (Folded(a[i - 1]) == Folded(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, replace});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<std::string> ClosestNames(std::string_view typed,
                                      const std::vector<std::string>& candidates, std::size_t count,
                                      std::size_t maxDistance) {
    std::vector<std::pair<std::size_t, std::size_t>> ranked;  // distance, candidate index
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::size_t distance = EditDistance(typed, candidates[i]);
        if (distance <= maxDistance) ranked.emplace_back(distance, i);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::string> names;
    for (const auto& [distance, index] : ranked) {
        if (names.size() == count) break;
        if (std::find(names.begin(), names.end(), candidates[index]) == names.end()) {
            names.push_back(candidates[index]);
        }
    }
    return names;
}

}  // namespace merlinox::cli
