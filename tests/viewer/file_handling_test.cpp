#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "tests/viewer/viewer_fixture.h"
#include "viewer/failure_messages.h"
#include "viewer/image_files.h"

namespace pm32::test {
namespace {

using platform::BoxAnswer;
using FileHandling = ViewerTest;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST_F(FileHandling, OpenShowsTheImageAndNamesItInTheTitle) {
    for (const char* name :
         {"a.bmp", "b.gif", "c.png", "d.jpg", "e.tif", "f.pcx", "g.tga", "h.jpeg", "i.tiff"}) {
        SCOPED_TRACE(name);
        open(writeImage(name, 30, 20));
        EXPECT_EQ(shownSize(), QSize(30, 20));
        EXPECT_EQ(window->currentPath(), file(name));
        EXPECT_TRUE(window->windowTitle().startsWith(name));
        EXPECT_EQ(settings->text("LastLoadPath"), QFileInfo(file(name)).absolutePath());
    }
    EXPECT_TRUE(boxes.texts.empty());
}

// ".rle" files are BMPs by content; the viewer names the format itself.
TEST_F(FileHandling, RleFilesOpenAsBmp) {
    const QString bmp = writeImage("picture.bmp", 12, 9);
    ASSERT_TRUE(QFile::copy(bmp, file("picture.rle")));
    open(file("picture.rle"));
    EXPECT_EQ(shownSize(), QSize(12, 9));
    EXPECT_EQ(shownColor(5, 5), OleColor(Pattern(5, 5)));
}

// Every kind of bad file gets its own message, captioned with the program's
// name, and the shown image, its name and the undo image stay.
TEST_F(FileHandling, AFailedOpenKeepsImageNameAndUndo) {
    const QString good = writeImage("good.bmp", 16, 8);
    open(good);
    trigger("mnuNegate");
    const std::int32_t negated = shownColor(2, 2);
    const QByteArray undoImage = readAll(window->undoStore().path());
    ASSERT_FALSE(undoImage.isEmpty());

    const QByteArray bmp = readAll(writeImage("whole.bmp", 40, 40));
    writeBytes(file("truncated.bmp"), bmp.left(bmp.size() / 3));
    writeBytes(file("corrupt.gif"), QByteArray("GIF89a") + QByteArray(50, '\x7f'));
    writeBytes(file("text.png"), "not a picture at all");
    writeBytes(file("empty.jpg"), {});
    ASSERT_TRUE(QDir().mkpath(file("folder.bmp")));
    const struct {
        const char* name;
        std::string message;
    } cases[] = {
        {"missing.bmp", "Can't open the file " + dir.path("missing.bmp")},
        {"folder.bmp", "The filename " + dir.path("folder.bmp") + " is bad"},
        {"empty.jpg", dir.path("empty.jpg") +
                          " has a nonstandard end of file marker, or and attempt was made to read "
                          "beyond the end of file marker."},
        {"truncated.bmp", "There was a problem reading " + dir.path("truncated.bmp") +
                              ".  The file may be corrupted, or the file type is not a graphics "
                              "type that this program can read."},
        {"corrupt.gif", "There was a problem reading " + dir.path("corrupt.gif") +
                            ".  The file may be corrupted, or the file type is not a graphics "
                            "type that this program can read."},
        {"text.png", "There was a problem reading " + dir.path("text.png") +
                         ".  The file may be corrupted, or the file type is not a graphics type "
                         "that this program can read."},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.name);
        boxes.texts.clear();
        boxes.answerWith(BoxAnswer::No);  // keep the negated image unsaved
        EXPECT_FALSE(window->openFile(file(bad.name)));
        ASSERT_EQ(boxes.texts.size(), 2u);
        EXPECT_EQ(boxes.texts[1], bad.message);
        EXPECT_EQ(boxes.captions[1], "Vistel/32");
        EXPECT_EQ(window->currentPath(), good);
        EXPECT_EQ(shownSize(), QSize(16, 8));
        EXPECT_EQ(shownColor(2, 2), negated);
        EXPECT_TRUE(window->isImageModified());
        EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo Negate");
        EXPECT_EQ(readAll(window->undoStore().path()), undoImage);
    }
}

// The viewer opens every file with the control's LoadModernFiles as the
// preference says: on by default, so a JPEG named ".png" opens; off, it is
// refused as the control refuses it.
TEST_F(FileHandling, ThePreferenceDecidesWhetherFilesOfTodayOpen) {
    ASSERT_TRUE(QFile::copy(writeImage("photo.jpg", 14, 6), file("photo.png")));
    EXPECT_TRUE(settings->modernFiles());
    open(file("photo.png"));
    EXPECT_EQ(shownSize(), QSize(14, 6));

    settings->setModernFiles(false);
    ASSERT_TRUE(QFile::copy(writeImage("other.jpg", 9, 5), file("other.png")));
    EXPECT_FALSE(window->openFile(file("other.png")));
    EXPECT_EQ(shownSize(), QSize(14, 6));
    EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(FileHandling, AnUnreadableFileIsPermissionDenied) {
    const QString locked = writeImage("locked.bmp", 8, 8);
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    if (::geteuid() != 0) {
        EXPECT_FALSE(window->openFile(locked));
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0],
                  "Error accessing " + locked.toStdString() + ".  Permission denied.");
        return;
    }
    // Root reads every file, so the check runs in a child that drops to
    // the unprivileged user; the folder lets it pass.
    ASSERT_TRUE(QFile::setPermissions(QFileInfo(locked).absolutePath(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ExeOther));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
        const std::optional<viewer::Failure> failure = viewer::CheckReadable(locked);
        ::_exit(failure ? static_cast<int>(*failure) : 101);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(viewer::Failure::PermissionDenied));
}

