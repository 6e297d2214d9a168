#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "tests/viewer/viewer_fixture.h"
#include "viewer/image_file_dialog.h"
#include "viewer/image_files.h"

namespace pm32::test {
namespace {

using platform::BoxAnswer;
using viewer::ImageFileDialog;
using SaveDialog = ViewerTest;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class Widget>
Widget* child(QDialog& dialog, const char* name) {
    auto* found = dialog.findChild<Widget*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QRadioButton* formatButton(QDialog& dialog, int index) {
    return child<QRadioButton>(dialog, QString("optSaveAs_%1").arg(index).toUtf8().constData());
}

// The first quantisation value of a JPEG's first table (the luminance DC
// step the quality scales) and whether its frame is progressive.
struct JpegFacts {
    int dcStep = -1;
    bool progressive = false;
};

JpegFacts jpegFacts(const QByteArray& bytes) {
    JpegFacts facts;
    const qsizetype table = bytes.indexOf(QByteArray("\xFF\xDB", 2));
    if (table >= 0 && table + 5 < bytes.size())
        facts.dcStep = static_cast<std::uint8_t>(bytes[table + 5]);
    facts.progressive = bytes.contains(QByteArray("\xFF\xC2", 2));
    return facts;
}

// The PNG header's interlace method: 1 for Adam7.
int pngInterlace(const QByteArray& bytes) {
    return bytes.size() > 28 ? static_cast<std::uint8_t>(bytes[28]) : -1;
}

// Save As in every format: the dialog offers the default extension, the
// chosen button gives the file its extension and format, and the file reads
// back as the image (exactly for the lossless formats).
TEST_F(SaveDialog, SaveAsWritesEveryFormat) {
    open(writeImage("source.bmp", 24, 16));
    trigger("mnuNegate");
    const std::int32_t negated = shownColor(3, 5);
    const char* extensions[] = {".bmp", ".gif", ".pcx", ".tga", ".tif", ".jpg", ".png"};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(extensions[i]);
        dialogs.then([&](QDialog& shown) {
            auto& dialog = As<ImageFileDialog>(shown);
            EXPECT_EQ(dialog.windowTitle().toStdString(), "Save File As");
            EXPECT_TRUE(formatButton(dialog, 1)->isChecked()) << "the default .GIF";
            EXPECT_EQ(child<QLineEdit>(dialog, "Text1")->text().toStdString(), "source.gif");
            EXPECT_EQ(formatButton(dialog, i)->text().toStdString(),
                      QString(extensions[i]).toUpper().toStdString());
            dialog.setFolder(file("out"));
            formatButton(dialog, i)->click();
            EXPECT_EQ(child<QLineEdit>(dialog, "Text1")->text(), QString("source") + extensions[i]);
            dialog.accept();
        });
        ASSERT_TRUE(QDir().mkpath(file("out")));
        trigger("MenuSvAs");
        const QString saved = file("out/source") + extensions[i];
        EXPECT_EQ(window->currentPath(), saved);
        EXPECT_FALSE(window->isImageModified());
        viewer::Picbuf check;
        ASSERT_EQ(viewer::LoadImage(check, saved, viewer::FormatOfPath(saved), true), 0u);
        EXPECT_EQ(check.getInt("Xresolution"), 24);
        EXPECT_EQ(check.getInt("Yresolution"), 16);
        if (i != 1 && i != 5) {
            EXPECT_EQ(check.call("GetColor", {viewer::Short(3), viewer::Short(5)}).toI4(), negated);
        }
        EXPECT_EQ(shownDepth(), 24) << "a GIF is reduced in the working buffer only";
        EXPECT_EQ(settings->text("LastSavePath"), file("out"));
        // Each save starts from the untouched name and the default.
        window->openFile(file("source.bmp"));
        trigger("mnuNegate");
    }
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
}

// An existing target asks " exists.  Overwrite? ": No returns to the dialog
// and keeps the file; Yes writes it.
TEST_F(SaveDialog, SavingOverAFileAsksFirst) {
    open(writeImage("picture.bmp", 10, 10));
    const QString target = writeImage("taken.png", 3, 3);
    const QByteArray before = readAll(target);
    const auto permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, permissions));
    trigger("mnuNegate");
    const std::string question = target.toStdString() + " exists.  Overwrite? ";
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        dialog.setFolder(file(""));
        dialog.setFileName("taken.png");
        boxes.answerWith(BoxAnswer::No);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << "No returns to the dialog";
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], question);
        EXPECT_EQ(readAll(target), before);
        EXPECT_TRUE(formatButton(dialog, 6)->isChecked()) << "the typed extension chose PNG";
        boxes.answerWith(BoxAnswer::Yes);
        dialog.accept();
    });
    trigger("MenuSvAs");
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], question);
    EXPECT_NE(readAll(target), before);
    // The new file took the old one's place whole, with its permissions.
    const auto ownerGroupOther = QFileDevice::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(target) & ownerGroupOther, permissions);
    EXPECT_TRUE(QDir(file("")).entryList({".taken*"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(window->currentPath(), target);
    EXPECT_FALSE(window->isImageModified());
}

// The quality box and the progressive box reach the file; the box's caption
// follows the format, and the choices are kept as settings.
TEST_F(SaveDialog, QualityAndProgressiveReachTheFile) {
    open(writeImage("photo.bmp", 64, 48));
    const struct {
        const char* name;
        int button;
        const char* quality;
        bool progressive;
        const char* caption;
        int dcStep;  // of libjpeg's baseline tables at that quality
    } cases[] = {{"low.jpg", 5, "20", false, "Progressive JPG", 40},
                 {"high.jpg", 5, "90", true, "Progressive JPG", 3},
                 {"clamped.jpg", 5, "1", false, "Progressive JPG", 160},
                 {"plain.png", 6, "50", false, "Progressive PNG", -1},
                 {"interlaced.png", 6, "50", true, "Progressive PNG", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.then([&](QDialog& shown) {
            auto& dialog = As<ImageFileDialog>(shown);
            dialog.setFolder(file(""));
            formatButton(dialog, c.button)->click();
            auto* progressive = child<QCheckBox>(dialog, "Check2");
            EXPECT_EQ(progressive->text().toStdString(), c.caption);
            EXPECT_TRUE(progressive->isEnabled());
            EXPECT_EQ(child<QLineEdit>(dialog, "Text2")->isEnabled(), c.button == 5);
            progressive->setChecked(c.progressive);
            child<QLineEdit>(dialog, "Text2")->setText(c.quality);
            dialog.setFileName(c.name);
            dialog.accept();
        });
        trigger("MenuSvAs");
        const QByteArray bytes = readAll(file(c.name));
        ASSERT_FALSE(bytes.isEmpty());
        if (c.button == 5) {
            const JpegFacts facts = jpegFacts(bytes);
            EXPECT_EQ(facts.dcStep, c.dcStep);
            EXPECT_EQ(facts.progressive, c.progressive);
        } else {
            EXPECT_EQ(pngInterlace(bytes), c.progressive ? 1 : 0);
        }
        EXPECT_EQ(settings->progressiveDisplay(), c.progressive);
    }
    EXPECT_EQ(settings->text("JPEGLossValue").toStdString(), "50");
    EXPECT_EQ(settings->defaultSaveAsExtension().toStdString(), ".gif") << "Make Default unchecked";

    // Plain Save of a known name uses the kept settings: quality 50, progressive.
    settings->setText("JPEGLossValue", "75");
    open(file("low.jpg"));
    trigger("mnuNegate");
    trigger("menusave");
    const JpegFacts resaved = jpegFacts(readAll(file("low.jpg")));
    EXPECT_EQ(resaved.dcStep, 8);
    EXPECT_TRUE(resaved.progressive);

    // Other formats have no progressive form and no quality.
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        formatButton(dialog, 0)->click();
        EXPECT_FALSE(child<QCheckBox>(dialog, "Check2")->isEnabled());
        EXPECT_FALSE(child<QLineEdit>(dialog, "Text2")->isEnabled());
        child<QCheckBox>(dialog, "chkDefault")->setChecked(true);
        dialog.setFolder(file(""));
        dialog.setFileName("kept");
        dialog.accept();
    });
    trigger("MenuSvAs");
    EXPECT_TRUE(QFileInfo::exists(file("kept.bmp")));
    EXPECT_EQ(settings->defaultSaveAsExtension().toStdString(), ".bmp");
}

// A name the dialog cannot use is refused and the dialog stays; a store that
// fails says so and leaves the image modified under its old name.
TEST_F(SaveDialog, UnusableNamesAndFailedStores) {
    const QString original = writeImage("picture.bmp", 8, 8);
    open(original);
    trigger("mnuBlur");
    ASSERT_TRUE(QDir().mkpath(file("folder.gif")));
    ASSERT_TRUE(QFile::link("/dev/full", file("full.bmp")));
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        dialog.setFolder(file(""));
        for (const char* bad : {"", "   ", "folder.gif", "folder", "..", "sub/"}) {
            SCOPED_TRACE(bad);
            boxes.texts.clear();
            dialog.setFileName(bad);
            dialog.accept();
            EXPECT_TRUE(dialog.isVisible());
            ASSERT_EQ(boxes.texts.size(), 1u);
            EXPECT_EQ(boxes.texts[0], "No valid filename selected");
        }
        boxes.texts.clear();
        dialog.setFileName("full.bmp");
        boxes.answerWith(BoxAnswer::Yes);  // overwrite the device
        dialog.accept();
    });
    trigger("MenuSvAs");
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(boxes.texts[1], "An error occurred and your file was not saved.");
    EXPECT_EQ(window->currentPath(), original);
    EXPECT_TRUE(window->isImageModified());
    EXPECT_TRUE(settings->text("LastSavePath").isEmpty());

    boxes.texts.clear();
    dialogs.then([](QDialog& dialog) { dialog.reject(); });
    trigger("MenuSvAs");
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_TRUE(window->isImageModified());
}

