#include "formats/engine_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "engine/diagnostics.h"
#include "formats/diagnostic_locations.h"

namespace pm32 {

EngineFile::~EngineFile() { Close(); }

bool EngineFile::open(const std::string& path, Mode mode, int flags, int busyLocation,
                      int failLocation) {
    if (fd_ >= 0) {
        ReportDiagnostic(busyLocation, DiagnosticKind::Severe);
        return false;
    }
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        ReportDiagnostic(failLocation, DiagnosticKind::Severe);
        return false;
    }
    struct stat info {};
    // A directory opens for reading on this system but is no file.
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        ReportDiagnostic(failLocation, DiagnosticKind::Severe);
        return false;
    }
    fd_ = fd;
    mode_ = mode;
    held_ = Held::Nothing;
    position_ = count_ = 0;
    fileOffset_ = 0;
    shortRead_ = false;
    return true;
}

bool EngineFile::OpenRead(const std::string& path) {
    return open(path, Mode::Read, O_RDONLY, location::ReadBusy, location::ReadFailed);
}

bool EngineFile::OpenCreate(const std::string& path) {
    return open(path, Mode::Create, O_WRONLY | O_CREAT | O_TRUNC, location::CreateBusy,
                location::CreateFailed);
}

bool EngineFile::OpenUpdate(const std::string& path) {
    return open(path, Mode::Update, O_RDWR, location::UpdateBusy, location::UpdateFailed);
}

bool EngineFile::openReplacement(const std::string& path, platform::ReplacementFile::Start start,
                                 Mode mode, int flags, int busyLocation, int failLocation) {
    if (fd_ >= 0) {
        ReportDiagnostic(busyLocation, DiagnosticKind::Severe);
        return false;
    }
    replacement_.emplace(path, start);
    if (!*replacement_) {
        replacement_.reset();
        ReportDiagnostic(failLocation, DiagnosticKind::Severe);
        return false;
    }
    if (open(replacement_->Path(), mode, flags, busyLocation, failLocation)) return true;
    replacement_.reset();
    return false;
}

bool EngineFile::OpenReplace(const std::string& path) {
    return openReplacement(path, platform::ReplacementFile::Start::Empty, Mode::Create,
                           O_WRONLY | O_CREAT | O_TRUNC, location::CreateBusy,
                           location::CreateFailed);
}

bool EngineFile::OpenReplaceCopy(const std::string& path) {
    return openReplacement(path, platform::ReplacementFile::Start::TargetCopy, Mode::Update, O_RDWR,
                           location::UpdateBusy, location::UpdateFailed);
}

bool EngineFile::Commit() {
    if (!replacement_) return false;
    bool closed = closeFile();
    bool committed = closed && replacement_->Commit();
    replacement_.reset();
    return committed;
}

bool EngineFile::Close() {
    bool closed = closeFile();
    replacement_.reset();
    return closed;
}

bool EngineFile::closeFile() {
    if (fd_ < 0) return true;
    bool flushed = settle();
    bool closed = ::close(fd_) == 0;
    fd_ = -1;
    mode_ = Mode::None;
    buffer_.reset();
    capacity_ = 0;
    held_ = Held::Nothing;
    byteOrder_ = 0;
    return flushed && closed;
}

bool EngineFile::SetBuffer(std::size_t size) {
    if (size == 0) {
        bool settled = settle();
        buffer_.reset();
        capacity_ = 0;
        return settled;
    }
    if (buffer_ || fd_ < 0) return false;
    buffer_.reset(new (std::nothrow) std::uint8_t[size]);
    if (!buffer_) return false;
    capacity_ = size;
    if (mode_ == Mode::Read) fill();
    return true;
}

