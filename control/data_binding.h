#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/data_source.h"
#include "engine/zdib.h"
#include "formats/format_codes.h"

namespace pm32::control {

class ZPm32;

// A control's binding to a data source's BLOB column named by DataField: at
// run time the control shows the current row's image, and an image changed
// since it was shown goes back to its row before the row changes, in the
// format it came in (JPEG at ImageCompression), PNG when it came from nothing.
class DataBinding : public RowListener {
  public:
    explicit DataBinding(ZPm32& owner) : owner_(owner) {}
    ~DataBinding() override;
    DataBinding(const DataBinding&) = delete;
    DataBinding& operator=(const DataBinding&) = delete;

    // Binds to the source (null unbinds); an object that is no data source
    // leaves the control unbound.
    void SetSource(const automation::DispatchPtr& source);
    // The DataField values a container offers: the source's BLOB columns.
    std::vector<std::string> BindableColumns() const;
    // DataField changed: the new column's image shows.
    void FieldChanged();
    // The control's image changed (its Change event).
    void ImageChanged();
    bool Modified() const { return modified_; }

    void SyncBefore() override;
    void SyncAfter() override;

  private:
    std::optional<std::string> column() const;
    void show();
    void writeBack();
    void install(HGLOBAL image, FormatCode format);

    ZPm32& owner_;
    std::shared_ptr<DataSource> source_;
    bool modified_ = false;
    bool installing_ = false;
    FormatCode format_ = kFormatPng;
};

}  // namespace pm32::control
