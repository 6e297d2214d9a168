#include "tests/formats/peer_interop_test.h"

#include "tests/support/peer_tools.h"

namespace pm32::test {

void PeerInteropTest::SetUp() {
    if (convertTool().empty()) PM32_MISSING_PEER() << "ImageMagick's convert was not found";
    if (run("command -v " + netpbmTools_ + " >/dev/null") != 0)
        PM32_MISSING_PEER() << "netpbm's " << netpbmTools_ << " were not found";
}

bool PeerInteropTest::convert(const std::string& arguments, const std::string& target) {
    return run(quoted(convertTool()) + " " + arguments + " " + quoted(target) + " 2>/dev/null") ==
           0;
}

std::optional<RgbImage> PeerInteropTest::decodeWithConvert(const std::string& file) {
    return test::decodeWithConvert(file);
}

void PeerInteropTest::expectPeersDecodeTo(const std::string& file, const RgbImage& ours,
                                          Peers peers) {
    if (peers & ImageMagick) {
        auto theirs = decodeWithConvert(file);
        ASSERT_TRUE(theirs.has_value()) << "ImageMagick could not decode the file";
        EXPECT_EQ(ours, *theirs) << "ImageMagick: " << describeDifference(ours, *theirs);
    }
    if (peers & Netpbm) {
        auto theirs = decodeWithNetpbm(file);
        ASSERT_TRUE(theirs.has_value()) << netpbmReader_ << " could not decode the file";
        EXPECT_EQ(ours, *theirs) << netpbmReader_ << ": " << describeDifference(ours, *theirs);
    }
}

void PeerInteropTest::expectLoadsLikePeers(const std::string& file, std::uint32_t depth,
                                           Peers peers) {
    ZDib image;
    reader_(image, file);
    ASSERT_EQ(image.error, 0);
    EXPECT_EQ(image.depth, depth);
    expectPeersDecodeTo(file, toRgb(image), peers);
}

}  // namespace pm32::test
