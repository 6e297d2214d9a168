#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pm32::platform {

// One open file descriptor, closed when the guard goes. Opened with
// O_CLOEXEC so no child process inherits it.
class FileDescriptor {
  public:
    FileDescriptor(const std::string& path, int flags, unsigned mode = 0644);
    // None open; for a file opened only on some paths.
    FileDescriptor() : fd_(-1) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    explicit operator bool() const { return fd_ >= 0; }
    int get() const { return fd_; }

    // False when fewer bytes than asked could be written.
    bool WriteAll(const std::uint8_t* bytes, std::size_t n);

    // Closes now; false when the system reports a failure (buffered bytes lost).
    bool Close();

  private:
    int fd_;
};

}  // namespace pm32::platform
