// The program file's version block. It is linked into the executables themselves (not
// into a library, where nothing would pull it in) and kept in a section of its own,
// from which VersionInfo reads it back out of the file on disk. The values come from
// the project version in the top CMakeLists.txt.
#include "version.h"

#define KESTREL_TEXT_OF(x) #x
#define KESTREL_TEXT(x) KESTREL_TEXT_OF(x)
#define KESTREL_FILE_VERSION                                    \
    KESTREL_TEXT(KESTREL_VERSION_MAJOR)                         \
    ", " KESTREL_TEXT(KESTREL_VERSION_MINOR) ", " KESTREL_TEXT( \
        KESTREL_VERSION_PATCH) ", " KESTREL_TEXT(KESTREL_VERSION_TWEAK)
// German, with the Unicode code page.
#define KESTREL_STRINGS "\\StringFileInfo\\040704b0\\"

namespace {

__attribute__((section(".kestrel_version"), used)) const char kVersionBlock[] =
    "KESTREL VERSION BLOCK 1\n"
    "\\VarFileInfo\\Translation=0407 04b0\n" KESTREL_STRINGS "FileVersion=" KESTREL_FILE_VERSION
    "\n" KESTREL_STRINGS "ProductVersion=" KESTREL_FILE_VERSION "\n" KESTREL_STRINGS
    "ProductName=Merlinox\n" KESTREL_STRINGS
    "FileDescription=Programmer for Atmel AVR microcontrollers\n" KESTREL_STRINGS
    "InternalName=kestrel\n";

}  // namespace
