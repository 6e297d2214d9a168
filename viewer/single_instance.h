#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace pm32::viewer {

// The running viewer's door for files opened from the shell: a local socket
// under a per-user name. A later start hands its file over through it.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit SingleInstance(QObject* parent = nullptr);

    // The socket: in XDG_RUNTIME_DIR when the session has one (it is the
    // user's own), else a name with the user's id in the temporary folder.
    static QString ServerName();

    // Gives the absolute path to a running viewer; false when none answers.
    static bool HandOver(const QString& absolutePath);

    // Starts answering; a socket left behind by a viewer that crashed is
    // removed first. False when another viewer already answers.
    bool listen();

  signals:
    void fileHandedOver(const QString& path);

  private slots:
    void receive();

  private:
    QLocalServer* server_;
};

}  // namespace pm32::viewer
