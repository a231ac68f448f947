#include "config/config_baseline.h"

#include "config/ini_file.h"
#include "config/text_encoding.h"

namespace merlinox {

namespace {

// Section names compare as the file compares them; key names are our own constants.
bool SameKey(const StoredValue& a, const StoredValue& b) {
    return a.key == b.key &&
           EqualIgnoringCase1252(EncodeWindows1252(a.section), EncodeWindows1252(b.section));
}

}  // namespace

ConfigBaseline ConfigBaseline::Of(std::vector<StoredValue> values, const IniFile& file) {
    ConfigBaseline baseline;
    for (StoredValue& value : values) {
        std::optional<std::string> onDisk = file.Find(value.section, value.key);
        baseline.entries_.push_back({std::move(value), std::move(onDisk)});
    }
    return baseline;
}

const ConfigBaseline::Entry* ConfigBaseline::Find(const StoredValue& value) const {
    for (const Entry& entry : entries_) {
        if (SameKey(entry.loaded, value)) return &entry;
    }
    return nullptr;
}

bool ConfigBaseline::Writes(const StoredValue& value, const IniFile& onDiskNow) const {
    const Entry* entry = Find(value);
    if (entry == nullptr || entry->loaded.value != value.value) return true;
    if (entry->onDisk == entry->loaded.value) return false;
    return onDiskNow.Find(value.section, value.key) == entry->onDisk;
}

void ConfigBaseline::Remember(const StoredValue& value) {
    for (Entry& entry : entries_) {
        if (SameKey(entry.loaded, value)) {
            entry = {value, value.value};
            return;
        }
    }
    entries_.push_back({value, value.value});
}

}  // namespace merlinox
