#include "viewer/image_file_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "viewer/failure_messages.h"
#include "viewer/help_page.h"
#include "viewer/image_files.h"
#include "viewer/settings.h"

namespace pm32::viewer {
namespace {

constexpr const char* kProgram = "Vistel/32";

bool reads(FileDialogMode mode) {
    return mode == FileDialogMode::Open || mode == FileDialogMode::ConvertSources;
}

bool writesFormat(FileDialogMode mode) {
    return mode == FileDialogMode::SaveAs || mode == FileDialogMode::ConvertTarget;
}

}  // namespace

QString CaptionOf(FileDialogMode mode) {
    switch (mode) {
        case FileDialogMode::Open:
            return "Choose file to open";
        case FileDialogMode::SaveAs:
            return "Save File As";
        case FileDialogMode::ConvertSources:
            return "Choose Files to convert";
        case FileDialogMode::ConvertTarget:
            return "Choose Format and Directory";
    }
    return {};
}

ImageFileDialog::ImageFileDialog(FileDialogMode mode, ViewerSettings& settings, QWidget* parent)
    : QDialog(parent), mode_(mode), settings_(settings), types_(FileTypes(reads(mode))) {
    setObjectName("dialog");
    setWindowTitle(CaptionOf(mode));
    buildWidgets();
    fillDrives();

    const std::optional<std::size_t> saved = SaveFormatIndex(settings_.defaultSaveAsExtension());
    formatButtons_[saved.value_or(1)]->setChecked(true);
    qualityBox_->setText(QString::number(settings_.jpegQuality()));
    progressiveBox_->setChecked(settings_.progressiveDisplay());
    autoPreviewBox_->setChecked(settings_.autoPreview());
    chooseFormat(static_cast<int>(saved.value_or(1)));

    const QString remembered = settings_.text(writesFormat(mode) ? "LastSavePath" : "LastLoadPath");
    if (remembered.isEmpty() || !setFolder(remembered)) setFolder(QDir::currentPath());
}

// The preview control goes before the widget it shows in.
ImageFileDialog::~ImageFileDialog() { preview_.reset(); }

void ImageFileDialog::buildWidgets() {
    auto* layout = new QGridLayout(this);

    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName("Text1");
    auto* nameLabel = new QLabel("File &Name:", this);
    nameLabel->setBuddy(nameBox_);
    fileList_ = new QListWidget(this);
    fileList_->setObjectName("File1");
    fileList_->setSelectionMode(mode_ == FileDialogMode::ConvertSources
                                    ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
    connect(fileList_, &QListWidget::itemSelectionChanged, this,
            &ImageFileDialog::followFileSelection);
    connect(fileList_, &QListWidget::itemActivated, this, &ImageFileDialog::accept);
    typeBox_ = new QComboBox(this);
    typeBox_->setObjectName("Combo1");
    for (const FileType& type : types_)
        typeBox_->addItem(type.caption + " (" + type.pattern + ")", type.pattern);
    connect(typeBox_, &QComboBox::currentIndexChanged, this, &ImageFileDialog::chooseType);
    auto* typeLabel = new QLabel("List Files of &Type:", this);
    typeLabel->setBuddy(typeBox_);

    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName("folderPath");
    folderList_ = new QListWidget(this);
    folderList_->setObjectName("Dir1");
    connect(folderList_, &QListWidget::itemActivated, this, &ImageFileDialog::enterActivatedFolder);
    auto* folderCaption = new QLabel("&Directories:", this);
    folderCaption->setBuddy(folderList_);
    driveBox_ = new QComboBox(this);
    driveBox_->setObjectName("Drive1");
    connect(driveBox_, &QComboBox::activated, this, &ImageFileDialog::chooseDrive);
    auto* driveLabel = new QLabel("Dri&ves:", this);
    driveLabel->setBuddy(driveBox_);

    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(nameBox_, 1, 0);
    layout->addWidget(fileList_, 2, 0);
    layout->addWidget(typeLabel, 3, 0);
    layout->addWidget(typeBox_, 4, 0);
    layout->addWidget(folderCaption, 0, 1);
    layout->addWidget(folderLabel_, 1, 1);
    layout->addWidget(folderList_, 2, 1);
    layout->addWidget(driveLabel, 3, 1);
    layout->addWidget(driveBox_, 4, 1);

    formatGroup_ = new QGroupBox(
        mode_ == FileDialogMode::ConvertTarget ? "Save files as:" : "File Extension", this);
    formatGroup_->setObjectName("saveAsGroup");
    auto* formats = new QGridLayout(formatGroup_);
    for (std::size_t i = 0; i < formatButtons_.size(); ++i) {
        formatButtons_[i] =
            new QRadioButton(QString(SaveFormats()[i].extension).toUpper(), formatGroup_);
        formatButtons_[i]->setObjectName(QString("optSaveAs_%1").arg(i));
        formats->addWidget(formatButtons_[i], static_cast<int>(i) / 4, static_cast<int>(i) % 4);
        const int index = static_cast<int>(i);
        connect(formatButtons_[i], &QRadioButton::toggled, this, [this, index](bool on) {
            if (on) chooseFormat(index);
        });
    }
    defaultBox_ = new QCheckBox("Make Default", formatGroup_);
    defaultBox_->setObjectName("chkDefault");
    progressiveBox_ = new QCheckBox("Progressive JPG", formatGroup_);
    progressiveBox_->setObjectName("Check2");
    qualityBox_ = new QLineEdit(formatGroup_);
    qualityBox_->setObjectName("Text2");
    qualityBox_->setValidator(new QIntValidator(0, 999, qualityBox_));
    qualityBox_->setMaximumWidth(60);
    auto* qualityLabel = new QLabel("JPG Quality Value", formatGroup_);
    qualityLabel->setBuddy(qualityBox_);
    formats->addWidget(defaultBox_, 2, 0, 1, 2);
    formats->addWidget(progressiveBox_, 2, 2, 1, 2);
    formats->addWidget(qualityLabel, 3, 0, 1, 2);
    formats->addWidget(qualityBox_, 3, 2);
    layout->addWidget(formatGroup_, 5, 0, 1, 2);

    auto* previewColumn = new QVBoxLayout;
    previewHost_ = new platform::WidgetWindowHost(this);
    previewHost_->setObjectName("PicKnife");
    previewHost_->setMinimumSize(160, 120);
    preview_ = std::make_unique<Picbuf>(previewHost_);
    preview_->put("AutoScale", Variant::Bool(true));
    sizeLabel_ = new QLabel(this);
    sizeLabel_->setObjectName("lblimagesize");
    autoPreviewBox_ = new QCheckBox("Auto Preview", this);
    autoPreviewBox_->setObjectName("Check1");
    previewButton_ = new QPushButton("Preview", this);
    previewButton_->setObjectName("CmdPreview");
    connect(previewButton_, &QPushButton::clicked, this, &ImageFileDialog::showPreview);
    previewColumn->addWidget(previewHost_, 1);
    previewColumn->addWidget(sizeLabel_);
    previewColumn->addWidget(autoPreviewBox_);
    previewColumn->addWidget(previewButton_);
    layout->addLayout(previewColumn, 0, 2, 5, 1);

    auto* buttons = new QVBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &ImageFileDialog::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    connect(cancel, &QPushButton::clicked, this, &ImageFileDialog::reject);
    auto* help = new QPushButton("&Help", this);
    help->setObjectName("cmdHelp");
    connect(help, &QPushButton::clicked, this, &ImageFileDialog::showHelp);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    buttons->addStretch(1);
    layout->addLayout(buttons, 0, 3, 5, 1);

    const bool saving = writesFormat(mode_);
    formatGroup_->setVisible(saving);
    const bool previewing = mode_ != FileDialogMode::ConvertTarget;
    for (QWidget* widget :
         {static_cast<QWidget*>(previewHost_), static_cast<QWidget*>(sizeLabel_),
          static_cast<QWidget*>(autoPreviewBox_), static_cast<QWidget*>(previewButton_)})
        widget->setVisible(previewing);
    // Converting chooses a folder only: the sources keep their own names.
    nameLabel->setVisible(mode_ != FileDialogMode::ConvertTarget);
    nameBox_->setVisible(mode_ != FileDialogMode::ConvertTarget);
    if (mode_ == FileDialogMode::ConvertTarget)
        fileList_->setSelectionMode(QAbstractItemView::NoSelection);
}

void ImageFileDialog::fillDrives() {
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName();
        driveBox_->addItem(name == root ? root : root + " [" + name + "]", root);
    }
}

bool ImageFileDialog::setFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) return false;
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    listFolder();
    // The drive box shows the volume that holds the folder.
    const QString root = QStorageInfo(folder_).rootPath();
    const int drive = driveBox_->findData(root);
    if (drive >= 0) driveBox_->setCurrentIndex(drive);
    return true;
}