std::size_t EngineFile::readDirect(void* destination, std::size_t n) {
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < n) {
        ssize_t got = ::read(fd_, out + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool EngineFile::writeDirect(const void* source, std::size_t n) {
    const auto* in = static_cast<const std::uint8_t*>(source);
    std::size_t done = 0;
    while (done < n) {
        ssize_t put = ::write(fd_, in + done, n - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            ReportDiagnostic(location::WriteFailed, DiagnosticKind::Severe);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool EngineFile::fill() {
    fileOffset_ = ::lseek(fd_, 0, SEEK_CUR);
    count_ = readDirect(buffer_.get(), capacity_);
    position_ = 0;
    held_ = Held::ReadBytes;
    return count_ > 0;
}

void EngineFile::giveBack() {
    if (held_ != Held::ReadBytes) return;
    ::lseek(fd_, fileOffset_ + static_cast<std::int64_t>(position_), SEEK_SET);
    held_ = Held::Nothing;
    position_ = count_ = 0;
}

bool EngineFile::flush() {
    if (held_ != Held::PendingBytes) return true;
    bool written = writeDirect(buffer_.get(), count_);
    held_ = Held::Nothing;
    position_ = count_ = 0;
    return written;
}

// Returns the file position to the logical position with nothing held.
bool EngineFile::settle() {
    if (held_ == Held::ReadBytes) {
        giveBack();
        return true;
    }
    return flush();
}

int EngineFile::ReadByte() {
    if (fd_ < 0) return -1;
    if (!buffer_) {
        std::uint8_t byte;
        if (readDirect(&byte, 1) == 1) return byte;
        shortRead_ = true;
        return -1;
    }
    if (held_ != Held::ReadBytes || position_ >= count_) {
        if (!flush()) return -1;
        if (!fill()) {
            shortRead_ = true;
            return -1;
        }
    }
    return buffer_[position_++];
}

std::size_t EngineFile::ReadBlock(void* destination, std::size_t n) {
    if (fd_ < 0) return 0;
    if (held_ == Held::ReadBytes && count_ - position_ > n) {
        std::memcpy(destination, buffer_.get() + position_, n);
        position_ += n;
        return n;
    }
    settle();
    std::size_t got = readDirect(destination, n);
    if (got < n) shortRead_ = true;
    if (buffer_ && mode_ == Mode::Read) fill();
    return got;
}

std::size_t EngineFile::ReadHuge(void* destination, std::size_t n) {
    if (fd_ < 0) return 0;
    settle();
    std::size_t got = readDirect(destination, n);
    if (got < n) shortRead_ = true;
    return got;
}

bool EngineFile::WriteByte(std::uint8_t byte) {
    if (fd_ < 0) return false;
    if (!buffer_) return writeDirect(&byte, 1);
    if (held_ == Held::ReadBytes) giveBack();
    held_ = Held::PendingBytes;
    buffer_[count_++] = byte;
    return count_ < capacity_ || flush();
}

bool EngineFile::WriteBlock(const void* source, std::size_t n) {
    if (fd_ < 0) return false;
    if (buffer_) {
        if (held_ == Held::ReadBytes) giveBack();
        if (count_ + n < capacity_) {
            std::memcpy(buffer_.get() + count_, source, n);
            count_ += n;
            held_ = Held::PendingBytes;
            return true;
        }
        if (!flush()) return false;
    }
    return writeDirect(source, n);
}

bool EngineFile::SeekSet(std::int64_t offset) {
    if (fd_ < 0 || offset < 0) return false;
    if (held_ == Held::ReadBytes && offset >= fileOffset_ &&
        offset < fileOffset_ + static_cast<std::int64_t>(count_)) {
        position_ = static_cast<std::size_t>(offset - fileOffset_);
        return true;
    }
    if (!settle()) return false;
    return ::lseek(fd_, offset, SEEK_SET) >= 0;
}

bool EngineFile::SeekCur(std::int64_t delta) {
    if (fd_ < 0) return false;
    std::int64_t target = Tell() + delta;
    if (target < 0 || !settle()) return false;
    return ::lseek(fd_, target, SEEK_SET) >= 0;
}

bool EngineFile::SeekEnd(std::int64_t delta) {
    if (fd_ < 0 || !settle()) return false;
    return ::lseek(fd_, delta, SEEK_END) >= 0;
}

std::int64_t EngineFile::Tell() const {
    if (fd_ < 0) return -1;
    switch (held_) {
        case Held::ReadBytes:
            return fileOffset_ + static_cast<std::int64_t>(position_);
        case Held::PendingBytes:
            return ::lseek(fd_, 0, SEEK_CUR) + static_cast<std::int64_t>(count_);
        case Held::Nothing:
            break;
    }
    return ::lseek(fd_, 0, SEEK_CUR);
}

std::int64_t EngineFile::Remaining() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
    std::int64_t size = info.st_size;
    return size > Tell() ? size - Tell() : 0;
}

bool EngineFile::SetByteOrder(std::uint16_t mark) {
    if (mark == kLittleEndian || mark == kBigEndian) {
        byteOrder_ = mark;
        return true;
    }
    byteOrder_ = 0;
    return false;
}

std::uint32_t EngineFile::readOrdered(int size) {
    std::uint8_t bytes[4];
    for (int i = 0; i < size; ++i) {
        int value = ReadByte();
        if (value < 0) return 0;
        bytes[i] = static_cast<std::uint8_t>(value);
    }
    if (byteOrder_ == 0) {
        ReportDiagnostic(location::NoByteOrder, DiagnosticKind::Severe);
        return 0;
    }
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | bytes[byteOrder_ == kLittleEndian ? size - 1 - i : i];
    return value;
}

std::uint16_t EngineFile::ReadU16() { return static_cast<std::uint16_t>(readOrdered(2)); }

std::uint32_t EngineFile::ReadU32() { return readOrdered(4); }

}  // namespace pm32
