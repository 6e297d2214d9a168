#pragma once

#include <QByteArray>
#include <QVariant>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/sql_connection.h"

namespace pm32::control {

// The rows of a record source: a table, whose rows are found again by their
// primary key (SQLite's rowid when it has none) and whose BLOB columns can be
// written, or a SELECT statement, read only, whose rows are found by their
// place. Rows count from 0 in the key's order (the statement's for a SELECT).
class RecordSet {
  public:
    // Null with the reason in problem when the source cannot be read.
    static std::unique_ptr<RecordSet> Open(const SqlConnection& connection,
                                           const std::string& source, std::string& problem);

    int Count() const { return count_; }
    // The columns that hold binary data (BLOB, bytea), in column order.
    const std::vector<std::string>& BlobColumns() const { return blobColumns_; }

    // The value of a column in a row: nullopt for NULL; raises nothing, but
    // problem is set and nullopt returned when the row cannot be read.
    std::optional<QByteArray> Value(int row, const std::string& column, std::string& problem) const;

    // Replaces a column's value in a row in one transaction; false, with the
    // reason and the row as it was, when that cannot be done.
    bool Write(int row, const std::string& column, const QByteArray& bytes,
               std::string& problem) const;

  private:
    RecordSet(const SqlConnection& connection, std::string source)
        : connection_(connection), source_(std::move(source)) {}
    bool load(std::string& problem);
    QString whereKey() const;

    const SqlConnection& connection_;
    std::string source_;
    bool isTable_ = false;
    QString quotedTable_;
    std::vector<QString> keyColumns_;
    std::vector<std::vector<QVariant>> keys_;
    std::vector<std::string> blobColumns_;
    int count_ = 0;
};

}  // namespace pm32::control