// The modified prompt: Cancel keeps everything, No discards, Yes saves first.
TEST_F(FileHandling, OpeningOverAModifiedImageAsksToSave) {
    const QString first = writeImage("first.bmp", 10, 10);
    const QString second = writeImage("second.bmp", 6, 4);
    open(first);
    trigger("mnuNegate");
    const std::string question =
        first.toStdString() + " has changed.  Do you want to save changes?";

    boxes.answerWith(BoxAnswer::Cancel);
    EXPECT_FALSE(window->openFile(second));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], question);
    EXPECT_EQ(window->currentPath(), first);

    boxes.answerWith(BoxAnswer::Yes);
    EXPECT_TRUE(window->openFile(second));
    EXPECT_EQ(shownSize(), QSize(6, 4));
    EXPECT_FALSE(window->isImageModified());
    open(first);  // saved negated
    EXPECT_EQ(shownColor(1, 1), OleColor({static_cast<std::uint8_t>(255 - Pattern(1, 1).red),
                                          static_cast<std::uint8_t>(255 - Pattern(1, 1).green),
                                          static_cast<std::uint8_t>(255 - Pattern(1, 1).blue)}));

    trigger("mnuNegate");
    boxes.answerWith(BoxAnswer::No);
    EXPECT_TRUE(window->openFile(second));
    open(first);
    EXPECT_NE(shownColor(1, 1), OleColor(Pattern(1, 1)));  // still the once-negated file
    EXPECT_EQ(boxes.texts.size(), 3u);
}

TEST_F(FileHandling, CloseAndExitAskToSaveAModifiedImage) {
    open(writeImage("shown.bmp", 10, 10));
    trigger("mnuBlur");
    boxes.answerWith(BoxAnswer::Cancel);
    trigger("MenuExit");
    EXPECT_TRUE(window->isVisible());
    boxes.answerWith(BoxAnswer::Cancel);
    trigger("menuClose");
    EXPECT_TRUE(window->shown().hasImage());
    boxes.answerWith(BoxAnswer::No);
    trigger("menuClose");
    EXPECT_FALSE(window->shown().hasImage());
    EXPECT_TRUE(window->currentPath().isEmpty());
    EXPECT_EQ(boxes.texts.size(), 3u);
    trigger("MenuExit");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FileHandling, SaveWritesTheImageAndClearsTheModifiedMark) {
    open(writeImage("kept.bmp", 10, 6));
    trigger("menu90r");
    EXPECT_TRUE(window->windowTitle().contains("[*]"));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(window->saveTo(file("saved.png")));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(settings->text("LastSavePath"), QFileInfo(file("saved.png")).absolutePath());
    viewer::Picbuf check;
    ASSERT_EQ(viewer::LoadImage(check, file("saved.png"), 0, true), 0u);
    EXPECT_EQ(check.getInt("Xresolution"), 6);
    EXPECT_EQ(check.getInt("Yresolution"), 10);
    EXPECT_FALSE(window->saveTo(file("no/such/folder/x.png")));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Can't open the file " + dir.path("no/such/folder/x.png"));
}

TEST_F(FileHandling, ADroppedFileOpens) {
    const QString dropped = writeImage("dropped.gif", 9, 7);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->currentPath(), dropped);
    EXPECT_EQ(shownSize(), QSize(9, 7));
}

TEST_F(FileHandling, PageDownAndUpWalkTheFolderInNameOrder) {
    for (const char* name : {"img10.bmp", "img2.bmp", "img1.bmp", "Img3.gif"})
        writeImage(name, 5, 5);
    writeText(dir.path("img15.txt"), "not an image");
    open(file("img1.bmp"));
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(window->currentPath(), file("img2.bmp"));
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(window->currentPath(), file("Img3.gif"));
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(window->currentPath(), file("img10.bmp"));
    QTest::keyClick(window.get(), Qt::Key_PageDown);  // the last one stays
    EXPECT_EQ(window->currentPath(), file("img10.bmp"));
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    EXPECT_EQ(window->currentPath(), file("Img3.gif"));
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public slots:
    void openUrl(const QUrl& url) { opened = url; }

  public:
    QUrl opened;
};

TEST_F(FileHandling, HelpOpensTheShippedPageAndAboutNamesTheVersion) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "openUrl");
    trigger("mnuHlpContents");
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(catcher.opened.toLocalFile().endsWith("/help/vstl32.html"));
    EXPECT_TRUE(QFile::exists(catcher.opened.toLocalFile()));
    trigger("menuhlpa");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Vistel/32 v 1.0");
}

}  // namespace
}  // namespace pm32::test

#include "file_handling_test.moc"
