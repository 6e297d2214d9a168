#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "viewer/picbuf.h"
#include "viewer/save_options.h"

class QLabel;

namespace pm32::viewer {

// The window shown while files are converted: "Copying SOURCE to TARGET"
// and a Cancel button that stops the batch before the next file.
class ConversionProgress : public QDialog {
    Q_OBJECT

  public:
    explicit ConversionProgress(QWidget* parent = nullptr);

    void showCopying(const QString& source, const QString& target);
    bool cancelled() const { return cancelled_; }

  public slots:
    void cancel() { cancelled_ = true; }

  signals:
    // Before each file, once its names show, with its place in the batch.
    void fileStarting(int index);

  private:
    QLabel* text_;
    bool cancelled_ = false;
};

// One file that was not converted, and why.
struct ConversionFailure {
    QString source;
    QString reason;
};

struct ConversionResult {
    // Sources whose converted file was written; they may be deleted unless
    // the conversion wrote over the source itself.
    QStringList converted;
    QStringList convertedInPlace;
    std::vector<ConversionFailure> failed;
};

// The target of a source: its base name with the format's extension in the
// target folder.
QString ConversionTarget(const QString& source, const QString& folder, const SaveOptions& options);

// Loads each source into the working control and stores it in the folder in
// the chosen format; a file that fails is noted and the batch goes on. A
// target that is another of the sources is not written, so no chosen file
// is lost before it is read. The working control is empty afterwards.
// modernFiles is the LoadModernFiles the sources are loaded with.
ConversionResult ConvertFiles(Picbuf& working, const QStringList& sources, const QString& folder,
                              const SaveOptions& options, bool modernFiles,
                              ConversionProgress& progress);

}  // namespace pm32::viewer
