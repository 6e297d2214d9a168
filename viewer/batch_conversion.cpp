#include "viewer/batch_conversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/failure_messages.h"
#include "viewer/image_files.h"
#include "viewer/image_steps.h"

namespace pm32::viewer {

ConversionProgress::ConversionProgress(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProgress");
    setWindowTitle("Vistel/32");
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName("lblCopying");
    text_->setWordWrap(true);
    text_->setMinimumWidth(360);
    layout->addWidget(text_);
    auto* cancelButton = new QPushButton("Cancel", this);
    cancelButton->setObjectName("cmdCancel");
    connect(cancelButton, &QPushButton::clicked, this, &ConversionProgress::cancel);
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
}

void ConversionProgress::showCopying(const QString& source, const QString& target) {
    text_->setText("Copying " + source + " to " + target);
}

QString ConversionTarget(const QString& source, const QString& folder, const SaveOptions& options) {
    return QDir::cleanPath(
        QDir(folder).absoluteFilePath(QFileInfo(source).completeBaseName() + options.extension));
}

ConversionResult ConvertFiles(Picbuf& working, const QStringList& sources, const QString& folder,
                              const SaveOptions& options, bool modernFiles,
                              ConversionProgress& progress) {
    ConversionResult result;
    QStringList absoluteSources;
    for (const QString& source : sources)
        absoluteSources << QDir::cleanPath(QFileInfo(source).absoluteFilePath());
    for (int i = 0; i < absoluteSources.size(); ++i) {
        const QString& source = absoluteSources[i];
        const QString target = ConversionTarget(source, folder, options);
        progress.showCopying(source, target);
        emit progress.fileStarting(i);
        // The window repaints and the user's Cancel arrives between files.
        QCoreApplication::processEvents();
        if (progress.cancelled()) break;
        if (target != source && absoluteSources.contains(target)) {
            result.failed.push_back({source, "The converted file would replace " + target +
                                                 ", which is to be converted too."});
            continue;
        }
        if (std::optional<Failure> failure = CheckReadable(source)) {
            result.failed.push_back({source, FailureText(*failure, source)});
            continue;
        }
        if (const std::uint32_t number =
                LoadImage(working, source, FormatOfPath(source), modernFiles)) {
            result.failed.push_back({source, FailureText(FailureOfLoad(number), source, number)});
            continue;
        }
        if (std::optional<Failure> failure = CheckWritable(target)) {
            result.failed.push_back({source, FailureText(*failure, target)});
            continue;
        }
        if (const std::uint32_t number = StoreWithOptions(working, target, options)) {
            result.failed.push_back({source, FailureText(FailureOfStore(number), target, number)});
            continue;
        }
        (target == source ? result.convertedInPlace : result.converted) << source;
    }
    working.call("Clear");
    return result;
}

}  // namespace pm32::viewer