// The open dialog: its caption, the type list with RLE among all bitmaps,
// the folder and file lists, and a preview with the image's size.
TEST_F(SaveDialog, OpenDialogListsFiltersAndPreviews) {
    writeImage("b.bmp", 30, 20);
    writeImage("c.png", 12, 34);
    writeText(dir.path("notes.txt"), "text");
    writeText(dir.path("bad.gif"), "GIF89a and nothing more");
    ASSERT_TRUE(QFile::copy(file("b.bmp"), file("d.RLE")));
    ASSERT_TRUE(QDir().mkpath(file("inner")));
    writeImage("inner/e.gif", 5, 6);
    settings->setText("LastLoadPath", file(""));
    settings->setAutoPreview(true);
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Choose file to open");
        EXPECT_FALSE(child<QGroupBox>(dialog, "saveAsGroup")->isVisibleTo(&dialog));
        auto* types = child<QComboBox>(dialog, "Combo1");
        ASSERT_EQ(types->count(), 9);
        EXPECT_EQ(types->itemText(0).toStdString(),
                  "All Bitmaps (*.BMP;*.GIF;*.PCX;*.TGA;*.TIF;*.JPG;*.PNG;*.RLE)");
        auto* files = child<QListWidget>(dialog, "File1");
        auto names = [files] {
            QStringList listed;
            for (int i = 0; i < files->count(); ++i) listed << files->item(i)->text();
            return listed.join(' ').toStdString();
        };
        EXPECT_EQ(names(), "b.bmp bad.gif c.png d.RLE");
        types->setCurrentIndex(8);
        EXPECT_EQ(names(), "c.png");
        auto* folders = child<QListWidget>(dialog, "Dir1");
        EXPECT_FALSE(folders->findItems("inner", Qt::MatchExactly).isEmpty());
        EXPECT_GT(child<QComboBox>(dialog, "Drive1")->count(), 0);
        EXPECT_TRUE(child<QCheckBox>(dialog, "Check1")->isChecked());
        files->setCurrentRow(0);  // Auto Preview loads it
        EXPECT_EQ(dialog.preview().getInt("Xresolution"), 12);
        EXPECT_EQ(child<QLabel>(dialog, "lblimagesize")->text().toStdString(), "12 x 34 pixels");
        EXPECT_TRUE(boxes.texts.empty());
        types->setCurrentIndex(0);
        files->setCurrentRow(1);  // the damaged file says why and empties the preview
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], "There was a problem reading " + dir.path("bad.gif") +
                                      ".  The file may be corrupted, or the file type is not a "
                                      "graphics type that this program can read.");
        EXPECT_FALSE(dialog.preview().hasImage());
        EXPECT_TRUE(child<QLabel>(dialog, "lblimagesize")->text().isEmpty());
        dialog.enterFolder("inner");
        EXPECT_EQ(names(), "e.gif");
        dialog.enterFolder("..");
        dialog.setFileName("missing.bmp");
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(boxes.texts.back(), "No valid filename selected");
        dialog.setFileName("d.RLE");
        dialog.accept();
    });
    trigger("MenuLoad");
    EXPECT_EQ(window->currentPath(), file("d.RLE"));
    EXPECT_EQ(shownSize(), QSize(30, 20));
}

}  // namespace
}  // namespace pm32::test
