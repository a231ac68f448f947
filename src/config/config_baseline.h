#pragma once
#include <vector>

#include "core/config_baseline.h"

namespace merlinox::inline config {

class IniFile;

// values: what a save would write right after the load of file.
ConfigBaseline BaselineOf(std::vector<StoredValue> values, const IniFile& file);

// Whether a save writes value into onDiskNow: when this run changed it since the load,
// or when the load corrected (or did not find) it and no one has written the key since.
// A key the load never saw counts as changed.
bool BaselineWrites(const ConfigBaseline& baseline, const StoredValue& value,
                    const IniFile& onDiskNow);

// value is in the file now.
void RememberWritten(ConfigBaseline& baseline, const StoredValue& value);

}  // namespace merlinox::inline config
