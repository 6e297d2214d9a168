#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace pm32 {

// The Targa codec's own buffered access to one file, kept by name: each refill
// or flush opens the file, moves up to a buffer's worth of bytes at the count
// of bytes already moved, and closes it again, so no handle stays open
// between transfers. One object serves either reading or writing.
class TargaFile {
  public:
    static constexpr std::size_t kBufferBytes = 10240;

    explicit TargaFile(std::string path) : path_(std::move(path)) {}
    TargaFile(const TargaFile&) = delete;
    TargaFile& operator=(const TargaFile&) = delete;

    // Up to n bytes; returns how many could be read.
    std::size_t Read(std::uint8_t* destination, std::size_t n);
    // Passes over n bytes; they need not exist.
    void Skip(std::uint64_t n);
    // The file's length, or nothing when it cannot be found.
    std::optional<std::uint64_t> Size() const;

    // Creates the file or empties an existing one.
    bool Create();
    // False when a flush on the way fails.
    bool Write(const std::uint8_t* source, std::size_t n);
    // Writes out the pending bytes.
    bool Flush();

  private:
    bool refill();

    std::string path_;
    std::array<std::uint8_t, kBufferBytes> buffer_{};
    std::uint64_t moved_ = 0;   // bytes already moved to or from the file
    std::size_t position_ = 0;  // next byte in the buffer
    std::size_t held_ = 0;      // bytes the last refill brought (reading)
};

}  // namespace pm32
