#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/zdib.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {

using Bytes = std::vector<std::uint8_t>;

// What a DIB block holds: all of it, or the first bytes of one row counted
// from the top of the picture.
Bytes BlockBytes(HGLOBAL handle);
Bytes RowBytes(const ZDib& image, std::int32_t topRow, std::size_t bytes);

// A codec's test: a private folder for its files, and every test must leave
// the live block count as it found it, failures included.
class CodecTest : public ::testing::Test {
  protected:
    using Reader = void (*)(ZDib& image, const std::string& path);

    void TearDown() override;

    std::string path(const std::string& name) const { return dir_.path(name); }

    // Writes the bytes to the named file; its path.
    std::string writeInput(const std::string& name, const Bytes& bytes) const;

    // Writes the bytes to the named file and reads it back with the reader.
    ZDib loadFile(const std::string& name, const Bytes& bytes, Reader reader) const;

    // Reading the file must fail with the number and leave no block behind.
    void expectReadRefused(const std::string& file, ErrorNumber number, Reader reader) const;

  private:
    TempDir dir_;
    std::size_t blocksAtStart_ = platform::LiveBlockCount();
};

}  // namespace pm32::test
