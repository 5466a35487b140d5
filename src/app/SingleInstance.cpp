#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>

#include <unistd.h>

namespace kestrana {

namespace {

const QByteArray kRaise = "raise\n";
const QByteArray kRaised = "ok\n";
// A running program answers at once; one that hangs must not hang the second start too.
constexpr int kWaitMs = 3000;

} // namespace

QString singleInstanceName(const QString& workDir) {
    const QFileInfo info(workDir);
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(workDir);
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("kestrana-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { answer(); });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    // Two programs started together must not both decide they are the first: the check and
    // the listening happen under a lock file (one left by a dead process is taken over).
    QLockFile lock(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
    const bool locked = lock.tryLock(kWaitMs);
    QLocalSocket running;
    running.connectToServer(name_);
    if (running.waitForConnected(kWaitMs)) {
        running.write(kRaise);
        running.waitForBytesWritten(kWaitMs);
        // The answer tells that the request arrived; without one the other program still runs.
        while (running.bytesAvailable() < kRaised.size() && running.waitForReadyRead(kWaitMs)) {
        }
        return false;
    }
    if (!locked)
        return true;
    // A socket left by a program that ended without closing it answers nobody: replace it.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    return true;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto read = [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kRaise) {
                if (raise_)
                    raise_();
                socket->write(kRaised);
            }
            socket->disconnectFromServer();
        };
        QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
        read(); // the request may have come with the connection
    }
}

} // namespace kestrana
