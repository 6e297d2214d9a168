#include "tools/picbuf/printer_target.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/window/gui_application.h"

namespace pm32::tools {
namespace {

constexpr std::string_view kQueuePrefix = "cups:";
constexpr std::string_view kPrinterValue = "$printer";
constexpr int kPdfDotsPerInch = 300;

std::unique_ptr<QPagedPaintDevice> pdfWriter(const std::string& path) {
    auto writer = std::make_unique<QPdfWriter>(QString::fromStdString(path));
    writer->setResolution(kPdfDotsPerInch);
    writer->setPageSize(QPageSize(QPageSize::A4));
    // Device pixels count from the paper's corner, as on a printer's page.
    writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    writer->setCreator("picbuf");
    return writer;
}

std::unique_ptr<QPagedPaintDevice> queuePrinter(const std::string& queue, std::string& problem) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(queue));
    if (info.isNull()) {
        problem = "there is no printer queue named '" + queue + "'";
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName("picbuf");
    printer->setFullPage(true);
    return printer;
}

}  // namespace

std::unique_ptr<PrinterTarget> PrinterTarget::Open(const std::string& target,
                                                   std::string& problem) {
    if (platform::EnsureGuiApplication() == nullptr) {
        problem = "printing needs a graphical application";
        return nullptr;
    }
    std::unique_ptr<QPagedPaintDevice> device =
        target.starts_with(kQueuePrefix) ? queuePrinter(target.substr(kQueuePrefix.size()), problem)
                                         : pdfWriter(target);
    if (!device) return nullptr;
    const platform::gdi::HDC dc = platform::gdi::CreateDeviceDC(*device);
    if (dc == 0) {
        problem = "cannot print to " + target;
        return nullptr;
    }
    return std::unique_ptr<PrinterTarget>(new PrinterTarget(std::move(device), dc));
}

PrinterTarget::PrinterTarget(std::unique_ptr<QPagedPaintDevice> device, platform::gdi::HDC dc)
    : device_(std::move(device)), dc_(dc) {}

PrinterTarget::~PrinterTarget() { platform::gdi::DeleteDeviceDC(dc_); }

std::string WithPrinter(const std::string& statement, platform::gdi::HDC context) {
    std::string text = statement;
    const std::string number = std::to_string(context);
    for (std::size_t at = text.find(kPrinterValue); at != std::string::npos;
         at = text.find(kPrinterValue, at + number.size()))
        text.replace(at, kPrinterValue.size(), number);
    return text;
}

}  // namespace pm32::tools
