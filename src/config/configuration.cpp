#include "config/configuration.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "config/config_baseline.h"
#include "config/number_text.h"
#include "config/text_encoding.h"
#include "config/windows_path.h"
#include "core/context.h"
#include "core/message_port.h"
#include "core/result_code.h"

namespace merlinox::inline config {

namespace {

constexpr std::uint16_t kDefaultPort = 0x378;
constexpr std::uint32_t kMinTimeOut = 1000000;
constexpr std::uint32_t kNoStoredByte = 256;  // the default of the lock and fuse keys

std::int32_t Signed(std::uint32_t value) { return static_cast<std::int32_t>(value); }

void LoadPort(Context& ctx, const IniFile& ini) {
    // Text that is no hexadecimal number keeps the base in memory (0 before the first
    // load, which the range check then replaces).
    const auto parsed = HexFromText(ini.GetString(kHardwareSection, "PortAdress", "378"));
    std::uint32_t base = parsed ? *parsed : ctx.settings.portAdress;
    if (base < 0x200 || base > 0x400) {
        ShowInfo(ctx,
                 "Portadresse in\n'PENDRAKE.INI'\nkann nicht stimmen!!\n\n"
                 "Nehme Standardwert von 0x378.");
        base = kDefaultPort;
    }
    ctx.settings.portAdress = static_cast<std::uint16_t>(base);
    SetPortAddresses(ctx.link, ctx.settings.portAdress);
}

void LoadHardware(Context& ctx, const IniFile& ini) {
    Settings& s = ctx.settings;
    s.debugNT = Signed(ini.GetInt(kHardwareSection, "DebugNT", 0));
    if (s.debugNT != 0 && s.debugNT != 1) s.debugNT = 0;
    s.searchHardware = Signed(ini.GetInt(kHardwareSection, "SearchHardware", 2));
    if (s.searchHardware < 2 || s.searchHardware > 5) s.searchHardware = 2;
    s.timeOut = ProfileIntFromText(ini.GetString(kHardwareSection, "TimeOut", "1000000"));
    if (s.timeOut < kMinTimeOut) s.timeOut = kMinTimeOut;
    ctx.link.timeoutCount = s.timeOut;
    s.messageBeap = ini.GetInt(kHardwareSection, "MessageBeap", 1) != 0 ? 1 : 0;
    s.timeBaseKorr = ini.GetInt(kHardwareSection, "TimeBaseKorr", 85);
    if (s.timeBaseKorr < 1 || s.timeBaseKorr > 100) s.timeBaseKorr = 85;
    ctx.link.timeBaseCorrection = s.timeBaseKorr;
}

void LoadProgramSection(Context& ctx, const IniFile& ini) {
    Settings& s = ctx.settings;
    s.xKoord = Signed(ini.GetInt(kProgramSection, "X-Koord", 10));
    if (s.xKoord < 0 || s.xKoord > 1024) s.xKoord = 10;
    s.yKoord = Signed(ini.GetInt(kProgramSection, "Y-Koord", 10));
    if (s.yKoord < 0 || s.yKoord > 768) s.yKoord = 10;
    s.manufIndex = Signed(ini.GetInt(kProgramSection, "ManufIndex", 0));
    if (s.manufIndex < 0) s.manufIndex = 1;
    s.deviceIndex = Signed(ini.GetInt(kProgramSection, "DeviceIndex", 0));
    if (s.deviceIndex < 0) s.deviceIndex = 0;
}

// A stored lock or fuse byte replaces the device default only when it is a byte.
void LoadStoredByte(const IniFile& ini, std::string_view section, std::string_view key,
                    std::uint8_t& byte) {
    const std::uint32_t value = ini.GetInt(section, key, kNoStoredByte);
    if (value < kNoStoredByte) byte = static_cast<std::uint8_t>(value);
}

void LoadDeviceSection(Context& ctx, const IniFile& ini) {
    Settings& s = ctx.settings;
    const std::string& section = ctx.device.name;
    s.ffSave = ini.GetInt(section, "FFSave", 0) == 1 ? 1 : 0;
    s.idCheck = (ini.GetInt(section, "IDCheck", 1) & 0xFF) != 0 ? 1 : 0;
    s.testChecksum = ini.GetInt(section, "TestChecksum", 1) != 0 ? 1 : 0;
    LoadStoredByte(ini, section, "LockBits", s.lockBits);
    LoadStoredByte(ini, section, "FuseLow", s.fuseLow);
    LoadStoredByte(ini, section, "FuseHigh", s.fuseHigh);
    LoadStoredByte(ini, section, "FuseExt", s.fuseExt);
    s.hexLineLen = ini.GetInt(section, "HexLineLen", 32);
    if (s.hexLineLen > 254 || s.hexLineLen < 2) {
        ctx.messageBuffer.Format(
            "Der Wert für die Länge der HEX-Zeilen ist größer 254 "
            "oder kleiner 2.\nEingetragene Länge %d\n\n"
            "Wert geändert auf Standardwert = 32 Datenbytes",
            Signed(s.hexLineLen));
        ShowInfo(ctx, ctx.messageBuffer.View());
        s.hexLineLen = 32;
    }
    s.hexLineLen &= ~1u;
    s.dataFormat = Signed(ini.GetInt(section, "DataFormat", 4));
    if (s.dataFormat < 1 || s.dataFormat > 8) s.dataFormat = 1;
    s.readFilter = Signed(ini.GetInt(section, "ReadFilter", 1));
    if (s.readFilter < 1 || s.readFilter > 4) s.readFilter = 1;
}

void LoadDataFile(Context& ctx, const IniFile& ini) {
    DataFilePaths& paths = ctx.paths;
    const std::string& section = ctx.device.name;
    paths.directory = ini.GetString(section, "DataPath", "C:\\");
    const WindowsPathParts where = SplitWindowsPath(paths.directory);
    // Only the name in "LastFile" counts, and all of it: a save writes the name alone,
    // and a Linux name may hold a ':' just where a drive letter would end ("a:b.hex").
    const std::string lastFile = ini.GetString(section, "LastFile", "tmp");
    const auto separator = lastFile.find_last_of("\\/");
    const std::string name =
        separator == std::string::npos ? lastFile : lastFile.substr(separator + 1);
    const std::string baseName = name.substr(0, name.rfind('.'));
    paths.filePath = where.drive + where.directory + name;
    paths.eepromPath = where.drive + where.directory + baseName + ".eep";
    paths.fileName = name;
}

// Every key a save writes, in the order it writes them, with the text it writes.
std::vector<StoredValue> StoredValues(Context& ctx) {
    const Settings& s = ctx.settings;
    std::vector<StoredValue> values;
    const auto text = [&](std::string_view section, std::string_view key, std::string value) {
        values.push_back({std::string(section), std::string(key), std::move(value)});
    };
    const auto number = [&](std::string_view section, std::string_view key, std::int32_t value) {
        text(section, key, std::to_string(value));
    };
    char port[16];
    std::snprintf(port, sizeof port, "%x", static_cast<unsigned>(s.portAdress));
    text(kHardwareSection, "PortAdress", port);
    number(kHardwareSection, "SearchHardware", s.searchHardware);
    number(kHardwareSection, "TimeOut", Signed(s.timeOut));
    number(kHardwareSection, "TimeBaseKorr", Signed(s.timeBaseKorr));
    number(kHardwareSection, "MessageBeap", Signed(s.messageBeap));

    number(kProgramSection, "ManufIndex", s.manufIndex);
    number(kProgramSection, "DeviceIndex", s.deviceIndex);
    number(kProgramSection, "X-Koord", s.xKoord);
    number(kProgramSection, "Y-Koord", s.yKoord);

    const std::string& section = ctx.device.name;
    number(section, "FFSave", Signed(s.ffSave));
    number(section, "DataFormat", s.dataFormat);
    number(section, "TestChecksum", Signed(s.testChecksum));
    number(section, "ShowDeviceData", Signed(s.showDeviceData));
    number(section, "IDCheck", s.idCheck);
    number(section, "HexLineLen", Signed(s.hexLineLen));
    number(section, "LockBits", s.lockBits);
    number(section, "FuseLow", s.fuseLow);
    number(section, "FuseHigh", s.fuseHigh);
    number(section, "FuseExt", s.fuseExt);
    number(section, "ReadFilter", s.readFilter);

    const WindowsPathParts parts = SplitWindowsPath(ctx.paths.filePath);
    const std::string directory = parts.drive + parts.directory;
    const std::string name = parts.baseName + parts.extension;
    // The file holds Windows-1252 only; a name with other characters would come back
    // with '?' in their place, which is another file.
    if (DecodeWindows1252(EncodeWindows1252(directory + name)) != directory + name) {
        ctx.messageBuffer.Format(
            "Der Pfad der Datendatei\n%s\nenthält Zeichen, die "
            "'PENDRAKE.INI' nicht speichern kann.\n\n"
            "DataPath und LastFile bleiben unverändert.",
            (directory + name).c_str());
        ShowInfo(ctx, ctx.messageBuffer.View());
        return values;
    }
    text(section, "DataPath", directory);
    text(section, "LastFile", name);
    return values;
}

}  // namespace

IniFile ReadConfigurationFile(Context& ctx) {
    IniFile ini;
    if (const int error = ini.Load(ctx.iniPath); error != 0) ShowFileError(ctx, ctx.iniPath, error);
    return ini;
}

void LoadGlobalSettings(Context& ctx, const IniFile& ini) {
    LoadPort(ctx, ini);
    LoadHardware(ctx, ini);
    LoadProgramSection(ctx, ini);
}

void LoadDeviceSettings(Context& ctx, const IniFile& ini) {
    ctx.settings.showDeviceData = ini.GetInt(kProgramSection, "ShowDeviceData", 0) == 1 ? 1 : 0;
    LoadDeviceSection(ctx, ini);
    LoadDataFile(ctx, ini);
    // Right after a load the data path came from the file, so it can always be stored.
    ctx.configBaseline = BaselineOf(StoredValues(ctx), ini);
}

int SaveConfiguration(Context& ctx) {
    const std::vector<StoredValue> values = StoredValues(ctx);
    const WindowsPathParts parts = SplitWindowsPath(ctx.paths.filePath);
    ctx.paths.fileName = parts.baseName + parts.extension;
    std::vector<const StoredValue*> written;
    const int error = UpdateProfile(ctx.iniPath, [&](IniFile& ini) {
        for (const StoredValue& value : values) {
            if (!BaselineWrites(ctx.configBaseline, value, ini)) continue;
            ini.SetString(value.section, value.key, value.value);
            written.push_back(&value);
        }
    });
    if (error != 0) {
        // A file that cannot be read is not replaced: it holds the sibling program's
        // settings too. A read-only one was made so on purpose.
        ShowFileError(ctx, ctx.iniPath, error);
        return error;
    }
    for (const StoredValue* value : written) RememberWritten(ctx.configBaseline, *value);
    return kOk;
}

}  // namespace merlinox::inline config
