#pragma once

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/record_set.h"
#include "control/sql_connection.h"
#include "platform/automation/dispatch.h"
#include "platform/toolkit_export.h"

namespace pm32::control {

// What a bound control hears of the cursor: the row is about to change (a
// modified image goes back to its row; throwing stops the move), and it has
// changed.
class RowListener {
  public:
    virtual ~RowListener() = default;
    virtual void SyncBefore() = 0;
    virtual void SyncAfter() = 0;
};

// A data source for bound controls, as a form's data control is: a database
// (DatabaseName), a record source (RecordSource: a table or a SELECT), a
// current row moved by MoveFirst, MoveNext, MovePrevious and MoveLast, with
// RecordCount, AbsolutePosition (from 0; -1 off the rows), EOF and BOF. Its
// own failures are automation errors that say what went wrong.
class PM32_TOOLKIT_API DataSource : public automation::Dispatch {
  public:
    DataSource() = default;
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;
    ~DataSource() override;

    std::optional<automation::DispId> GetIdOfName(std::string_view name) const override;
    automation::Variant Invoke(automation::DispId id, automation::InvokeKind kind,
                               std::span<automation::Variant> args) override;
    const automation::TypeInfo& GetTypeInfo() const override;

    void Attach(RowListener* listener);
    void Detach(RowListener* listener);

    // The binary columns of the record source; empty while nothing is open.
    std::vector<std::string> BlobColumns() const;
    // Whether there is a current row.
    bool OnRow() const { return records_ && position_ >= 0 && position_ < records_->Count(); }
    // The current row's value of a column: nullopt for NULL; raises an
    // automation error when it cannot be read.
    std::optional<QByteArray> Value(const std::string& column) const;
    // Writes the current row's column; raises an automation error, the row
    // left as it was, when that fails.
    void Write(const std::string& column, const QByteArray& bytes) const;

    // Opens the database and the record source afresh, on the first row.
    void Refresh();
    void MoveTo(int position);

  private:
    int count() const { return records_ ? records_->Count() : 0; }
    void setDatabaseName(std::string name);
    // Tells every bound listener; a throwing SyncBefore stops the change.
    void syncBefore();
    void syncAfter();

    std::string databaseName_;
    std::string recordSource_;
    std::unique_ptr<SqlConnection> connection_;
    std::unique_ptr<RecordSet> records_;
    int position_ = -1;
    std::vector<RowListener*> listeners_;
};

}  // namespace pm32::control
