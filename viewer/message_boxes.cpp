#include "viewer/message_boxes.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/message_box.h"

namespace pm32::viewer {
namespace {

using platform::BoxAnswer;

QMessageBox::StandardButtons buttonsOf(std::uint32_t style) {
    switch (style & 0x0F) {
        case platform::MB_OKCANCEL:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case platform::MB_ABORTRETRYIGNORE:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case platform::MB_YESNOCANCEL:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case platform::MB_YESNO:
            return QMessageBox::Yes | QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(std::uint32_t style) {
    switch (style & 0xF0) {
        case platform::MB_ICONHAND:
            return QMessageBox::Critical;
        case platform::MB_ICONQUESTION:
            return QMessageBox::Question;
        case platform::MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        default:
            return QMessageBox::Information;
    }
}

BoxAnswer answerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return BoxAnswer::Cancel;
        case QMessageBox::Abort:
            return BoxAnswer::Abort;
        case QMessageBox::Retry:
            return BoxAnswer::Retry;
        case QMessageBox::Ignore:
            return BoxAnswer::Ignore;
        case QMessageBox::Yes:
            return BoxAnswer::Yes;
        case QMessageBox::No:
            return BoxAnswer::No;
        default:
            return BoxAnswer::Ok;
    }
}

}  // namespace

void UseQtMessageBoxes() {
    platform::SetMessageBoxHandler(
        [](std::string_view text, std::string_view caption, std::uint32_t style) {
            QMessageBox box(iconOf(style), QString::fromUtf8(caption.data(), caption.size()),
                            QString::fromUtf8(text.data(), text.size()), buttonsOf(style),
                            QApplication::activeWindow());
            return answerOf(box.exec());
        });
}

}  // namespace pm32::viewer
