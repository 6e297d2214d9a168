#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;

namespace pm32::viewer {

// The printer list: the installed printers (and printing to a PDF file),
// the current one highlighted.
class PrinterList : public QDialog {
    Q_OBJECT

  public:
    PrinterList(const QStringList& printers, const QString& current, QWidget* parent = nullptr);

    // The highlighted entry; empty when none is.
    QString chosen() const;

  private:
    QListWidget* list_;
};

}  // namespace pm32::viewer
