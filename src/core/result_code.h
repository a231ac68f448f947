#pragma once

namespace merlinox::inline core {

// What an operation returns: 0 for success, any other value a failure whose message was
// already shown where it happened. The callers of the operations only tell 0 from the
// rest; the command line turns the value into its exit status, so the numbers are
// fixed. Unscoped on purpose: every operation returns a plain int.
enum ResultCode : int {
    kOk = 0,
    kLoadFailed = 3,         // a data file could not be loaded
    kSaveFailed = 4,         // a save failed or was cancelled
    kNoProgrammingMode = 5,  // mode not handled, or the blank check ended
    kVerifyFailed = 6,       // verify failed or declined
    kProgrammingFailed = 7,  // programming failed or declined; also the serial sync
    kBoardNotFound = 8,
    kDelayFailed = 9,  // a delay's transfer failed
    kHandshakeTimeout = 10,
    kLibraryFailed = 13,  // the device library could not be opened or read
    kSignatureMismatch = 14,
    kLibraryEnd = 15,        // no more manufacturers or devices in the library
    kColumnOutOfRange = 17,  // a library line holds a value out of range
    kEraseFailed = 16,       // erase failed or declined
};

}  // namespace merlinox::inline core
