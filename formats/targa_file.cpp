#include "formats/targa_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_descriptor.h"

namespace pm32 {

bool TargaFile::refill() {
    position_ = held_ = 0;
    platform::FileDescriptor file(path_, O_RDONLY);
    if (!file) return false;
    while (held_ < kBufferBytes) {
        ssize_t got = ::pread(file.get(), buffer_.data() + held_, kBufferBytes - held_,
                              static_cast<off_t>(moved_ + held_));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        held_ += static_cast<std::size_t>(got);
    }
    moved_ += held_;
    return held_ > 0;
}

std::size_t TargaFile::Read(std::uint8_t* destination, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        if (position_ == held_ && !refill()) break;
        std::size_t piece = std::min(n - done, held_ - position_);
        std::memcpy(destination + done, buffer_.data() + position_, piece);
        position_ += piece;
        done += piece;
    }
    return done;
}

void TargaFile::Skip(std::uint64_t n) {
    std::size_t buffered = held_ - position_;
    if (n <= buffered) {
        position_ += static_cast<std::size_t>(n);
        return;
    }
    moved_ += n - buffered;
    position_ = held_ = 0;
}

std::optional<std::uint64_t> TargaFile::Size() const {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

bool TargaFile::Create() {
    platform::FileDescriptor file(path_, O_WRONLY | O_CREAT | O_TRUNC);
    moved_ = 0;
    position_ = held_ = 0;
    return file && file.Close();
}

bool TargaFile::Write(const std::uint8_t* source, std::size_t n) {
    while (n > 0) {
        if (position_ == kBufferBytes && !Flush()) return false;
        std::size_t piece = std::min(n, kBufferBytes - position_);
        std::memcpy(buffer_.data() + position_, source, piece);
        position_ += piece;
        source += piece;
        n -= piece;
    }
    return true;
}

bool TargaFile::Flush() {
    if (position_ == 0) return true;
    platform::FileDescriptor file(path_, O_WRONLY);
    if (!file) return false;
    std::size_t done = 0;
    while (done < position_) {
        ssize_t put = ::pwrite(file.get(), buffer_.data() + done, position_ - done,
                               static_cast<off_t>(moved_ + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    moved_ += position_;
    position_ = 0;
    return file.Close();
}

}  // namespace pm32
