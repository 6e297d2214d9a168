#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace pm32::viewer {

// The conditions the viewer tells the user about, each with its own text.
enum class Failure {
    NoMemoryToLoad,
    DeviceUnavailable,
    DriveNotReady,
    InternalDiskError,
    DiskFull,
    PermissionDenied,
    BadFileName,
    CannotOpen,
    AlreadyOpen,
    ReadPastEnd,
    Unreadable,
    WriteFailure,
    NoMemoryForAction,
    UnsupportedTiff,
    UnsupportedJpeg,
    Unanticipated,
};

// The message for a condition; name is the file concerned and number the
// error number behind an unanticipated failure.
QString FailureText(Failure failure, const QString& name, std::uint32_t number = 0);

// What a system error number met while reaching a file means.
Failure FailureOfSystemError(int systemError);

// What the control's error numbers mean for a load, a store and any other
// operation.
Failure FailureOfLoad(std::uint32_t number);
Failure FailureOfStore(std::uint32_t number);
Failure FailureOfOperation(std::uint32_t number);

// Why a file cannot be loaded, found before the control tries: missing, a
// folder, unreadable or empty. None when it can be opened.
std::optional<Failure> CheckReadable(const QString& path);

// Why a file cannot be written at that path, found before the control tries.
std::optional<Failure> CheckWritable(const QString& path);

}  // namespace pm32::viewer
