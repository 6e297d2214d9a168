#include "viewer/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace pm32::viewer {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kReplyTimeoutMs = 5000;
constexpr char kAcknowledge = '\n';

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::receive);
}

QString SingleInstance::ServerName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime + "/vstl32.socket";
    return QString("vstl32-%1").arg(::getuid());
}

bool SingleInstance::HandOver(const QString& absolutePath) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(absolutePath.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kReplyTimeoutMs)) return false;
    // The running viewer acknowledges once it has the whole path.
    return socket.waitForReadyRead(kReplyTimeoutMs) &&
           socket.read(1) == QByteArray(1, kAcknowledge);
}

bool SingleInstance::listen() {
    if (server_->listen(ServerName())) return true;
    if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
    // Someone answering means a live viewer; silence means a stale socket.
    QLocalSocket probe;
    probe.connectToServer(ServerName());
    if (probe.waitForConnected(kConnectTimeoutMs)) return false;
    QLocalServer::removeServer(ServerName());
    return server_->listen(ServerName());
}

void SingleInstance::receive() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QString path = QString::fromUtf8(socket->readLine()).trimmed();
            socket->write(QByteArray(1, kAcknowledge));
            socket->flush();
            if (!path.isEmpty()) emit fileHandedOver(path);
        });
    }
}

}  // namespace pm32::viewer
