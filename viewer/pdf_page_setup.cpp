#include "viewer/pdf_page_setup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>

namespace pm32::viewer {

PdfPageSetup::PdfPageSetup(const QPageLayout& layout, QWidget* parent)
    : QDialog(parent), layout_(layout) {
    setObjectName("pdfPageSetup");
    setWindowTitle("Page Setup");
    auto* form = new QFormLayout(this);
    paper_ = new QComboBox(this);
    paper_->setObjectName("paperSize");
    for (QPageSize::PageSizeId id :
         {QPageSize::A4, QPageSize::Letter, QPageSize::Legal, QPageSize::A3, QPageSize::A5})
        paper_->addItem(QPageSize::name(id), static_cast<int>(id));
    paper_->setCurrentIndex(
        std::max(0, paper_->findData(static_cast<int>(layout.pageSize().id()))));
    form->addRow("Paper", paper_);

    auto* orientation = new QHBoxLayout;
    portrait_ = new QRadioButton("Portrait", this);
    portrait_->setObjectName("portrait");
    landscape_ = new QRadioButton("Landscape", this);
    landscape_->setObjectName("landscape");
    (layout.orientation() == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    form->addRow("Orientation", orientation);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PdfPageSetup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PdfPageSetup::reject);
    form->addRow(buttons);
}

QPageLayout PdfPageSetup::chosenLayout() const {
    QPageLayout chosen = layout_;
    chosen.setPageSize(
        QPageSize(static_cast<QPageSize::PageSizeId>(paper_->currentData().toInt())));
    chosen.setOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    return chosen;
}

}  // namespace pm32::viewer
