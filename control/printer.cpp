#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <string>

#include "control/pm32.h"
#include "platform/gdi/device_dc.h"
#include "platform/window/gui_application.h"

namespace pm32 {
namespace {

constexpr std::string_view kQueuePrefix = "cups:";
constexpr int kPdfDotsPerInch = 300;

[[noreturn]] void refuse(const std::string& why) {
    throw AutomationError(E_FAIL, why, "Pixmill32.Printer");
}

std::unique_ptr<QPagedPaintDevice> pdfWriter(std::string_view path) {
    auto writer = std::make_unique<QPdfWriter>(QString::fromUtf8(path.data(), path.size()));
    writer->setResolution(kPdfDotsPerInch);
    writer->setPageSize(QPageSize(QPageSize::A4));
    // Device pixels count from the paper's corner, as on a printer's page.
    writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    writer->setCreator("Pixmill32");
    return writer;
}

std::unique_ptr<QPagedPaintDevice> queuePrinter(std::string_view queue) {
    const QPrinterInfo info =
        QPrinterInfo::printerInfo(QString::fromUtf8(queue.data(), queue.size()));
    if (info.isNull()) refuse("there is no printer queue named '" + std::string(queue) + "'");
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName("Pixmill32");
    printer->setFullPage(true);
    return printer;
}

}  // namespace

// The context goes before the device it paints on: ending it ends the page.
struct Printer::State {
    std::unique_ptr<QPagedPaintDevice> device;
    platform::gdi::HDC context = 0;

    ~State() { end(); }
    void end() {
        if (context != 0) platform::gdi::DeleteDeviceDC(context);
        context = 0;
        device.reset();
    }
};

Printer::Printer(std::string_view target) : state_(std::make_unique<State>()) {
    const bool pdf = target.size() > 4 && target.ends_with(".pdf");
    const bool queue = target.size() > kQueuePrefix.size() && target.starts_with(kQueuePrefix);
    if (!pdf && !queue)
        refuse("a printer is a file name ending in .pdf or cups:QUEUE, not '" +
               std::string(target) + "'");
    if (platform::EnsureGuiApplication() == nullptr)
        refuse("printing needs a graphical application");
    state_->device = queue ? queuePrinter(target.substr(kQueuePrefix.size())) : pdfWriter(target);
    state_->context = platform::gdi::CreateDeviceDC(*state_->device);
    if (state_->context == 0) refuse("cannot print to " + std::string(target));
}

Printer::~Printer() = default;
Printer::Printer(Printer&&) noexcept = default;
Printer& Printer::operator=(Printer&&) noexcept = default;

std::uint32_t Printer::context() const { return state_ ? state_->context : 0; }

void Printer::end() {
    if (state_) state_->end();
}

}  // namespace pm32