void ImageFileDialog::listFolder() {
    folderLabel_->setText(folder_);
    const QDir dir(folder_);
    folderList_->clear();
    if (!dir.isRoot()) folderList_->addItem("..");
    folderList_->addItems(
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    fileList_->clear();
    const std::size_t type = static_cast<std::size_t>(std::max(0, typeBox_->currentIndex()));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (MatchesType(name, types_[type])) fileList_->addItem(name);
}

void ImageFileDialog::setFileName(const QString& name) { nameBox_->setText(name); }

void ImageFileDialog::enterFolder(const QString& name) {
    setFolder(QDir(folder_).absoluteFilePath(name));
}

void ImageFileDialog::enterActivatedFolder(QListWidgetItem* item) {
    if (item != nullptr) enterFolder(item->text());
}

void ImageFileDialog::chooseDrive(int index) {
    if (index < 0) return;
    setFolder(driveBox_->itemData(index).toString());
}

void ImageFileDialog::chooseType(int index) {
    if (index >= 0) listFolder();
}

void ImageFileDialog::chooseFormat(int index) {
    if (index < 0 || index >= static_cast<int>(formatButtons_.size())) return;
    const auto at = static_cast<std::size_t>(index);
    if (!formatButtons_[at]->isChecked()) formatButtons_[at]->setChecked(true);
    const QString extension = SaveFormats()[at].extension;
    // A typed name of a format we write follows the button.
    const QString name = nameBox_->text().trimmed();
    const QFileInfo typed(name);
    if (!name.isEmpty() && SaveFormatIndex(typed.suffix()))
        nameBox_->setText(name.left(name.size() - typed.suffix().size() - 1) + extension);
    followFormat();
}

void ImageFileDialog::followFormat() {
    const SaveOptions options = saveOptions();
    const bool png = options.extension == ".png";
    const bool jpeg = options.extension == ".jpg";
    progressiveBox_->setText(png ? "Progressive PNG" : "Progressive JPG");
    progressiveBox_->setEnabled(png || jpeg);
    qualityBox_->setEnabled(jpeg);
}

SaveOptions ImageFileDialog::saveOptions() const {
    SaveOptions options;
    for (std::size_t i = 0; i < formatButtons_.size(); ++i)
        if (formatButtons_[i]->isChecked()) options.extension = SaveFormats()[i].extension;
    options.jpegQuality = JpegQualityOfText(qualityBox_->text());
    options.progressive = progressiveBox_->isChecked();
    return options;
}

void ImageFileDialog::followFileSelection() {
    const QList<QListWidgetItem*> selected = fileList_->selectedItems();
    if (selected.isEmpty()) return;
    if (mode_ == FileDialogMode::ConvertSources && selected.size() > 1) {
        QStringList names;
        for (const QListWidgetItem* item : selected) names << '"' + item->text() + '"';
        nameBox_->setText(names.join(' '));
    } else {
        nameBox_->setText(selected.constFirst()->text());
    }
    if (mode_ == FileDialogMode::SaveAs) {
        if (const auto index = SaveFormatIndex(QFileInfo(selected.constFirst()->text()).suffix()))
            formatButtons_[*index]->setChecked(true);
    }
    if (autoPreviewBox_->isChecked()) showPreview();
}

void ImageFileDialog::showPreview() {
    QString name = nameBox_->text().trimmed();
    if (const QList<QListWidgetItem*> selected = fileList_->selectedItems(); !selected.isEmpty())
        name = selected.constFirst()->text();
    const QString path = QDir(folder_).absoluteFilePath(name);
    if (name.isEmpty() || !QFileInfo(path).isFile()) return;
    std::optional<Failure> failure = CheckReadable(path);
    std::uint32_t number = 0;
    if (!failure) {
        number = LoadImage(*preview_, path, FormatOfPath(path), settings_.modernFiles());
        if (number != 0) failure = FailureOfLoad(number);
    }
    if (failure) {
        preview_->call("Clear");
        sizeLabel_->clear();
        platform::MessageBox(FailureText(*failure, path, number).toStdString(), kProgram,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return;
    }
    sizeLabel_->setText(QString("%1 x %2 pixels")
                            .arg(preview_->getInt("Xresolution"))
                            .arg(preview_->getInt("Yresolution")));
}

void ImageFileDialog::showHelp() { QDesktopServices::openUrl(QUrl::fromLocalFile(HelpPagePath())); }

QString ImageFileDialog::typedPath() const {
    const QString name = nameBox_->text().trimmed();
    if (name.isEmpty() || name.endsWith('/') || name.contains(QChar(0))) return {};
    const QFileInfo typed(QDir(folder_).absoluteFilePath(name));
    if (typed.fileName() == "." || typed.fileName() == "..") return {};
    QString path = QDir::cleanPath(typed.absoluteFilePath());
    if (mode_ == FileDialogMode::SaveAs && !SaveFormatIndex(typed.suffix()))
        path += saveOptions().extension;
    return path;
}

void ImageFileDialog::refuseName() {
    platform::MessageBox("No valid filename selected", kProgram,
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

bool ImageFileDialog::acceptForReading() {
    QStringList paths;
    const QList<QListWidgetItem*> selected = fileList_->selectedItems();
    if (mode_ == FileDialogMode::ConvertSources && selected.size() > 1) {
        for (const QListWidgetItem* item : selected)
            paths << QDir(folder_).absoluteFilePath(item->text());
    } else {
        const QString path = typedPath();
        // A typed folder is entered rather than opened.
        if (!path.isEmpty() && QFileInfo(path).isDir()) {
            setFolder(path);
            nameBox_->clear();
            return false;
        }
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            refuseName();
            return false;
        }
        paths << path;
    }
    chosen_ = paths;
    return true;
}

bool ImageFileDialog::acceptForSaving() {
    const QString path = typedPath();
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        refuseName();
        return false;
    }
    // The name's own extension chooses the format when it is one we write.
    if (const auto index = SaveFormatIndex(QFileInfo(path).suffix()))
        formatButtons_[*index]->setChecked(true);
    if (QFileInfo::exists(path) &&
        platform::MessageBox((path + " exists.  Overwrite? ").toStdString(), kProgram,
                             platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::BoxAnswer::Yes)
        return false;
    chosen_ = {path};
    return true;
}

void ImageFileDialog::accept() {
    bool done = true;
    switch (mode_) {
        case FileDialogMode::Open:
        case FileDialogMode::ConvertSources:
            done = acceptForReading();
            break;
        case FileDialogMode::SaveAs:
            done = acceptForSaving();
            break;
        case FileDialogMode::ConvertTarget:
            chosen_ = {folder_};
            break;
    }
    if (!done) return;
    rememberSettings();
    QDialog::accept();
}

void ImageFileDialog::rememberSettings() {
    settings_.setAutoPreview(autoPreviewBox_->isChecked());
    if (!writesFormat(mode_)) return;
    const SaveOptions options = saveOptions();
    settings_.setText("JPEGLossValue", QString::number(options.jpegQuality));
    settings_.setProgressiveDisplay(options.progressive);
    if (defaultBox_->isChecked()) settings_.setText("DefaultSaveAsExtension", options.extension);
}

}  // namespace pm32::viewer
