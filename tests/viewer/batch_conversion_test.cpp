#include "viewer/batch_conversion.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#include "tests/viewer/viewer_fixture.h"
#include "viewer/image_file_dialog.h"
#include "viewer/image_files.h"

namespace pm32::test {
namespace {

using platform::BoxAnswer;
using viewer::ConversionProgress;
using viewer::ImageFileDialog;
using BatchConversion = ViewerTest;

const std::string kCloseQuestion =
    "The current image will have to be closed, since the picture buffer will be used for the "
    "file conversion process.  Proceed?";

// Chooses every listed file of the folder as sources, then the format
// button and the target folder.
void chooseAllThenTarget(DialogDriver& dialogs, const QString& from, int formatButton,
                         const QString& to) {
    dialogs.then([from](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Choose Files to convert");
        dialog.setFolder(from);
        dialog.findChild<QListWidget*>("File1")->selectAll();
        dialog.accept();
    });
    dialogs.then([formatButton, to](QDialog& shown) {
        auto& dialog = As<ImageFileDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Choose Format and Directory");
        EXPECT_EQ(dialog.findChild<QGroupBox*>("saveAsGroup")->title().toStdString(),
                  "Save files as:");
        dialog.setFolder(to);
        dialog.findChild<QRadioButton*>(QString("optSaveAs_%1").arg(formatButton))->click();
        dialog.accept();
    });
}

// Twenty files of every readable kind, one of them corrupt: the others are
// converted, the corrupt one is reported at the end and is the only original
// left when the user deletes the converted ones.
TEST_F(BatchConversion, TwentyMixedFilesWithOneCorrupt) {
    ASSERT_TRUE(QDir().mkpath(file("in")));
    ASSERT_TRUE(QDir().mkpath(file("out")));
    const char* kinds[] = {"bmp", "gif", "png", "jpg", "tif", "pcx", "tga"};
    QStringList sources;
    for (int i = 0; i < 19; ++i) {
        const std::string name = "in/f" + std::to_string(i) + "." + kinds[i % 7];
        sources << writeImage(name, 10 + i, 5 + i);
    }
    ASSERT_TRUE(QFile::rename(sources[0], file("in/f0.rle")));
    sources[0] = file("in/f0.rle");
    writeText(dir.path("in/broken.png"), "\x89PNG\r\n\x1a\n this is no picture");
    ASSERT_EQ(QDir(file("in")).entryList(QDir::Files).size(), 20);

    open(writeImage("shown.bmp", 4, 4));
    boxes.answerWith(BoxAnswer::Yes);  // close the image
    chooseAllThenTarget(dialogs, file("in"), 6, file("out"));
    boxes.answerWith(BoxAnswer::Yes);  // delete the originals
    trigger("mnuBatch");
    EXPECT_TRUE(dialogs.done());

    ASSERT_EQ(boxes.texts.size(), 3u);
    EXPECT_EQ(boxes.texts[0], kCloseQuestion);
    EXPECT_NE(boxes.texts[1].find("These files were not converted:"), std::string::npos);
    EXPECT_NE(boxes.texts[1].find(dir.path("in/broken.png") + ": There was a problem reading"),
              std::string::npos)
        << boxes.texts[1];
    EXPECT_EQ(std::count(boxes.texts[1].begin(), boxes.texts[1].end(), '\n'), 2);
    EXPECT_EQ(boxes.texts[2], "Delete original files from your disk?");
    EXPECT_FALSE(window->shown().hasImage());
    EXPECT_TRUE(window->currentPath().isEmpty());

    for (int i = 0; i < 19; ++i) {
        SCOPED_TRACE(sources[i].toStdString());
        const QString target = file("out/f" + std::to_string(i) + ".png");
        viewer::Picbuf check;
        ASSERT_EQ(viewer::LoadImage(check, target, 0, true), 0u);
        EXPECT_EQ(check.getInt("Xresolution"), 10 + i);
        EXPECT_EQ(check.getInt("Yresolution"), 5 + i);
        EXPECT_FALSE(QFileInfo::exists(sources[i]));
    }
    EXPECT_EQ(QDir(file("in")).entryList(QDir::Files), QStringList{"broken.png"});
    EXPECT_EQ(QDir(file("out")).entryList(QDir::Files).size(), 19);
}

// No to the first question ends the command with the image in place; Cancel
// in the progress window stops between files, and No keeps every original.
TEST_F(BatchConversion, TheQuestionsAndCancelStopIt) {
    ASSERT_TRUE(QDir().mkpath(file("in")));
    for (int i = 0; i < 6; ++i) writeImage("in/p" + std::to_string(i) + ".bmp", 8, 8);
    open(writeImage("shown.bmp", 4, 4));
    boxes.answerWith(BoxAnswer::No);
    trigger("mnuBatch");
    EXPECT_TRUE(window->shown().hasImage());
    ASSERT_EQ(boxes.texts.size(), 1u);

    boxes.answerWith(BoxAnswer::Yes);
    chooseAllThenTarget(dialogs, file("in"), 1, file(""));
    // The progress window shows once the target is chosen; Cancel is pressed
    // as the fourth file is about to start.
    std::vector<std::string> progressTexts;
    QMetaObject::Connection watch;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ConversionProgress* progress = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<ConversionProgress*>(top); found && found->isVisible())
                progress = found;
        if (progress == nullptr || watch) return;
        EXPECT_FALSE(window->isEnabled()) << "no commands while converting";
        watch = QObject::connect(progress, &ConversionProgress::fileStarting, [&, progress](int i) {
            progressTexts.push_back(
                progress->findChild<QLabel*>("lblCopying")->text().toStdString());
            if (i == 3) progress->findChild<QPushButton*>("cmdCancel")->click();
        });
    });
    poll.start();
    boxes.answerWith(BoxAnswer::No);  // keep the originals
    trigger("mnuBatch");
    poll.stop();
    EXPECT_FALSE(progressTexts.empty()) << "the progress window showed";
    EXPECT_TRUE(window->isEnabled());

    ASSERT_EQ(boxes.texts.size(), 3u);
    EXPECT_EQ(boxes.texts[2], "Delete original files from your disk?");
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(QFileInfo::exists(file("in/p" + std::to_string(i) + ".bmp")));
        EXPECT_EQ(QFileInfo::exists(file("p" + std::to_string(i) + ".gif")), i < 3);
    }
    const std::string copying = "Copying " + dir.path("in/p1.bmp") + " to " + dir.path("p1.gif");
    EXPECT_NE(std::find(progressTexts.begin(), progressTexts.end(), copying), progressTexts.end());
}

// A target that is another chosen source is not written, so that file is
// not lost before it is read; a file converted onto itself is never deleted.
TEST_F(BatchConversion, NoChosenFileIsOverwrittenOrDeletedUnconverted) {
    const QString bmp = writeImage("a.bmp", 6, 6);
    const QString png = writeImage("a.png", 7, 7);
    viewer::Picbuf working;
    ConversionProgress progress;
    viewer::SaveOptions toPng;
    toPng.extension = ".png";
    const viewer::ConversionResult result =
        viewer::ConvertFiles(working, {bmp, png}, file(""), toPng, true, progress);
    ASSERT_EQ(result.failed.size(), 1u);
    EXPECT_EQ(result.failed[0].source, bmp);
    EXPECT_TRUE(result.converted.isEmpty());
    EXPECT_EQ(result.convertedInPlace, QStringList{png});
    EXPECT_FALSE(working.hasImage());
    viewer::Picbuf check;
    ASSERT_EQ(viewer::LoadImage(check, png, 0, true), 0u);
    EXPECT_EQ(check.getInt("Xresolution"), 7);
}

}  // namespace
}  // namespace pm32::test
