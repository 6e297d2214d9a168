#include "viewer/failure_messages.h"

#include <QFileInfo>
#include <cerrno>

#include "engine/errors.h"
#include "platform/file_access.h"

namespace pm32::viewer {

QString FailureText(Failure failure, const QString& name, std::uint32_t number) {
    switch (failure) {
        case Failure::NoMemoryToLoad:
            return "There is not enough memory free to load this image.";
        case Failure::DeviceUnavailable:
            return "That device appears unavailable.";
        case Failure::DriveNotReady:
            return "Error with file " + name + ". The drive is apparently not ready.";
        case Failure::InternalDiskError:
            return "Internal Disk Error while accessing " + name;
        case Failure::DiskFull:
            return "Disk is full.";
        case Failure::PermissionDenied:
            return "Error accessing " + name + ".  Permission denied.";
        case Failure::BadFileName:
            return "The filename " + name + " is bad";
        case Failure::CannotOpen:
            return "Can't open the file " + name;
        case Failure::AlreadyOpen:
            return name + " is already open and must be closed before it can be used.";
        case Failure::ReadPastEnd:
            return name + " has a nonstandard end of file marker," +
                   " or and attempt was made to read beyond" + " the end of file marker.";
        case Failure::Unreadable:
            return "There was a problem reading " + name +
                   ".  The file may be corrupted, or the file type is not a graphics type that "
                   "this program can read.";
        case Failure::WriteFailure:
            return "A file write error occurred.  There may be inadequate disk space available, "
                   "or the file may be read-only.";
        case Failure::NoMemoryForAction:
            return "The system is too low on memory for Vistel/32 to perform this action.";
        case Failure::UnsupportedTiff:
            return "This appears to be a TIFF format that has an unsupported compression scheme.  "
                   "Vistel/32 cannot read it.";
        case Failure::UnsupportedJpeg:
            return name +
                   " is in a JPEG file type not supported by Vistel/32.  Vistel/32 supports only "
                   "JFIF standard JPEG files.  If you have another utility that will read this "
                   "file, try loading it and resaving it.";
        case Failure::Unanticipated:
            break;
    }
    return " An error occurred that wasn't anticipated.  Please take a moment to note exactly "
           "what you were doing when it happened; then contact the author of Vistel/32 and let "
           "him know that error number " +
           QString::number(number) +
           " happened when you did it.  See the Author Contact item in the Help menu.";
}

Failure FailureOfSystemError(int systemError) {
    switch (systemError) {
        case EACCES:
        case EPERM:
        case EROFS:
            return Failure::PermissionDenied;
        case EISDIR:
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
        case EINVAL:
            return Failure::BadFileName;
        case EIO:
            return Failure::InternalDiskError;
        case ENOSPC:
        case EDQUOT:
            return Failure::DiskFull;
        case ENXIO:
        case ENODEV:
            return Failure::DeviceUnavailable;
        case ENOMEDIUM:
            return Failure::DriveNotReady;
        case ETXTBSY:
        case EBUSY:
            return Failure::AlreadyOpen;
        case ENOMEM:
            return Failure::NoMemoryToLoad;
        default:
            return Failure::CannotOpen;
    }
}

Failure FailureOfLoad(std::uint32_t number) {
    switch (number) {
        case err::FileMissing:
            return Failure::CannotOpen;
        case err::OutOfMemory:
        case err::ControlOutOfMemory:
            return Failure::NoMemoryToLoad;
        case err::TiffCompressionUnsupported:
            return Failure::UnsupportedTiff;
        case err::JpegTypeUnsupported:
            return Failure::UnsupportedJpeg;
        case err::FileNameEmpty:
        case err::FileNameTooLong:
            return Failure::BadFileName;
        default:
            // Every reader reports a damaged or foreign file with its own
            // engine number (BadFile, the invalid-DIB family, UnknownSymbol, ...).
            return number >= err::FileMissing && number <= err::TooFewPolyLinePoints
                       ? Failure::Unreadable
                       : Failure::Unanticipated;
    }
}

Failure FailureOfStore(std::uint32_t number) {
    switch (number) {
        case err::WriteFailed:
        case err::PngWriteFailed:
        case err::JpegWriteFailed:
            return Failure::WriteFailure;
        case err::OutOfMemory:
        case err::ControlOutOfMemory:
            return Failure::NoMemoryForAction;
        case err::FileNameEmpty:
        case err::FileNameTooLong:
            return Failure::BadFileName;
        default:
            return Failure::Unanticipated;
    }
}

Failure FailureOfOperation(std::uint32_t number) {
    switch (number) {
        case err::OutOfMemory:
        case err::OperationFailure:
        case err::ControlOutOfMemory:
            return Failure::NoMemoryForAction;
        default:
            return Failure::Unanticipated;
    }
}

std::optional<Failure> CheckReadable(const QString& path) {
    if (path.isEmpty()) return Failure::BadFileName;
    if (int refusal = platform::ReadRefusal(QFile::encodeName(path).toStdString()))
        return FailureOfSystemError(refusal);
    if (QFileInfo(path).size() == 0) return Failure::ReadPastEnd;
    return std::nullopt;
}

std::optional<Failure> CheckWritable(const QString& path) {
    if (path.isEmpty()) return Failure::BadFileName;
    if (int refusal = platform::WriteRefusal(QFile::encodeName(path).toStdString()))
        return FailureOfSystemError(refusal);
    return std::nullopt;
}

}  // namespace pm32::viewer
