#include "platform/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace pm32::platform {

FileDescriptor::FileDescriptor(const std::string& path, int flags, unsigned mode)
    : fd_(::open(path.c_str(), flags | O_CLOEXEC, mode)) {}

bool FileDescriptor::WriteAll(const std::uint8_t* bytes, std::size_t n) {
    while (n > 0) {
        ssize_t put = ::write(fd_, bytes, n);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        bytes += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

bool FileDescriptor::Close() {
    if (fd_ < 0) return true;
    bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
}

}  // namespace pm32::platform
