#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

#include "viewer/file_types.h"
#include "viewer/picbuf.h"
#include "viewer/save_options.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace pm32::viewer {

class ViewerSettings;

// The four uses of the one file dialog, each with its own caption.
enum class FileDialogMode { Open, SaveAs, ConvertSources, ConvertTarget };

QString CaptionOf(FileDialogMode mode);

// The viewer's file dialog: name box, folder list, file list, drives, the
// type list, and, when saving, the seven format buttons with "Make
// Default", the progressive box and the JPEG quality; when choosing files to
// read, a preview control with the image's size. A name the dialog cannot
// use is refused with "No valid filename selected"; saving over a file asks
// first. Accepting writes the dialog's settings.
class ImageFileDialog : public QDialog {
    Q_OBJECT

  public:
    // The settings must outlive the dialog.
    ImageFileDialog(FileDialogMode mode, ViewerSettings& settings, QWidget* parent = nullptr);
    ~ImageFileDialog() override;

    QString folder() const { return folder_; }
    // Lists the folder; false (nothing changes) when it cannot be read.
    bool setFolder(const QString& folder);
    void setFileName(const QString& name);
    // The files chosen when the dialog was accepted, with absolute paths.
    QStringList chosenFiles() const { return chosen_; }
    SaveOptions saveOptions() const;
    Picbuf& preview() { return *preview_; }

  public slots:
    void accept() override;
    // Enters a folder of the folder list by its name ("..": the parent).
    void enterFolder(const QString& name);
    void chooseDrive(int index);
    void chooseType(int index);
    void chooseFormat(int index);
    // Loads the selected (or named) file into the preview control; a file
    // that does not load is reported and the preview emptied.
    void showPreview();
    void showHelp();

  private slots:
    void followFileSelection();
    void enterActivatedFolder(QListWidgetItem* item);

  private:
    void buildWidgets();
    void listFolder();
    void fillDrives();
    // The absolute path the name box names (with the chosen extension when
    // saving), empty when no file can be made of it.
    QString typedPath() const;
    bool acceptForReading();
    bool acceptForSaving();
    void refuseName();
    void rememberSettings();
    // The progressive box and the quality box follow the chosen format.
    void followFormat();

    FileDialogMode mode_;
    ViewerSettings& settings_;
    QString folder_;
    QStringList chosen_;
    std::vector<FileType> types_;
    QLineEdit* nameBox_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QListWidget* folderList_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QComboBox* driveBox_ = nullptr;
    QComboBox* typeBox_ = nullptr;
    QGroupBox* formatGroup_ = nullptr;
    std::array<QRadioButton*, 7> formatButtons_{};
    QCheckBox* defaultBox_ = nullptr;
    QCheckBox* progressiveBox_ = nullptr;
    QCheckBox* autoPreviewBox_ = nullptr;
    QLineEdit* qualityBox_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    platform::WidgetWindowHost* previewHost_ = nullptr;
    std::unique_ptr<Picbuf> preview_;
};

}  // namespace pm32::viewer
