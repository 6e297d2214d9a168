#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/replacement_file.h"

namespace pm32 {

// The file every codec reads and writes through: one open file with an
// optional staging buffer and a byte order for multi-byte reads. Closing
// (explicitly or on destruction) writes out pending bytes.
class EngineFile {
  public:
    static constexpr std::uint16_t kLittleEndian = 0x4949;  // "II"
    static constexpr std::uint16_t kBigEndian = 0x4D4D;     // "MM"

    EngineFile() = default;
    ~EngineFile();
    EngineFile(const EngineFile&) = delete;
    EngineFile& operator=(const EngineFile&) = delete;

    bool OpenRead(const std::string& path);
    bool OpenCreate(const std::string& path);
    bool OpenUpdate(const std::string& path);
    // As OpenCreate and OpenUpdate, but the bytes go to a replacement of the
    // file (platform::ReplacementFile): a new file, or a copy of the existing
    // one to update. Only Commit puts it in the file's place; Close or
    // destruction without a commit drops it and leaves the file as it was.
    bool OpenReplace(const std::string& path);
    bool OpenReplaceCopy(const std::string& path);
    // Closes the file and commits its replacement; false when pending bytes
    // could not be written or the replacement could not take its place.
    bool Commit();
    // False when pending bytes could not be written.
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }

    // size > 0 allocates the staging buffer (and fills it when reading);
    // size 0 flushes and releases it.
    bool SetBuffer(std::size_t size);

    // Next byte 0..255, or -1 when none can be read.
    int ReadByte();
    // Up to n (< 65536) bytes; returns how many were read.
    std::size_t ReadBlock(void* destination, std::size_t n);
    // n bytes of any size straight from the file; returns how many were read.
    std::size_t ReadHuge(void* destination, std::size_t n);

    bool WriteByte(std::uint8_t byte);
    bool WriteBlock(const void* source, std::size_t n);

    bool SeekSet(std::int64_t offset);
    bool SeekCur(std::int64_t delta);
    bool SeekEnd(std::int64_t delta);
    std::int64_t Tell() const;
    // Bytes from the current position to the end; the position is unchanged.
    std::int64_t Remaining() const;

    // Accepts kLittleEndian or kBigEndian; anything else clears the order.
    bool SetByteOrder(std::uint16_t mark);
    std::uint16_t ByteOrder() const { return byteOrder_; }
    // Combined in the current byte order; 0 with no order set.
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();

    // Set once any read came up short since the file was opened.
    bool ShortRead() const { return shortRead_; }

  private:
    enum class Mode { None, Read, Create, Update };
    enum class Held { Nothing, ReadBytes, PendingBytes };

    bool open(const std::string& path, Mode mode, int flags, int busyLocation, int failLocation);
    bool openReplacement(const std::string& path, platform::ReplacementFile::Start start, Mode mode,
                         int flags, int busyLocation, int failLocation);
    bool closeFile();
    bool fill();
    void giveBack();
    bool flush();
    bool settle();
    std::size_t readDirect(void* destination, std::size_t n);
    bool writeDirect(const void* source, std::size_t n);
    std::uint32_t readOrdered(int size);

    int fd_ = -1;
    std::optional<platform::ReplacementFile> replacement_;
    Mode mode_ = Mode::None;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;
    Held held_ = Held::Nothing;
    std::size_t position_ = 0;     // next byte in the buffer
    std::size_t count_ = 0;        // bytes filled (reading) or pending (writing)
    std::int64_t fileOffset_ = 0;  // file offset of the buffer's first byte
    std::uint16_t byteOrder_ = 0;
    bool shortRead_ = false;
};

}  // namespace pm32
