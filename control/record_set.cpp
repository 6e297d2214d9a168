#include "control/record_set.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace pm32::control {
namespace {

// A table name (optionally with its schema); anything else is a statement.
bool isTableName(const std::string& source) {
    return !source.empty() && std::ranges::all_of(source, [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
    });
}

std::vector<std::string> blobColumnsOf(const QSqlRecord& record) {
    std::vector<std::string> columns;
    for (int i = 0; i < record.count(); ++i) {
        if (record.field(i).metaType().id() == QMetaType::QByteArray)
            columns.push_back(record.fieldName(i).toStdString());
    }
    return columns;
}

std::string failure(const QSqlQuery& query) { return query.lastError().text().toStdString(); }

}  // namespace

std::unique_ptr<RecordSet> RecordSet::Open(const SqlConnection& connection,
                                           const std::string& source, std::string& problem) {
    std::unique_ptr<RecordSet> set(new RecordSet(connection, source));
    if (!set->load(problem)) return nullptr;
    return set;
}

bool RecordSet::load(std::string& problem) {
    QSqlDatabase db = connection_.database();
    QSqlDriver* driver = db.driver();
    const QString source = QString::fromStdString(source_);
    if (isTableName(source_)) {
        const QStringList tables = db.tables();
        if (!tables.contains(source, Qt::CaseInsensitive)) {
            problem = "the database has no table named " + source_;
            return false;
        }
        quotedTable_ = driver->escapeIdentifier(source, QSqlDriver::TableName);
        blobColumns_ = blobColumnsOf(db.record(source));
        const QSqlIndex primary = db.primaryIndex(source);
        for (int i = 0; i < primary.count(); ++i)
            keyColumns_.push_back(
                driver->escapeIdentifier(primary.fieldName(i), QSqlDriver::FieldName));
        if (keyColumns_.empty() && db.driverName() == QLatin1String("QSQLITE"))
            keyColumns_.push_back(QStringLiteral("rowid"));
        isTable_ = !keyColumns_.empty();
    }
    if (!isTable_) {
        // A statement, or a table whose rows nothing identifies: rows by place.
        quotedTable_ = isTableName(source_) ? quotedTable_ : "(" + source + ") AS pm32_rows";
        QSqlQuery columns(db);
        if (!columns.exec("SELECT * FROM " + quotedTable_ + " LIMIT 0")) {
            problem = "cannot read the record source: " + failure(columns);
            return false;
        }
        blobColumns_ = blobColumnsOf(columns.record());
        QSqlQuery count(db);
        if (!count.exec("SELECT COUNT(*) FROM " + quotedTable_) || !count.next()) {
            problem = "cannot count the rows: " + failure(count);
            return false;
        }
        count_ = count.value(0).toInt();
        return true;
    }
    const QString keys = QStringList(keyColumns_.begin(), keyColumns_.end()).join(',');
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec("SELECT " + keys + " FROM " + quotedTable_ + " ORDER BY " + keys)) {
        problem = "cannot read the rows: " + failure(rows);
        return false;
    }
    while (rows.next()) {
        std::vector<QVariant> key;
        for (std::size_t i = 0; i < keyColumns_.size(); ++i) key.push_back(rows.value(int(i)));
        keys_.push_back(std::move(key));
    }
    count_ = static_cast<int>(keys_.size());
    return true;
}

QString RecordSet::whereKey() const {
    QStringList terms;
    for (const QString& column : keyColumns_) terms << column + " = ?";
    return " WHERE " + terms.join(" AND ");
}

std::optional<QByteArray> RecordSet::Value(int row, const std::string& column,
                                           std::string& problem) const {
    QSqlDatabase db = connection_.database();
    const QString quoted =
        db.driver()->escapeIdentifier(QString::fromStdString(column), QSqlDriver::FieldName);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (isTable_) {
        query.prepare("SELECT " + quoted + " FROM " + quotedTable_ + whereKey());
        for (const QVariant& part : keys_.at(static_cast<std::size_t>(row)))
            query.addBindValue(part);
    } else {
        query.prepare("SELECT " + quoted + " FROM " + quotedTable_ + " LIMIT 1 OFFSET " +
                      QString::number(row));
    }
    if (!query.exec()) {
        problem = "cannot read row " + std::to_string(row + 1) + ": " + failure(query);
        return std::nullopt;
    }
    if (!query.next()) {
        problem = "row " + std::to_string(row + 1) + " is no longer there";
        return std::nullopt;
    }
    if (query.value(0).isNull()) return std::nullopt;
    return query.value(0).toByteArray();
}

bool RecordSet::Write(int row, const std::string& column, const QByteArray& bytes,
                      std::string& problem) const {
    if (!isTable_) {
        problem = "the record source " + source_ + " cannot be written (rows without a key)";
        return false;
    }
    QSqlDatabase db = connection_.database();
    const QString quoted =
        db.driver()->escapeIdentifier(QString::fromStdString(column), QSqlDriver::FieldName);
    const std::string where = "cannot write row " + std::to_string(row + 1) + ": ";
    if (!db.transaction()) {
        problem = where + db.lastError().text().toStdString();
        return false;
    }
    QSqlQuery update(db);
    update.prepare("UPDATE " + quotedTable_ + " SET " + quoted + " = ?" + whereKey());
    update.addBindValue(bytes);
    for (const QVariant& part : keys_.at(static_cast<std::size_t>(row))) update.addBindValue(part);
    if (!update.exec()) {
        problem = where + failure(update);
    } else if (update.numRowsAffected() != 1) {
        problem = where + "the row is no longer there";
    } else if (db.commit()) {
        return true;
    } else {
        problem = where + db.lastError().text().toStdString();
    }
    db.rollback();
    return false;
}

}  // namespace pm32::control
