#pragma once

#include <QPagedPaintDevice>
#include <memory>
#include <string>

#include "platform/gdi/device_dc.h"

namespace pm32::tools {

// The printer --printer names, open for the whole run: a PDF file or a CUPS
// queue with a device context on it. Closing it ends the document, which
// writes the file or sends the job.
class PrinterTarget {
  public:
    // "name.pdf" or "cups:QUEUE"; null with the reason in problem when the
    // printer cannot be opened.
    static std::unique_ptr<PrinterTarget> Open(const std::string& target, std::string& problem);
    ~PrinterTarget();
    PrinterTarget(const PrinterTarget&) = delete;
    PrinterTarget& operator=(const PrinterTarget&) = delete;

    platform::gdi::HDC Context() const { return dc_; }

  private:
    PrinterTarget(std::unique_ptr<QPagedPaintDevice> device, platform::gdi::HDC dc);

    std::unique_ptr<QPagedPaintDevice> device_;
    platform::gdi::HDC dc_;
};

// The statement with every "$printer" replaced by the context's number.
std::string WithPrinter(const std::string& statement, platform::gdi::HDC context);

}  // namespace pm32::tools
