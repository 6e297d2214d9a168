#include "control/sql_connection.h"

#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

namespace pm32::control {
namespace {

// Fills the connection from the address; false when it names no database we
// know how to reach.
bool configure(QSqlDatabase& db, const QString& address) {
    if (address.startsWith(QLatin1String("sqlite:"))) {
        const QString path = address.mid(7);
        if (path.isEmpty()) return false;
        db.setDatabaseName(path);
        return true;
    }
    const QUrl url(address);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return false;
    const QString database = url.path().mid(1);
    if (database.isEmpty()) return false;
    db.setDatabaseName(database);
    const QString socketFolder = QUrlQuery(url).queryItemValue(QStringLiteral("host"));
    db.setHostName(socketFolder.isEmpty() ? url.host() : socketFolder);
    if (url.port() > 0) db.setPort(url.port());
    if (!url.userName().isEmpty()) db.setUserName(url.userName());
    if (!url.password().isEmpty()) db.setPassword(url.password());
    return true;
}

}  // namespace

std::unique_ptr<SqlConnection> SqlConnection::Open(const std::string& address,
                                                   std::string& problem) {
    const QString text = QString::fromStdString(address);
    const QString driver = text.startsWith(QLatin1String("sqlite:")) ? QStringLiteral("QSQLITE")
                                                                     : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        problem = "the " + driver.toStdString() + " database driver is not installed";
        return nullptr;
    }
    std::unique_ptr<SqlConnection> connection(new SqlConnection);
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection->name_);
    if (!configure(db, text)) {
        problem = "'" + address + "' is no database address (sqlite:PATH or postgresql://...)";
        return nullptr;
    }
    if (!db.open()) {
        problem =
            "cannot open the database '" + address + "': " + db.lastError().text().toStdString();
        return nullptr;
    }
    return connection;
}

SqlConnection::~SqlConnection() {
    {
        QSqlDatabase db = database();
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

}  // namespace pm32::control
