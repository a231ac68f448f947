#include "config/config_baseline.h"

#include "config/ini_file.h"
#include "config/text_encoding.h"

namespace merlinox::inline config {

namespace {

// Section names compare as the file compares them; key names are our own constants.
bool SameKey(const StoredValue& a, const StoredValue& b) {
    return a.key == b.key &&
           EqualIgnoringCase1252(EncodeWindows1252(a.section), EncodeWindows1252(b.section));
}

const ConfigBaseline::Entry* Find(const ConfigBaseline& baseline, const StoredValue& value) {
    for (const ConfigBaseline::Entry& entry : baseline.entries) {
        if (SameKey(entry.loaded, value)) return &entry;
    }
    return nullptr;
}

}  // namespace

ConfigBaseline BaselineOf(std::vector<StoredValue> values, const IniFile& file) {
    ConfigBaseline baseline;
    for (StoredValue& value : values) {
        std::optional<std::string> onDisk = file.Find(value.section, value.key);
        baseline.entries.push_back({std::move(value), std::move(onDisk)});
    }
    return baseline;
}

bool BaselineWrites(const ConfigBaseline& baseline, const StoredValue& value,
                    const IniFile& onDiskNow) {
    const ConfigBaseline::Entry* entry = Find(baseline, value);
    if (entry == nullptr || entry->loaded.value != value.value) return true;
    if (entry->onDisk == entry->loaded.value) return false;
    return onDiskNow.Find(value.section, value.key) == entry->onDisk;
}

void RememberWritten(ConfigBaseline& baseline, const StoredValue& value) {
    for (ConfigBaseline::Entry& entry : baseline.entries) {
        if (SameKey(entry.loaded, value)) {
            entry = {value, value.value};
            return;
        }
    }
    baseline.entries.push_back({value, value.value});
}

}  // namespace merlinox::inline config
