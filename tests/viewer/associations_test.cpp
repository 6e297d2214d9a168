#include "viewer/associations.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include "tests/support/temp_dir.h"
#include "tests/viewer/viewer_fixture.h"
#include "tests/window/offscreen_application.h"
#include "viewer/mimeapps_list.h"
#include "viewer/preferences_dialog.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

TEST(MimeAppsList, OnlyOurEntriesComeAndGo) {
    test::TempDir dir;
    const std::string path = dir.path("mimeapps.list");
    const QString list = QString::fromStdString(path);
    test::writeText(path,
                    "[Default Applications]\nimage/gif=other.desktop;vstl32.desktop;\n"
                    "image/bmp=vstl32.desktop;\nimage/gif-x=vstl32.desktop;\n\n"
                    "[Added Associations]\nimage/gif=vstl32.desktop;other.desktop;\n\n"
                    "[Removed Associations]\nimage/gif=vstl32.desktop;\n");
    ASSERT_TRUE(RemoveApplication(list, "image/gif", "vstl32.desktop"));
    ASSERT_TRUE(RemoveApplication(list, "image/bmp", "vstl32.desktop"));
    EXPECT_EQ(test::readText(path),
              "[Default Applications]\nimage/gif=other.desktop;\nimage/gif-x=vstl32.desktop;\n\n"
              "[Added Associations]\nimage/gif=other.desktop;\n\n"
              "[Removed Associations]\nimage/gif=vstl32.desktop;\n");
    ASSERT_TRUE(AddAssociation(list, "image/gif", "vstl32.desktop"));
    ASSERT_TRUE(AddAssociation(list, "image/gif", "vstl32.desktop"));
    ASSERT_TRUE(AddAssociation(list, "image/png", "vstl32.desktop"));
    EXPECT_EQ(test::readText(path),
              "[Default Applications]\nimage/gif=other.desktop;\nimage/gif-x=vstl32.desktop;\n\n"
              "[Added Associations]\nimage/gif=vstl32.desktop;other.desktop;\n"
              "image/png=vstl32.desktop;\n\n"
              "[Removed Associations]\nimage/gif=vstl32.desktop;\n");

    const QString fresh = QString::fromStdString(dir.path("fresh.list"));
    EXPECT_TRUE(RemoveApplication(fresh, "image/gif", "vstl32.desktop"));
    ASSERT_TRUE(AddAssociation(fresh, "image/gif", "vstl32.desktop"));
    EXPECT_EQ(test::readText(dir.path("fresh.list")),
              "[Added Associations]\nimage/gif=vstl32.desktop;\n");
}

// The XDG folders of the user live in a fresh folder, and xdg-mime works as
// on a desktop without a known desktop environment.
class Associating : public ::testing::Test {
  protected:
    Associating() {
        test::OffscreenApplication();
        for (const char* variable : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                     "GNOME_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP"})
            qunsetenv(variable);
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path("config")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.path("data")));
    }
    ~Associating() override {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    std::string mimeapps() { return test::readText(dir.path("config/mimeapps.list")); }

    test::TempDir dir;
    Associations associations;
};

TEST_F(Associating, InstallingWritesTheDesktopEntryAndTheMimePackage) {
    EXPECT_FALSE(associations.installed());
    ASSERT_TRUE(associations.install(VSTL32_BINARY));
    EXPECT_TRUE(associations.installed());
    const std::string entry = test::readText(dir.path("data/applications/vstl32.desktop"));
    EXPECT_NE(entry.find(std::string("Exec=") + VSTL32_BINARY + " %f"), std::string::npos);
    // It names no types, so no type falls to it without being asked.
    EXPECT_EQ(entry.find("MimeType"), std::string::npos);
    // update-mime-database compiled our package into the user's database.
    const std::string globs = test::readText(dir.path("data/mime/globs2"));
    EXPECT_NE(globs.find("image/x-bmp-rle:*.rle"), std::string::npos) << globs;
}

