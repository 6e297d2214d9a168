#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace pm32::viewer {

class Picbuf;

// The information window: the image's type, file size, width and height
// under "Image Information", its file's name, format and modified state
// under "File Information".
class InformationWindow : public QDialog {
    Q_OBJECT

  public:
    // The path is the shown file's, empty or "(NoName)" for an image that has
    // no file.
    InformationWindow(Picbuf& shown, const QString& path, bool modified, QWidget* parent = nullptr);

    // The value shown in a row, by its caption ("Type", "File Name", ...).
    QString row(const QString& caption) const;
};

}  // namespace pm32::viewer
