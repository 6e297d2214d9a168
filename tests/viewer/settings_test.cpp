#include "viewer/settings.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace pm32::viewer {
namespace {

TEST(ViewerSettings, BooleansAreOnOnlyForTrueYesOrOn) {
    const std::pair<const char*, bool> cases[] = {
        {"TRUE", true},   {"True", true},     {"true", true}, {"yes", true}, {"YES", true},
        {"On", true},     {"oN", true},       {" on ", true}, {"1", false},  {"0", false},
        {"False", false}, {"no", false},      {"", false},    {"Y", false},  {"TRUE!", false},
        {"ONE", false},   {"\x01\xff", false}};
    for (const auto& [text, on] : cases) EXPECT_EQ(SettingIsOn(text), on) << text;
}

TEST(ViewerSettings, AbsentKeysTakeTheirDefaults) {
    test::TempDir dir;
    ViewerSettings settings(QString::fromStdString(dir.path("vstl32.ini")));
    EXPECT_TRUE(settings.singleInstance());
    EXPECT_FALSE(settings.autoPreview());
    EXPECT_TRUE(settings.largeZoom());
    EXPECT_TRUE(settings.smallZoom());
    EXPECT_TRUE(settings.enableUndo());
    EXPECT_EQ(settings.defaultSaveAsExtension().toStdString(), ".gif");
    EXPECT_EQ(settings.jpegQuality(), 75);
    EXPECT_TRUE(settings.text("ActiveTool").isEmpty());
}

// What the file says is read by the rule; what is not a usable value gives
// the default, and a file that is not an INI file at all reads as empty.
TEST(ViewerSettings, ValuesInTheFileAreReadByTheRule) {
    test::TempDir dir;
    const std::string path = dir.path("vstl32.ini");
    test::writeText(path,
                    "[Preferences]\nSingleInstance=1\nLargeZoom=yes\nSmallZoom=garbage\n"
                    "EnableUndo=On\nAutoPreview=YES\nJPEGLossValue=700\n"
                    "DefaultSaveAsExtension=.exe\n");
    ViewerSettings settings(QString::fromStdString(path));
    EXPECT_FALSE(settings.singleInstance());
    EXPECT_TRUE(settings.largeZoom());
    EXPECT_FALSE(settings.smallZoom());
    EXPECT_TRUE(settings.enableUndo());
    EXPECT_TRUE(settings.autoPreview());
    EXPECT_EQ(settings.jpegQuality(), 75);
    EXPECT_EQ(settings.defaultSaveAsExtension().toStdString(), ".gif");

    const std::string junk = dir.path("junk.ini");
    test::writeFile(junk, {0x00, 0xff, 0x5b, 0x0a, 0x3d, 0x3d, 0xfe, 0x0a});
    ViewerSettings fromJunk(QString::fromStdString(junk));
    EXPECT_TRUE(fromJunk.singleInstance());
    EXPECT_TRUE(fromJunk.smallZoom());
    EXPECT_EQ(fromJunk.jpegQuality(), 75);
}

TEST(ViewerSettings, BooleansAreWrittenAsTrueOrFalse) {
    test::TempDir dir;
    const QString path = QString::fromStdString(dir.path("vstl32.ini"));
    {
        ViewerSettings settings(path);
        settings.setSingleInstance(false);
        settings.setSmallZoom(true);
    }
    const std::string written = test::readText(dir.path("vstl32.ini"));
    EXPECT_NE(written.find("SingleInstance=False"), std::string::npos) << written;
    EXPECT_NE(written.find("SmallZoom=True"), std::string::npos) << written;
    EXPECT_FALSE(ViewerSettings(path).singleInstance());
}

}  // namespace
}  // namespace pm32::viewer
