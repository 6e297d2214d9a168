#include <gtest/gtest.h>

#include <sstream>

#include "platform/automation/automation_error.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/picbuf_session.h"
#include "tools/picbuf/picbuf.h"

namespace pm32::tools {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool hasLine(const std::string& text, const std::string& line) {
    auto lines = linesOf(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(Sessions, AnImageTravelsThroughAFileToTheSecondControl) {
    test::TempDir dir;
    std::string file = dir.path("sample.bmp");
    Session s = run({"Init(24,64,48,0xFF8000)", "FileName=" + file, "Store",
                     "Picbuf2.FileName=" + file, "Picbuf2.Load", "Picbuf2.Xresolution",
                     "Picbuf2.Yresolution", "Picbuf2.ColorDepth", "Picbuf2.Contents"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "Xresolution=64\nYresolution=48\nColorDepth=24\nContents=1\n");
    EXPECT_EQ(s.err, "");
}

TEST(Sessions, EachControlKeepsItsOwnImage) {
    Session s =
        run({"Picbuf2.Init(8,5,3,0)", "ColorDepth", "Picbuf2.ColorDepth", "picbuf2.xresolution"});
    EXPECT_EQ(s.out, "ColorDepth=0\nColorDepth=8\nXresolution=5\n");
}

TEST(Sessions, MethodResultsArePrintedOnlyWhenThereIsOne) {
    Session s = run({"ExportDib(False)", "Init(1,2,2,0)", "Clear", "Contents"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "ExportDib=0\nContents=0\n");
    s = run({"Init(4,2,2,0)", "ExportDib(False)"});
    auto lines = linesOf(s.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].starts_with("ExportDib=")) << lines[0];
    EXPECT_NE(lines[0], "ExportDib=0");
}

TEST(Sessions, PutValuesReadBackInTheirPrintedForm) {
    Session s = run({"FillColor=0xFFFFFFFF", "FillColor", "FileName=\"a, b.bmp\"", "FileName",
                     "TextAutoSize=True", "TextAutoSize", "FillTransparent=-1", "FillTransparent",
                     "DataSource", "ScaleImage=2.6", "ScaleImage"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out,
              "FillColor=-1\nFileName=a, b.bmp\nTextAutoSize=True\nFillTransparent=True\n"
              "DataSource=Nothing\nScaleImage=3\n");
}

TEST(Sessions, EventsArePrintedWhereTheyFire) {
    Session s =
        run({"--events", "Init(8,4,4,255)", "ColorDepth", "Picbuf2.Init(24,1,1,0)", "Clear"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "event Palette\nevent Change\nColorDepth=8\nevent Change\nevent Change\n");
    EXPECT_EQ(run({"Init(8,4,4,255)"}).out, "");
}

TEST(Sessions, TheFirstFailureEndsTheRun) {
    Session s = run({"Load", "ColorDepth"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.err, "error 20352: Filename Property is empty.\n  in statement 1: Load\n");
}

TEST(Sessions, KeepGoingRunsEveryStatementAndStillFails) {
    Session s =
        run({"--keep-going", "Load", "Foo", "Init(8,4", "DrawWidth=0", "DrawWidth", "ColorDepth"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.out, "DrawWidth=1\nColorDepth=0\n");
    EXPECT_EQ(s.err,
              "error 20352: Filename Property is empty.\n"
              "  in statement 1: Load\n"
              "error 0x80020006: Unknown name: Foo\n"
              "  in statement 2: Foo\n"
              "picbuf: \"Init(8,4\": missing ')' after the arguments\n"
              "error 20339: DrawWidth property must be one of 1 through 32767\n"
              "  in statement 4: DrawWidth=0\n");
}

TEST(Sessions, ArgumentMistakesAreTheControlsToReport) {
    Session s = run({"--keep-going", "Init(8,4)", "Version(1)", "Load=1", "Init(8,4,4,x)",
                     "Init(99999,1,1,0)"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err,
              "error 0x8002000F: Argument not optional: nHeignt\n"
              "  in statement 1: Init(8,4)\n"
              "error 0x8002000E: Wrong number of arguments\n"
              "  in statement 2: Version(1)\n"
              "error 0x80020003: Member not found\n"
              "  in statement 3: Load=1\n"
              "error 0x80020005: Type mismatch\n"
              "  in statement 4: Init(8,4,4,x)\n"
              "error 0x8002000A: Overflow\n"
              "  in statement 5: Init(99999,1,1,0)\n");
}

TEST(Sessions, ObjectArgumentsReachTheOtherControlsWindow) {
    // Picbuf2's window is live, so LoadCallback gets past it to the file format,
    // which reports no progress for a bitmap.
    Session s = run({"--keep-going", "FileName=x.bmp", "LoadCallback(Nothing)",
                     "LoadCallback(Picbuf2)", "LoadCallback(Picbuf3)"});
    EXPECT_EQ(
        s.err,
        "error 20320: The Control parameter is NULL\n"
        "  in statement 2: LoadCallback(Nothing)\n"
        "error 20101: The specified file was of the incorrect type or corrupted\n"
        "  in statement 3: LoadCallback(Picbuf2) (file \"x.bmp\": No such file or directory)\n"
        "error 0x80020005: Type mismatch\n"
        "  in statement 4: LoadCallback(Picbuf3)\n");
}

// A file error names the file and the system's reason for refusing it.
TEST(Sessions, FileErrorsSayWhichFileAndWhy) {
    const std::string folder = ::testing::TempDir();
    const std::string missing = folder + "/no-such-picture.bmp";
    const std::string inMissingFolder = folder + "/no-such-folder/out.bmp";
    struct Case {
        std::vector<std::string> statements;
        std::string place;
    };
    const Case cases[] = {
        {{"FileName=" + missing, "Load"},
         "  in statement 2: Load (file \"" + missing + "\": No such file or directory)\n"},
        {{"FileName=" + folder, "CountImages"},
         "  in statement 2: CountImages (file \"" + folder + "\": Is a directory)\n"},
        {{"Init(8,4,4,0)", "FileName=" + inMissingFolder, "Store"},
         "  in statement 3: Store (file \"" + inMissingFolder + "\": No such file or directory)\n"},
        {{"Init(8,4,4,0)", "FileName=" + folder, "Store"},
         "  in statement 3: Store (file \"" + folder + "\": Is a directory)\n"},
    };
    for (const Case& c : cases) {
        Session s = run(c.statements);
        EXPECT_EQ(s.status, 1);
        EXPECT_TRUE(s.err.starts_with("error 20")) << s.err;
        EXPECT_TRUE(s.err.ends_with(c.place)) << s.err;
    }
}

TEST(Sessions, StatementsNameOnlyControlsThatExist) {
    Session s = run({"Picbuf3.Version"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err,
              "picbuf: \"Picbuf3.Version\": there is no control named Picbuf3 (the controls are "
              "Picbuf1 to Picbuf2)\n");
    s = run({"--controls", "3", "Picbuf3.Version", "PICBUF3.PicbufID"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "Version=1.0.1.13\nPicbufID=23145\n");
    EXPECT_EQ(run({"--controls=1", "Picbuf2.Version"}).status, 1);
}

TEST(Sessions, ModernTurnsContentReadingOnForEveryControl) {
    Session s = run({"--modern", "LoadModernFiles", "Picbuf2.LoadModernFiles"});
    EXPECT_EQ(s.out, "LoadModernFiles=True\nLoadModernFiles=True\n") << s.err;
    EXPECT_EQ(run({"LoadModernFiles"}).out, "LoadModernFiles=False\n");
}

TEST(Sessions, DesignModeChangesTheAccessRules) {
    Session s = run({"--design", "ColorDepth"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "error " + std::to_string(automation::CTL_E_GETNOTSUPPORTED) +
                         ": Property is write-only.\n  in statement 1: ColorDepth\n");
    s = run({"--design", "AutoLoad=1", "AutoLoad", "AutoLoad=0", "FileName=a.bmp", "FileName"});
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out, "AutoLoad=1\nFileName=a.bmp\n");
    s = run({"AutoLoad=1"});
    EXPECT_EQ(s.err,
              "error 20387: The AutoLoad property is not available at run time.\n"
              "  in statement 1: AutoLoad=1\n");
}

TEST(Sessions, MembersListTheTypeDescription) {
    Session s = run({"--members"});
    EXPECT_EQ(s.status, 0) << s.err;
    for (const char* line : {
             "ProgID Pixmill32.Picbuf.1",
             "class {970B41E3-F71E-11CE-B134-444553540000}",
             "1 property FileName As String",
             "61 property Xresolution As Integer, read-only",
             "77 method Load",
             "80 method CountImages As Integer",
             "87 method Assign(bDestSelect As Boolean, SrcControl As Object, bSrcSelect As "
             "Boolean)",
             "106 method GetPalette(ByRef pPaletteArray() As Long)",
             "138 method TextDraw(Optional nDestination As Variant)",
             "151 property RegionEnabled(nRegion As Integer) As Boolean",
             "-515 property hWnd As Long, read-only",
             "1 event Change",
             "4 event Callback(ByRef Lines As Integer)",
             "enum enumAssignMode AMTotal=0 AMUnion=1 AMIntersection=2 AMResize=3",
         })
        EXPECT_TRUE(hasLine(s.out, line)) << line;
    // Statements still run after the listing.
    s = run({"--members", "Version"});
    EXPECT_TRUE(s.out.ends_with("\nVersion=1.0.1.13\n"));
}

TEST(Sessions, TheCommandLineItselfCanBeWrong) {
    Session s = run({"--controls", "0", "Version"});
    EXPECT_EQ(s.status, 2);
    EXPECT_EQ(s.out, "");
    EXPECT_EQ(s.err,
              "picbuf: --controls needs a number from 1 to 64, not '0'\nTry 'picbuf --help'.\n");
    EXPECT_EQ(run({"--verbose"}).status, 2);
    EXPECT_EQ(run({}).status, 2);
    s = run({"Load", "--help"});
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(s.out.starts_with("Usage: picbuf [options] statement...\n"));
    EXPECT_EQ(s.err, "");
}

}  // namespace
}  // namespace pm32::tools
