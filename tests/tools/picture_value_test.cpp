#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/picbuf_session.h"
#include "tools/picbuf/picbuf.h"

namespace pm32::tools {
namespace {

TEST(PictureValues, TextPutIntoAnObjectPropertyLoadsAPictureFile) {
    std::string convert = test::convertTool();
    if (convert.empty()) PM32_MISSING_PEER() << "ImageMagick's convert is not installed";
    test::TempDir dir;
    std::string bmp = dir.path("photo.bmp");
    std::string ico = dir.path("hand.ico");
    ASSERT_EQ(test::run(test::quoted(convert) + " -size 7x5 xc:blue BMP3:" + test::quoted(bmp)), 0);
    ASSERT_EQ(test::run(test::quoted(convert) + " -size 16x16 xc:red " + test::quoted(ico)), 0);
    Session s = run({"Picture=" + bmp, "Xresolution", "ColorDepth", "MouseIcon=\"" + ico + "\"",
                     "Picbuf2.Picture=Picbuf1", "Picture=\"\"", "Contents"});
    EXPECT_EQ(s.status, 1) << "a control is not a picture";
    EXPECT_EQ(s.out, "Xresolution=7\nColorDepth=24\n");
    EXPECT_NE(s.err.find("error 20300"), std::string::npos) << s.err;
    s = run({"--keep-going", "Picture=" + bmp, "Picture=\"\"", "Contents", "Picture=" + ico});
    EXPECT_EQ(s.out, "Contents=0\n");
    EXPECT_NE(s.err.find("error 20300"), std::string::npos) << "an icon is no image: " << s.err;
}

TEST(PictureValues, AFileWithoutAPictureIsAnInvalidPicture) {
    test::TempDir dir;
    Session s = run({"Picture=" + dir.path("missing.bmp")});
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.err.find("error 481: Invalid picture"), std::string::npos) << s.err;
    s = run({"Picture=Nothing", "Contents"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "Contents=0\n");
}

}  // namespace
}  // namespace pm32::tools
