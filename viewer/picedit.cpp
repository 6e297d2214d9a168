#include "viewer/picedit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QRubberBand>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/window/widget_window_host.h"
#include "viewer/folder_browse.h"
#include "viewer/help_page.h"
#include "viewer/image_file_dialog.h"
#include "viewer/image_files.h"
#include "viewer/image_steps.h"
#include "viewer/preferences_dialog.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

constexpr const char* kUntitled = "(NoName)";

}  // namespace

PicEdit::PicEdit(ViewerSettings& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
    setObjectName("PicEdit");
    setAcceptDrops(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    cropStrip_ = buildCropStrip();
    layout->addWidget(cropStrip_);
    host_ = new platform::WidgetWindowHost(central);
    host_->setObjectName("Picbuf1_0");
    layout->addWidget(host_, 1);
    setCentralWidget(central);

    shown_ = std::make_unique<Picbuf>(host_);
    working_ = std::make_unique<Picbuf>();
    shown_->put("ScrollBars", Short(3));
    shown_->setEventHandler(
        [this](std::string_view name, std::span<Variant> args) { onControlEvent(name, args); });
    band_ = new QRubberBand(QRubberBand::Rectangle, host_->clientArea());
    host_->clientArea()->installEventFilter(this);

    statusInfo_ = new QLabel(this);
    statusInfo_->setObjectName("statusInfo");
    statusBar()->addPermanentWidget(statusInfo_);
    buildMenus();
    buildToolBar();
    addViewKeys();

    const QString savedTool = settings_.text("ActiveTool").trimmed().toLower();
    chooseTool(savedTool == "pointer" ? Tool::Pointer
                                      : (savedTool == "crop" ? Tool::Crop : Tool::Zoom));
    resize(800, 600);
    updateActions();
}

PicEdit::~PicEdit() {
    // The controls go before the widgets they show in.
    shown_.reset();
    working_.reset();
}

ZoomRatio PicEdit::zoom() { return {shown_->getInt("ScaleScreen"), shown_->getInt("ScaleImage")}; }

QSize PicEdit::imageSize() {
    if (!shown_->hasImage()) return {};
    return {shown_->getInt("Xresolution"), shown_->getInt("Yresolution")};
}

bool PicEdit::openFile(const QString& path) {
    if (!maybeSave()) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (std::optional<Failure> failure = CheckReadable(absolute)) {
        showFailure(*failure, absolute);
        return false;
    }
    // A failed load leaves the control's image as it was; the viewer keeps
    // its file name and undo image too.
    if (std::uint32_t number =
            LoadImage(*shown_, absolute, FormatOfPath(absolute), settings_.modernFiles())) {
        showFailure(FailureOfLoad(number), absolute, number);
        return false;
    }
    settings_.setText("LastLoadPath", QFileInfo(absolute).absolutePath());
    showFresh(absolute);
    return true;
}

void PicEdit::showFresh(const QString& path) {
    path_ = path;
    modified_ = false;
    undo_.clear();
    applyInitialZoom();
    updateActions();
}

void PicEdit::openHandedOver(const QString& path) {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    openFile(path);
}

void PicEdit::open() {
    ImageFileDialog dialog(FileDialogMode::Open, settings_, this);
    if (settings_.text("LastLoadPath").isEmpty() && !path_.isEmpty() && path_ != kUntitled)
        dialog.setFolder(QFileInfo(path_).absolutePath());
    if (dialog.exec() == QDialog::Accepted) openFile(dialog.chosenFiles().constFirst());
}

void PicEdit::closeImage() {
    if (!maybeSave()) return;
    dropImage();
}

void PicEdit::dropImage() {
    shown_->call("Clear");
    path_.clear();
    modified_ = false;
    undo_.clear();
    band_->hide();
    updateActions();
}

bool PicEdit::save() {
    const bool writable =
        !path_.isEmpty() && path_ != kUntitled && SaveFormatIndex(QFileInfo(path_).suffix());
    return writable ? saveTo(path_) : saveAs();
}

bool PicEdit::saveAs() {
    ImageFileDialog dialog(FileDialogMode::SaveAs, settings_, this);
    if (settings_.text("LastSavePath").isEmpty() && !settings_.text("LastLoadPath").isEmpty())
        dialog.setFolder(settings_.text("LastLoadPath"));
    const QString base = path_.isEmpty() || path_ == kUntitled
                             ? QString("untitled")
                             : QFileInfo(path_).completeBaseName();
    dialog.setFileName(base + dialog.saveOptions().extension);
    if (dialog.exec() != QDialog::Accepted) return false;
    return saveWith(dialog.chosenFiles().constFirst(), dialog.saveOptions());
}

SaveOptions PicEdit::savedOptionsFor(const QString& path) const {
    SaveOptions options;
    options.extension = "." + QFileInfo(path).suffix().toLower();
    options.jpegQuality = settings_.jpegQuality();
    options.progressive = settings_.progressiveDisplay();
    return options;
}

bool PicEdit::saveTo(const QString& path) { return saveWith(path, savedOptionsFor(path)); }

bool PicEdit::saveWith(const QString& path, const SaveOptions& options) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (std::optional<Failure> failure = CheckWritable(absolute)) {
        showFailure(*failure, absolute);
        return false;
    }
    std::uint32_t number = 0;
    if (NeedsReductionFor(*shown_, options)) {
        // The reduction happens in the working buffer; the shown image keeps
        // its colours.
        try {
            CopyImage(*working_, *shown_);
            number = StoreWithOptions(*working_, absolute, options);
        } catch (const automation::AutomationError& error) {
            number = ErrorNumberOf(error);
        }
        working_->call("Clear");
    } else {
        number = StoreWithOptions(*shown_, absolute, options);
    }
    if (number != 0) {
        platform::MessageBox("An error occurred and your file was not saved.",
                             ProgramName().toStdString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return false;
    }
    settings_.setText("LastSavePath", QFileInfo(absolute).absolutePath());
    path_ = absolute;
    modified_ = false;
    updateActions();
    return true;
}

void PicEdit::showPreferences() {
    PreferencesDialog dialog(settings_, this);
    dialog.exec();
}

void PicEdit::undo() {
    if (!undo_.restore(*shown_))
        platform::MessageBox(
            "The Undo image has been deleted or is corrupt.  Vistel/32 is not able to undo any "
            "changes which have been made.",
            ProgramName().toStdString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
    band_->hide();
    updateActions();
}

void PicEdit::toggleUndoEnabled() {
    settings_.setEnableUndo(!settings_.enableUndo());
    updateActions();
}

void PicEdit::copy() {
    try {
        shown_->call("CopyClipboard");
    } catch (const automation::AutomationError& error) {
        showFailure(FailureOfOperation(ErrorNumberOf(error)), path_, ErrorNumberOf(error));
    }
}

void PicEdit::paste() {
    if (!maybeSave()) return;
    try {
        working_->call("PasteClipboard");
        shown_->call("Assign", {Variant::Bool(false), Variant::Object(working_->object()),
                                Variant::Bool(false)});
        working_->call("Clear");
    } catch (const automation::AutomationError&) {
        working_->call("Clear");
        platform::MessageBox("Unable to read clipboard image", ProgramName().toStdString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    showFresh(kUntitled);
    modified_ = true;
    updateActions();
}

void PicEdit::showHelp() { QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPagePath())); }

void PicEdit::showAbout() {
    platform::MessageBox("Vistel/32 v 1.0", "About Vistel/32", platform::MB_OK);
}

void PicEdit::nextImage() {
    if (path_.isEmpty() || path_ == kUntitled) return;
    if (const QString next = NeighbourImage(path_, +1); !next.isEmpty()) openFile(next);
}

void PicEdit::previousImage() {
    if (path_.isEmpty() || path_ == kUntitled) return;
    if (const QString previous = NeighbourImage(path_, -1); !previous.isEmpty()) openFile(previous);
}

bool PicEdit::maybeSave() {
    if (!modified_ || !shown_->hasImage()) return true;
    const QString text = path_ + " has changed.  Do you want to save changes?";
    switch (platform::MessageBox(text.toStdString(), ProgramName().toStdString(),
                                 platform::MB_YESNOCANCEL | platform::MB_ICONQUESTION)) {
        case platform::BoxAnswer::Yes:
            return save();
        case platform::BoxAnswer::No:
            return true;
        default:
            return false;
    }
}

void PicEdit::showFailure(Failure failure, const QString& name, std::uint32_t number) {
    platform::MessageBox(FailureText(failure, name, number).toStdString(),
                         ProgramName().toStdString(),
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void PicEdit::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void PicEdit::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
}

void PicEdit::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            openFile(url.toLocalFile());
            return;
        }
}

void PicEdit::updateTitle() {
    if (path_.isEmpty()) {
        setWindowTitle(ProgramName());
    } else {
        const QString name = path_ == kUntitled ? path_ : QFileInfo(path_).fileName();
        setWindowTitle(name + "[*] - " + ProgramName());
    }
    setWindowModified(modified_);
}

void PicEdit::updateStatus() {
    const QString ratio = RatioText(zoom());
    zoomLabel_->setText(ratio);
    if (!shown_->hasImage()) {
        statusInfo_->clear();
        return;
    }
    const QSize size = imageSize();
    statusInfo_->setText(tr("%1 × %2 pixels, %3-bit, zoom %4")
                             .arg(size.width())
                             .arg(size.height())
                             .arg(shown_->getInt("ColorDepth"))
                             .arg(ratio));
}

}  // namespace pm32::viewer
