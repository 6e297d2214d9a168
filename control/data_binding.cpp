#include "control/data_binding.h"

#include <QFile>
#include <QTemporaryDir>
#include <span>

#include "control/dispids.h"
#include "control/file_loading.h"
#include "control/zpm32.h"
#include "engine/string_table.h"
#include "formats/content_format.h"
#include "formats/dispatch.h"
#include "platform/automation/automation_error.h"
#include "platform/text_compare.h"

namespace pm32::control {
namespace {

// The engine's readers and writers work on files: column bytes pass through
// a private temporary folder.
std::string scratchPath(const QTemporaryDir& folder) {
    return folder.filePath(QStringLiteral("row-image")).toStdString();
}

bool writable(FormatCode format) {
    return format == kFormatBmp || format == kFormatGif || format == kFormatJpeg ||
           format == kFormatPng || format == kFormatTiff || format == kFormatPcx ||
           format == kFormatTarga;
}

}  // namespace

DataBinding::~DataBinding() {
    if (source_) source_->Detach(this);
}

void DataBinding::SetSource(const automation::DispatchPtr& source) {
    if (source_) source_->Detach(this);
    source_ = std::dynamic_pointer_cast<DataSource>(source);
    modified_ = false;
    if (!source_) return;
    source_->Attach(this);
    show();
}

std::vector<std::string> DataBinding::BindableColumns() const {
    return source_ ? source_->BlobColumns() : std::vector<std::string>{};
}

std::optional<std::string> DataBinding::column() const {
    const std::string field = owner_.String(dispid::DataField);
    for (const std::string& name : BindableColumns())
        if (platform::EqualsIgnoringCase(name, field)) return name;
    return std::nullopt;
}

void DataBinding::FieldChanged() {
    modified_ = false;
    show();
}

void DataBinding::ImageChanged() {
    if (!installing_ && source_) modified_ = true;
}

void DataBinding::SyncAfter() { show(); }

void DataBinding::install(HGLOBAL image, FormatCode format) {
    installing_ = true;
    try {
        owner_.InstallImage(image, true);
    } catch (...) {
        installing_ = false;
        throw;
    }
    installing_ = false;
    modified_ = false;
    format_ = format;
}

void DataBinding::show() {
    const std::optional<std::string> bound = column();
    if (!owner_.RunTime() || !bound || !source_->OnRow()) return;
    std::optional<QByteArray> bytes;
    try {
        bytes = source_->Value(*bound);
    } catch (const automation::AutomationError&) {
        owner_.ReportError(err::BadFile);
    }
    try {
        if (!bytes || bytes->isEmpty()) {
            install(0, kFormatPng);
            return;
        }
        const auto* head = reinterpret_cast<const std::uint8_t*>(bytes->constData());
        const FormatCode format =
            IdentifyFormatByContent(std::span(head, static_cast<std::size_t>(bytes->size())));
        QTemporaryDir folder;
        QFile file(QString::fromStdString(scratchPath(folder)));
        ZDib image;
        if (format == kFormatUnrecognised) {
            image.error = err::BadFile;
        } else if (!folder.isValid() || !file.open(QIODevice::WriteOnly) ||
                   file.write(*bytes) != bytes->size() || !file.flush()) {
            image.error = err::BadFile;
        } else {
            file.close();
            LoadFile(image, scratchPath(folder), format, owner_.I2(dispid::ImageNumber),
                     LoadParamsOf(owner_));
        }
        if (image.error != 0 || image.handle == 0) {
            owner_.ReportError(image.error != 0 ? image.error : err::BadFile);
            install(0, kFormatPng);
            return;
        }
        install(image.Release(), format);
    } catch (const RaisedError& error) {
        owner_.ReportError(error.number);
    }
}

void DataBinding::SyncBefore() {
    try {
        writeBack();
    } catch (const RaisedError& raised) {
        // The move that asked is the data source's: its caller hears why.
        owner_.ReportError(raised.number);
        const auto message = LoadResourceString(raised.number);
        throw automation::AutomationError(automation::ControlScode(raised.number),
                                          message ? std::string(*message) : std::string(),
                                          "Pixmill32.Picbuf");
    }
}

void DataBinding::writeBack() {
    const std::optional<std::string> bound = column();
    if (!modified_ || !bound || !source_->OnRow()) return;
    QByteArray bytes;
    if (const ZDibHolder* holder = owner_.Image(); holder != nullptr) {
        QTemporaryDir folder;
        if (!folder.isValid()) Raise(err::BadFile);
        ZDib image;
        image.Attach(holder->handle, false, false, DepthRule::Any);
        if (image.error != 0) Raise(image.error);
        const FormatCode format = writable(format_) ? format_ : kFormatPng;
        const int compression = format == kFormatJpeg ? owner_.I2(dispid::ImageCompression) : 0;
        StoreFile(image, scratchPath(folder), format, compression, false, 0);
        if (image.error != 0 && format != kFormatPng) {
            // An image the old format cannot hold any more (a GIF now in true colour).
            image.error = 0;
            StoreFile(image, scratchPath(folder), kFormatPng, 0, false, 0);
        }
        if (image.error != 0) Raise(image.error);
        QFile file(QString::fromStdString(scratchPath(folder)));
        if (!file.open(QIODevice::ReadOnly)) Raise(err::BadFile);
        bytes = file.readAll();
    }
    source_->Write(*bound, bytes);
    modified_ = false;
}

}  // namespace pm32::control
