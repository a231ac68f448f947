#pragma once
#include <optional>
#include <string>
#include <vector>

namespace merlinox {

class IniFile;

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
class ConfigBaseline {
public:
    // values: what a save would write right after the load of file.
    static ConfigBaseline Of(std::vector<StoredValue> values, const IniFile& file);

    // Whether a save writes value into onDiskNow: when this run changed it since the
    // load, or when the load corrected (or did not find) it and no one has written the
    // key since. A key the load never saw counts as changed.
    bool Writes(const StoredValue& value, const IniFile& onDiskNow) const;
    // value is in the file now.
    void Remember(const StoredValue& value);

private:
    struct Entry {
        StoredValue loaded;                 // the value in memory after the load
        std::optional<std::string> onDisk;  // the key in the file then; none when missing
    };
    const Entry* Find(const StoredValue& value) const;

    std::vector<Entry> entries_;
};

}  // namespace merlinox
