#include <gtest/gtest.h>

#include "tests/tools/picbuf_session.h"

namespace pm32::tools {
namespace {

// One member's help, for a plain property, a method with an optional
// argument and an enumerated property; then the index and a wrong name.
TEST(PicbufHelp, TellsOneMemberFromItsRow) {
    struct Case {
        const char* topic;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"scaleimage",
         {"property ScaleImage As Integer\n", "  group: view\n",
          "  access: get any time, set any time\n", "  saved with the control, default 1\n",
          "  range: 1 to 32767, else error 20344\n",
          "  errors, in the order they are checked:\n    20344  ", "    20379  "}},
        {"Arc",
         {"method Arc(nX1 As Integer, nY1 As Integer, nX2 As Integer, nY2 As Integer, Optional "
          "nDestination As Variant)\n",
          "selection rectangle", "  group: drawing\n",
          "    20306  Control does not contain a Dib\n"}},
        {"DrawStyle",
         {"property DrawStyle As Integer\n", "  range: 0 to 6, else error 20369\n",
          "  values: enumDrawStyle: DSSolid=0 DSDash=1 DSDot=2 DSDash_Dot=3\n"
          "  DSDash_Dot_Dot=4 DSTransparent=5 DSInside_Fill=6\n"}},
        {"ColorDepth",
         {"property ColorDepth As Integer\n",
          "  access: get at run time only, set refused (20367)\n"}},
    };
    for (const Case& c : cases) {
        Session s = run({"--help", c.topic});
        EXPECT_EQ(s.status, 0) << c.topic;
        EXPECT_EQ(s.err, "");
        for (const std::string& line : c.lines)
            EXPECT_NE(s.out.find(line), std::string::npos)
                << c.topic << " lacks " << line << " in:\n"
                << s.out;
    }
    Session index = run({"--help=members"});
    EXPECT_EQ(index.status, 0);
    EXPECT_EQ(index.out.find("file:\n"), 0u);
    EXPECT_NE(index.out.find("\nfilters:\n  Blur BrightCont ExtractEdges Gamma MatrixFilter Negate "
                             "Sharpen Soften\n"),
              std::string::npos)
        << index.out;
    Session unknown = run({"--help", "Frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("no member named 'Frobnicate'"), std::string::npos);
}

}  // namespace
}  // namespace pm32::tools
