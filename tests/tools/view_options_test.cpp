#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <sstream>

#include "tests/support/temp_dir.h"
#include "tests/tools/picbuf_session.h"
#include "tools/picbuf/command_line.h"
#include "tools/picbuf/picbuf.h"

namespace pm32::tools {
namespace {

std::string failureOf(std::vector<std::string> args) {
    try {
        ParseCommandLine(args);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "parsed";
}

TEST(PicbufViewOptions, ClientSizeAndSnapshotAreParsed) {
    Options options = ParseCommandLine(
        std::vector<std::string>{"--client", "320x200", "Load", "--snapshot", "view.png"});
    ASSERT_TRUE(options.client);
    EXPECT_EQ(options.client->width, 320);
    EXPECT_EQ(options.client->height, 200);
    EXPECT_EQ(options.snapshot, "view.png");
    EXPECT_EQ(options.statements, std::vector<std::string>{"Load"});
    options = ParseCommandLine(std::vector<std::string>{"--client=1x8192", "--snapshot=a.png"});
    EXPECT_EQ(options.client->height, 8192);
    EXPECT_EQ(options.snapshot, "a.png");
    EXPECT_FALSE(ParseCommandLine(std::vector<std::string>{"Load"}).client);
}

TEST(PicbufViewOptions, BadSizesAndASnapshotWithoutAWindowAreRefused) {
    EXPECT_EQ(failureOf({"--client"}), "--client needs WIDTHxHEIGHT");
    for (std::string bad : {"0x5", "5x", "x5", "9000x5", "5X5", "5x5x5", "-5x5", ""})
        EXPECT_EQ(failureOf({"--client", bad}),
                  "--client needs WIDTHxHEIGHT, each from 1 to 8192, not '" + bad + "'")
            << bad;
    EXPECT_EQ(failureOf({"--snapshot"}), "--snapshot needs a file name");
    EXPECT_EQ(failureOf({"--snapshot="}), "--snapshot needs a file name");
    EXPECT_EQ(failureOf({"--snapshot", "a.png", "Load"}),
              "--snapshot needs --client to give the controls a window");
}

TEST(PicbufViewOptions, TheSnapshotIsWhatPicbufOneShows) {
    test::TempDir dir;
    std::string file = dir.path("view.png");
    Session s = run({"--client", "40x30", "--snapshot", file, "Init(24,10,8,255)",
                     "BackColor=0x00FF00", "Picbuf2.Init(24,5,5,0)"});
    ASSERT_EQ(s.status, 0) << s.err;
    QImage picture(QString::fromStdString(file));
    ASSERT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(picture.pixel(9, 7), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(10, 0), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(39, 29), qRgb(0, 255, 0));
}

TEST(PicbufViewOptions, ControlsScrollInTheirHeadlessWindows) {
    test::TempDir dir;
    std::string file = dir.path("zoom.png");
    Session s =
        run({"--client=50x40", "--snapshot=" + file, "--events", "Init(24,60,60,0)", "ScrollBars=3",
             "Scale(1,2)", "RePos(20,10,0,0)", "ScreenToImageX(9)", "GetHorzSBHeight"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("event Pan\n"), std::string::npos) << s.out;
    EXPECT_NE(s.out.find("ScreenToImageX=24\n"), std::string::npos) << s.out;
    QImage picture(QString::fromStdString(file));
    EXPECT_EQ(picture.size(), QSize(50 - 16, 40 - 16)) << "the scroll bars take their share";
}

TEST(PicbufViewOptions, AFailedPaintOrWriteFailsTheRun) {
    test::TempDir dir;
    std::string file = dir.path("never.png");
    // A vertical bar is wanted but gets no range: the view's client is narrower
    // than the window, and an origin at its maximum cannot be shown.
    Session s = run({"--client", "50x50", "--snapshot", file, "Init(24,60,40,0)", "ScrollBars=2",
                     "RePos(59,0,33,0)"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err,
              "picbuf: the control could not paint its window, so no snapshot was written\n");
    EXPECT_TRUE(QImage(QString::fromStdString(file)).isNull()) << "no file was written";

    std::string unwritable = dir.path("missing/folder/view.png");
    s = run({"--client", "8x8", "--snapshot", unwritable, "Init(24,2,2,0)"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "picbuf: cannot write the snapshot to " + unwritable + "\n");
}

// Other tests of the program create the process's application, so the run
// happens in a fresh copy of the program that runs this test alone.
TEST(PicbufViewOptions, NoApplicationIsCreatedToRunStatementsOrTakeASnapshot) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto runAlone = [] {
        test::TempDir dir;
        Session s = run({"--client", "20x20", "--snapshot", dir.path("a.png"), "Init(8,4,4,0)",
                         "Refresh", "Xresolution"});
        return s.status != 0 ? 1 : QGuiApplication::instance() != nullptr ? 2 : 0;
    };
    EXPECT_EXIT(std::exit(runAlone()), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace pm32::tools
