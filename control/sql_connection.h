#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <string>

namespace pm32::control {

// One open database connection of Qt SQL under a name of its own, closed and
// removed when the object goes. The address is "sqlite:PATH" (an SQLite
// file, created when missing) or a PostgreSQL URL
// "postgresql://[user[:password]@][host][:port]/database[?host=SOCKET_FOLDER]".
class SqlConnection {
  public:
    // Null with the reason in problem when the address is not understood or
    // the database cannot be opened.
    static std::unique_ptr<SqlConnection> Open(const std::string& address, std::string& problem);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    QSqlDatabase database() const { return QSqlDatabase::database(name_, false); }

  private:
    // Qt keeps connections by name; the object's address is unique while it lives.
    SqlConnection() : name_(QStringLiteral("pm32-data-%1").arg(reinterpret_cast<quintptr>(this))) {}
    QString name_;
};

}  // namespace pm32::control