TEST_F(Associating, EachTypeBecomesOursAndOnlyOursIsRemoved) {
    ASSERT_TRUE(associations.install(VSTL32_BINARY));
    for (const AssociatedType& type : AssociatedTypes()) {
        SCOPED_TRACE(type.word);
        EXPECT_FALSE(associations.isDefault(type.mimeType));
        ASSERT_TRUE(associations.makeDefault(type.mimeType));
        EXPECT_TRUE(associations.isDefault(type.mimeType));
    }
    EXPECT_NE(mimeapps().find("[Default Applications]\nimage/jpeg=vstl32.desktop"),
              std::string::npos)
        << mimeapps();
    EXPECT_NE(mimeapps().find("[Added Associations]\nimage/jpeg=vstl32.desktop;"),
              std::string::npos)
        << mimeapps();
    test::writeText(dir.path("config/mimeapps.list"), mimeapps() + "image/png=other.desktop;\n");
    ASSERT_TRUE(associations.removeDefault("image/gif"));
    EXPECT_FALSE(associations.isDefault("image/gif"));
    EXPECT_TRUE(associations.isDefault("image/bmp"));
    EXPECT_EQ(mimeapps().find("image/gif="), std::string::npos);
    EXPECT_NE(mimeapps().find("image/png=other.desktop;"), std::string::npos);
}

// The dialog installs what it needs when it first opens, shows which types
// are ours, and changes only what the user changed.
TEST_F(Associating, ThePreferencesDialogSetsAndClearsTypes) {
    test::TempDir settingsDir;
    ViewerSettings settings(QString::fromStdString(settingsDir.path("vstl32.ini")));
    test::BoxRecorder boxes;
    {
        PreferencesDialog dialog(settings, nullptr, VSTL32_BINARY);
        EXPECT_EQ(dialog.objectName().toStdString(), "PrefForm");
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Preferences");
        EXPECT_TRUE(associations.installed());
        const char* words[] = {"JPG", "RLE", "TGA", "TIF", "PCX", "GIF", "BMP"};
        for (int i = 0; i < 7; ++i) {
            auto* box = dialog.findChild<QCheckBox*>(QString("Check1_%1").arg(i));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text().toStdString(), words[i]);
            EXPECT_FALSE(box->isChecked());
        }
        auto* modern = dialog.findChild<QCheckBox*>("CheckModern");
        ASSERT_NE(modern, nullptr);
        EXPECT_EQ(modern->text().toStdString(), "Open files of every kind I can read");
        EXPECT_TRUE(modern->isChecked()) << "on by default";
        modern->setChecked(false);
        dialog.findChild<QCheckBox*>("Check1_6")->setChecked(true);
        dialog.findChild<QCheckBox*>("Check1_1")->setChecked(true);
        dialog.findChild<QCheckBox*>("Check2_0")->setChecked(false);
        dialog.findChild<QRadioButton*>("Option1_0")->setChecked(true);
        dialog.findChild<QPushButton*>("Command1")->click();
    }
    EXPECT_TRUE(associations.isDefault("image/bmp"));
    EXPECT_TRUE(associations.isDefault("image/x-bmp-rle"));
    EXPECT_FALSE(associations.isDefault("image/gif"));
    EXPECT_FALSE(settings.smallZoom());
    EXPECT_FALSE(settings.singleInstance());
    EXPECT_FALSE(settings.modernFiles());
    EXPECT_FALSE(settings.text("ProgramPath").isEmpty());
    {
        PreferencesDialog dialog(settings, nullptr, VSTL32_BINARY);
        EXPECT_TRUE(dialog.findChild<QCheckBox*>("Check1_6")->isChecked());
        EXPECT_FALSE(dialog.findChild<QCheckBox*>("Check2_0")->isChecked());
        EXPECT_FALSE(dialog.findChild<QCheckBox*>("CheckModern")->isChecked());
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("Option1_0")->isChecked());
        dialog.findChild<QCheckBox*>("Check1_6")->setChecked(false);
        dialog.findChild<QPushButton*>("Command1")->click();
    }
    EXPECT_FALSE(associations.isDefault("image/bmp"));
    EXPECT_TRUE(associations.isDefault("image/x-bmp-rle"));
    EXPECT_TRUE(boxes.texts.empty());
}

}  // namespace
}  // namespace pm32::viewer
