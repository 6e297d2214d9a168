#include <gtest/gtest.h>

#include <cstdio>

#include "tests/tools/picbuf_session.h"

namespace pm32::tools {
namespace {

TEST(FontValues, TextPutIntoFontIsAFontDescription) {
    Session s = run({"--keep-going", "Font", "Font=\"Size=14;Weight=700;Name=DejaVu Serif\"",
                     "Picbuf1.Font", "Picbuf2.Font", "Font=\"Size=0\"", "Font=\"Name=x;\"",
                     "Font=Nothing", "Font"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out,
              "Font=Size=9.75;Weight=400;Charset=0;Italic=False;Underline=False;"
              "Strikethrough=False;Name=DejaVu Sans\n"
              "Font=Size=14;Weight=700;Charset=0;Italic=False;Underline=False;"
              "Strikethrough=False;Name=DejaVu Serif\n"
              "Font=Size=9.75;Weight=400;Charset=0;Italic=False;Underline=False;"
              "Strikethrough=False;Name=DejaVu Sans\n"
              "Font=Size=9.75;Weight=400;Charset=0;Italic=False;Underline=False;"
              "Strikethrough=False;Name=DejaVu Sans\n");
    EXPECT_EQ(s.err, "error 380: Invalid font: Size=0\n  in statement 5: Font=\"Size=0\"\n")
        << "the name takes the rest";
}

TEST(FontValues, TheFontSizesTheText) {
    Session s = run({"Text=Hello", "TextHigh", "Font=\"Size=30\"", "TextHigh"});
    ASSERT_EQ(s.status, 0) << s.err;
    int small = 0;
    int big = 0;
    ASSERT_EQ(std::sscanf(s.out.c_str(), "TextHigh=%d\nTextHigh=%d\n", &small, &big), 2) << s.out;
    EXPECT_GT(small, 0);
    EXPECT_GT(big, 2 * small) << "30 points against 9.75";
}

}  // namespace
}  // namespace pm32::tools
