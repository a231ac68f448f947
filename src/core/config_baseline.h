#pragma once
#include <optional>
#include <string>
#include <vector>

namespace merlinox::inline core {

// One key of the configuration as a save writes it.
struct StoredValue {
    std::string section;
    std::string key;
    std::string value;
};

// What the configuration file held for each key a save writes, and what this run made
// of it, as of the last load or save. A save writes only the keys this run changed
// since (or corrected on load), into the file as it is on disk then, so that another
// program saving the same file in the meantime keeps its own changes.
struct ConfigBaseline {
    struct Entry {
        StoredValue loaded;                 // the value in memory after the load
        std::optional<std::string> onDisk;  // the key in the file then; none when missing
    };
    std::vector<Entry> entries;
};

}  // namespace merlinox::inline core
