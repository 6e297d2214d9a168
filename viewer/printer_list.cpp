#include "viewer/printer_list.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pm32::viewer {

PrinterList::PrinterList(const QStringList& printers, const QString& current, QWidget* parent)
    : QDialog(parent) {
    setObjectName("PrnDrivSel");
    setWindowTitle("Select a printer...");
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName("PList");
    list_->addItems(printers);
    const QList<QListWidgetItem*> currentItems = list_->findItems(current, Qt::MatchExactly);
    if (!currentItems.isEmpty()) list_->setCurrentItem(currentItems.constFirst());
    connect(list_, &QListWidget::itemActivated, this, &PrinterList::accept);
    auto* heading = new QLabel("&Printers:  (Current Printer is Highlighted)", this);
    heading->setBuddy(list_);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BT_OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PrinterList::accept);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("BT_Cancel");
    connect(cancel, &QPushButton::clicked, this, &PrinterList::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

QString PrinterList::chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

}  // namespace pm32::viewer
