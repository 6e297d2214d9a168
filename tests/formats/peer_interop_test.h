#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/zdib.h"
#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {

enum Peers { ImageMagick = 1, Netpbm = 2, Both = 3 };

// A codec checked against ImageMagick and netpbm: both must be installed, and
// each named peer must decode a file to exactly the pixels we load from it.
class PeerInteropTest : public ::testing::Test {
  protected:
    using Reader = void (*)(ZDib& image, const std::string& path);

    // netpbmTools: the writer and reader commands the test needs, and the
    // name of the reader in failure messages.
    PeerInteropTest(std::string netpbmTools, std::string netpbmReader, Reader reader)
        : netpbmTools_(std::move(netpbmTools)),
          netpbmReader_(std::move(netpbmReader)),
          reader_(reader) {}

    void SetUp() override;

    // Runs ImageMagick's convert with the arguments, writing the target.
    bool convert(const std::string& arguments, const std::string& target);

    virtual std::optional<RgbImage> decodeWithConvert(const std::string& file);
    virtual std::optional<RgbImage> decodeWithNetpbm(const std::string& file) = 0;

    void expectPeersDecodeTo(const std::string& file, const RgbImage& ours, Peers peers);
    void expectLoadsLikePeers(const std::string& file, std::uint32_t depth, Peers peers);

    std::string path(const std::string& name) const { return dir_.path(name); }

  private:
    std::string netpbmTools_;
    std::string netpbmReader_;
    Reader reader_;
    TempDir dir_;
};

}  // namespace pm32::test
