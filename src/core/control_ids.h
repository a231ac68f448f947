#pragma once
#include <array>
#include <string_view>

namespace merlinox::inline core {

// The main window's control ids. The presenter, the Qt view (as object names) and the
// tests address every control by these numbers, which the sibling program's window
// shares.
enum ControlId : int {
    kBlankCheckButton = 1000,  // "Leertest"
    kReadOutButton = 1001,     // "Auslesen"
    kProgramButton = 1002,     // "Brennen", the default button
    kVerifyButton = 1003,      // "Prüfen"
    kManufacturerList = 1004,
    kFileNameField = 1005,  // read-only
    kNewFileButton = 1006,  // "Neue Datei"
    kPrefsButton = 1007,    // "Prefs"
    kIdCheckBox = 1008,     // "ID prüfen"
    kLock2Box = 1009,
    kDeviceList = 1011,
    kFfSaveBox = 1013,    // "Leerzellen speichern"
    kEraseButton = 1014,  // "Löschen"
    kLock1Box = 1015,
    kStatusLine = 1016,
    kCancelButton = 1017,    // "Abbrechen"
    kStandardButton = 1018,  // "Standard"
    kProgressBar = 1019,
    kResetButton = 1020,      // "Sende Reset"
    kTestChecksumBox = 1022,  // "Checksumme prüfen"
    kReadFusesButton = 1052,  // "Vom Chip lesen", beside "Standard"
};

// The lock byte and the three fuse bytes, in the order of the panel's group boxes.
enum class FuseByte : int { Lock = 0, Low = 1, High = 2, Ext = 3 };
inline constexpr int kFuseByteCount = 4;

// The 32 bit boxes of the fuse panel: [byte][bit]. 1045 is not used.
inline constexpr std::array<std::array<int, 8>, kFuseByteCount> kFuseBoxIds = {{
    {1015, 1009, 1010, 1012, 1021, 1023, 1025, 1026},
    {1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034},
    {1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042},
    {1043, 1044, 1046, 1047, 1048, 1049, 1050, 1051},
}};

enum class ControlKind { StaticText, ProgressBar, PushButton, Edit, ComboBox, CheckBox };

struct ControlSpec {
    int id;
    ControlKind kind;
    std::string_view text;  // the text the window is created with
};

// Every addressed control of the main window with its kind and first text. The fuse
// boxes carry these texts only until the panel relabels them for the selected device.
inline constexpr auto kMainWindowControls = std::to_array<ControlSpec>({
    {kStatusLine, ControlKind::StaticText, "Warte auf Eingaben"},
    {kProgressBar, ControlKind::ProgressBar, ""},
    {kBlankCheckButton, ControlKind::PushButton, "Leertest"},
    {kReadOutButton, ControlKind::PushButton, "Auslesen"},
    {kProgramButton, ControlKind::PushButton, "Brennen"},
    {kVerifyButton, ControlKind::PushButton, "Prüfen"},
    {kFileNameField, ControlKind::Edit, ""},
    {kNewFileButton, ControlKind::PushButton, "Neue Datei"},
    {kPrefsButton, ControlKind::PushButton, "Prefs"},
    {kEraseButton, ControlKind::PushButton, "Löschen"},
    {kResetButton, ControlKind::PushButton, "Sende Reset"},
    {kCancelButton, ControlKind::PushButton, "Abbrechen"},
    {kManufacturerList, ControlKind::ComboBox, ""},
    {kDeviceList, ControlKind::ComboBox, ""},
    {kIdCheckBox, ControlKind::CheckBox, "ID prüfen"},
    {kFfSaveBox, ControlKind::CheckBox, "Leerzellen speichern"},
    {kTestChecksumBox, ControlKind::CheckBox, "Checksumme prüfen"},
    {kStandardButton, ControlKind::PushButton, "Standard"},
    {kReadFusesButton, ControlKind::PushButton, "Vom Chip lesen"},
    {1015, ControlKind::CheckBox, "Lock1"},
    {1009, ControlKind::CheckBox, "Lock2"},
    {1010, ControlKind::CheckBox, "BLB01"},
    {1012, ControlKind::CheckBox, "BLB02"},
    {1021, ControlKind::CheckBox, "BLB11"},
    {1023, ControlKind::CheckBox, "BLB12"},
    {1025, ControlKind::CheckBox, "----"},
    {1026, ControlKind::CheckBox, "----"},
    {1027, ControlKind::CheckBox, "CKSEL0"},
    {1028, ControlKind::CheckBox, "CKSEL1"},
    {1029, ControlKind::CheckBox, "CKSEL2"},
    {1030, ControlKind::CheckBox, "CKSEL3"},
    {1031, ControlKind::CheckBox, "SUT0"},
    {1032, ControlKind::CheckBox, "SUT1"},
    {1033, ControlKind::CheckBox, "BODEN"},
    {1034, ControlKind::CheckBox, "BODLEVEL"},
    {1035, ControlKind::CheckBox, "BOOTRST"},
    {1036, ControlKind::CheckBox, "BOOTSZ0"},
    {1037, ControlKind::CheckBox, "BOOTSZ1"},
    {1038, ControlKind::CheckBox, "EESAVE"},
    {1039, ControlKind::CheckBox, "CKOPT"},
    {1040, ControlKind::CheckBox, "SPIEN"},
    {1041, ControlKind::CheckBox, "JTAGEN"},
    {1042, ControlKind::CheckBox, "OCDEN"},
    {1043, ControlKind::CheckBox, "WDTON"},
    {1044, ControlKind::CheckBox, "M103C"},
    {1046, ControlKind::CheckBox, "----"},
    {1047, ControlKind::CheckBox, "----"},
    {1048, ControlKind::CheckBox, "----"},
    {1049, ControlKind::CheckBox, "----"},
    {1050, ControlKind::CheckBox, "----"},
    {1051, ControlKind::CheckBox, "----"},
});

// The order in which an operation locks the controls (and unlocking frees them again;
// the fuse boxes are then re-enabled by the panel, per device).
inline constexpr std::array<int, 18> kLockedControls = {
    kProgramButton, kVerifyButton, kBlankCheckButton, kReadOutButton, kNewFileButton,
    kPrefsButton,   kEraseButton,  kStandardButton,   kResetButton,   kManufacturerList,
    kDeviceList,    kFfSaveBox,    kTestChecksumBox,  kIdCheckBox,    kFileNameField,
    kLock1Box,      kLock2Box,     kReadFusesButton,
};

}  // namespace merlinox::inline core
