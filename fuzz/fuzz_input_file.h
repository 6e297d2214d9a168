#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/global_memory.h"

namespace pm32::fuzz {

// The readers take paths, so each input is written to a private file with the
// given extension; the file is removed when the guard goes.
class FuzzInputFile {
  public:
    FuzzInputFile(const std::uint8_t* data, std::size_t size, const std::string& extension);
    ~FuzzInputFile();
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Keeps single blocks small so hostile sizes fail fast instead of exhausting memory.
void limitBlockSizes();

// Whether two memory blocks hold the same bytes: a round trip must give back what it got.
bool sameBlocks(platform::HGLOBAL a, platform::HGLOBAL b);

}  // namespace pm32::fuzz
