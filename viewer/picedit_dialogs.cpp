#include <QFile>
#include <QFileInfo>

#include "platform/message_box.h"
#include "viewer/adjust_dialog.h"
#include "viewer/batch_conversion.h"
#include "viewer/image_file_dialog.h"
#include "viewer/image_steps.h"
#include "viewer/information_window.h"
#include "viewer/picedit.h"
#include "viewer/print_dialog.h"
#include "viewer/resize_dialog.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

bool askYesNo(const QString& text) {
    return platform::MessageBox(text.toStdString(), PicEdit::ProgramName().toStdString(),
                                platform::MB_YESNO | platform::MB_ICONQUESTION) ==
           platform::BoxAnswer::Yes;
}

QString failureReport(const std::vector<ConversionFailure>& failed) {
    QString text = "These files were not converted:";
    for (const ConversionFailure& failure : failed)
        text += "\n\n" + failure.source + ": " + failure.reason;
    return text;
}

}  // namespace

void PicEdit::convertFiles() {
    if (shown_->hasImage()) {
        if (!askYesNo("The current image will have to be closed, since the picture buffer will "
                      "be used for the file conversion process.  Proceed?"))
            return;
        if (!maybeSave()) return;
        dropImage();
    }
    ImageFileDialog sources(FileDialogMode::ConvertSources, settings_, this);
    if (sources.exec() != QDialog::Accepted) return;
    ImageFileDialog target(FileDialogMode::ConvertTarget, settings_, this);
    target.setFolder(sources.folder());
    if (target.exec() != QDialog::Accepted) return;

    // The progress window is a window of its own: the main window takes no
    // commands while the working buffer is in use, only Cancel works.
    ConversionProgress progress;
    progress.show();
    setEnabled(false);
    const ConversionResult result =
        ConvertFiles(*working_, sources.chosenFiles(), target.folder(), target.saveOptions(),
                     settings_.modernFiles(), progress);
    setEnabled(true);
    progress.hide();
    if (!result.failed.empty())
        platform::MessageBox(failureReport(result.failed).toStdString(),
                             ProgramName().toStdString(),
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
    // Only a file whose converted copy was written may go, and never one
    // the conversion wrote over.
    if (result.converted.isEmpty() || !askYesNo("Delete original files from your disk?")) return;
    QStringList kept;
    for (const QString& source : result.converted)
        if (!QFile::remove(source)) kept << source;
    if (!kept.isEmpty())
        platform::MessageBox(
            ("These files could not be deleted:\n" + kept.join('\n')).toStdString(),
            ProgramName().toStdString(), platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void PicEdit::print() {
    if (!shown_->hasImage()) return;
    PrintDialog dialog(*shown_, settings_, this);
    dialog.exec();
}

void PicEdit::showResize() {
    if (!shown_->hasImage()) return;
    ResizeDialog dialog(*shown_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const QSize size = dialog.chosenSize();
    if (size == imageSize()) return;
    runCommand("Undo Resize", [this, size] { resizeTo(size); });
}

void PicEdit::showTune() {
    if (!shown_->hasImage()) return;
    AdjustDialog dialog(*shown_, TunePositionsOf(settings_.text("TuneSpot")), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const TunePositions positions = dialog.positions();
    settings_.setText("TuneSpot", TuneSpotText(positions));
    if (!ChangesBrightCont(positions) && !ChangesGamma(positions)) return;
    runCommand("Undo Tune", [this, positions] {
        throughWorkingBuffer([this, positions] { ApplyTune(*working_, positions); });
    });
}

void PicEdit::showInformation() {
    if (!shown_->hasImage()) return;
    InformationWindow window(*shown_, path_, modified_, this);
    window.exec();
}

}  // namespace pm32::viewer
