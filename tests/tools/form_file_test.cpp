#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/tools/picbuf_session.h"

namespace pm32::tools {
namespace {

// A form keeps each control's properties in its own section and gives them
// back to the control of that name in a later run.
TEST(PicbufForms, PropertiesTravelThroughAFormFile) {
    test::TempDir dir;
    const std::string form = dir.path("form.txt");
    Session saved = run({"--save-form", form, "DrawWidth=3", "FileName=a b.bmp",
                         "Picbuf2.ScaleImage=4", "Picbuf2.FillColor=0x00FF00"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::string text = test::readText(form);
    EXPECT_EQ(text.find("[Picbuf1]\n"), 0u) << text;
    const std::size_t second = text.find("[Picbuf2]\n");
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(text.find("DrawWidth=3\n"), second);
    EXPECT_GT(text.find("ScaleImage=4\n"), second);

    Session loaded = run({"--load-form", form, "DrawWidth", "FileName", "ScaleImage",
                          "Picbuf2.ScaleImage", "Picbuf2.FillColor", "Picbuf2.DrawWidth"});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(loaded.out,
              "DrawWidth=3\nFileName=a b.bmp\nScaleImage=1\nScaleImage=4\nFillColor=65280\n"
              "DrawWidth=1\n");

    Session copied = run({"--load-form", form, "--save-form", dir.path("copy.txt")});
    EXPECT_EQ(copied.status, 0) << copied.err;
    EXPECT_EQ(test::readText(dir.path("copy.txt")), text);
}

// A form designed with AutoLoad 2 carries its image: the run shows it after
// the file is gone, and saving the form again keeps it.
TEST(PicbufForms, AnEmbeddedImageOutlivesItsFile) {
    test::TempDir dir;
    const std::string image = dir.path("a.bmp");
    const std::string form = dir.path("form.txt");
    ASSERT_EQ(run({"Init(24,9,4,0x00FF00)", "FileName=" + image, "Store"}).status, 0);
    Session designed = run({"--design", "--save-form", form, "FileName=" + image, "AutoLoad=2"});
    ASSERT_EQ(designed.status, 0) << designed.err;
    std::filesystem::remove(image);

    Session shown = run(
        {"--load-form", form, "--save-form", dir.path("again.txt"), "Xresolution", "Yresolution"});
    EXPECT_EQ(shown.out, "Xresolution=9\nYresolution=4\n") << shown.err;
    const std::string again = test::readText(dir.path("again.txt"));
    EXPECT_NE(again.find("AutoLoadEmbed="), std::string::npos) << again;
}

TEST(PicbufForms, AFormThatDoesNotFitIsRefusedBeforeAnyStatement) {
    test::TempDir dir;
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"[Picbuf9]\nDrawWidth=2\n", "the form names Picbuf9, which is no control here"},
        {"DrawWidth=2\n[Picbuf1]\n", "line 1 stands before any [control]"},
    };
    for (const Case& c : cases) {
        test::writeText(dir.path("bad.txt"), c.text);
        Session s = run({"--load-form", dir.path("bad.txt"), "Version"});
        EXPECT_EQ(s.status, 1);
        EXPECT_EQ(s.out, "") << "no statement ran";
        EXPECT_NE(s.err.find(c.message), std::string::npos) << s.err;
    }
    Session missing = run({"--load-form", dir.path("none.txt"), "Version"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
    Session unwritable = run({"--save-form", dir.path("no/such/folder.txt"), "Version"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.out, "Version=1.0.1.13\n");
    EXPECT_NE(unwritable.err.find("cannot write the form"), std::string::npos) << unwritable.err;
}

}  // namespace
}  // namespace pm32::tools
