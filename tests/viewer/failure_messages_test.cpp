#include "viewer/failure_messages.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace pm32::viewer {
namespace {

TEST(FailureMessages, EachConditionHasItsText) {
    const QString name = "/pics/a.bmp";
    const std::pair<Failure, const char*> cases[] = {
        {Failure::NoMemoryToLoad, "There is not enough memory free to load this image."},
        {Failure::DeviceUnavailable, "That device appears unavailable."},
        {Failure::DriveNotReady, "Error with file /pics/a.bmp. The drive is apparently not ready."},
        {Failure::InternalDiskError, "Internal Disk Error while accessing /pics/a.bmp"},
        {Failure::DiskFull, "Disk is full."},
        {Failure::PermissionDenied, "Error accessing /pics/a.bmp.  Permission denied."},
        {Failure::BadFileName, "The filename /pics/a.bmp is bad"},
        {Failure::CannotOpen, "Can't open the file /pics/a.bmp"},
        {Failure::AlreadyOpen,
         "/pics/a.bmp is already open and must be closed before it can be used."},
        {Failure::ReadPastEnd,
         "/pics/a.bmp has a nonstandard end of file marker, or and attempt was made to read "
         "beyond the end of file marker."},
        {Failure::WriteFailure,
         "A file write error occurred.  There may be inadequate disk space available, or the "
         "file may be read-only."},
        {Failure::NoMemoryForAction,
         "The system is too low on memory for Vistel/32 to perform this action."},
        {Failure::UnsupportedTiff,
         "This appears to be a TIFF format that has an unsupported compression scheme.  "
         "Vistel/32 cannot read it."},
        {Failure::UnsupportedJpeg,
         "/pics/a.bmp is in a JPEG file type not supported by Vistel/32.  Vistel/32 supports only "
         "JFIF standard JPEG files.  If you have another utility that will read this file, try "
         "loading it and resaving it."},
        {Failure::Unanticipated,
         " An error occurred that wasn't anticipated.  Please take a moment to note exactly what "
         "you were doing when it happened; then contact the author of Vistel/32 and let him know "
         "that error number 20999 happened when you did it.  See the Author Contact item in the "
         "Help menu."},
    };
    for (const auto& [failure, text] : cases)
        EXPECT_EQ(FailureText(failure, name, 20999).toStdString(), text);
}

TEST(FailureMessages, NumbersAndSystemErrorsChooseTheCondition) {
    const std::pair<int, Failure> system[] = {
        {ENOENT, Failure::CannotOpen},        {EACCES, Failure::PermissionDenied},
        {EPERM, Failure::PermissionDenied},   {EISDIR, Failure::BadFileName},
        {ENAMETOOLONG, Failure::BadFileName}, {EIO, Failure::InternalDiskError},
        {ENOSPC, Failure::DiskFull},          {ENXIO, Failure::DeviceUnavailable},
        {ENOMEDIUM, Failure::DriveNotReady},  {ETXTBSY, Failure::AlreadyOpen},
        {ENOMEM, Failure::NoMemoryToLoad}};
    for (const auto& [error, failure] : system)
        EXPECT_EQ(FailureOfSystemError(error), failure) << error;

    const std::pair<std::uint32_t, Failure> load[] = {
        {20100, Failure::CannotOpen},      {20101, Failure::Unreadable},
        {20183, Failure::Unreadable},      {20111, Failure::Unreadable},
        {20133, Failure::UnsupportedTiff}, {20174, Failure::UnsupportedJpeg},
        {20102, Failure::NoMemoryToLoad},  {20352, Failure::BadFileName},
        {20306, Failure::Unanticipated}};
    for (const auto& [number, failure] : load) EXPECT_EQ(FailureOfLoad(number), failure) << number;
    EXPECT_EQ(FailureOfStore(20107), Failure::WriteFailure);
    EXPECT_EQ(FailureOfStore(20184), Failure::WriteFailure);
    EXPECT_EQ(FailureOfStore(20132), Failure::Unanticipated);
    EXPECT_EQ(FailureOfOperation(20102), Failure::NoMemoryForAction);
    EXPECT_EQ(FailureOfOperation(20106), Failure::Unanticipated);
}

}  // namespace
}  // namespace pm32::viewer
