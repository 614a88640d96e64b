#include "desktop/app/CCalcInstance.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The words of a request and of its answer.
const QString OpenVerb = QStringLiteral("open");
const QString RaiseVerb = QStringLiteral("raise");
const QString Accepted = QStringLiteral("accepted");

// A running instance answers at once; one that has not within this time,
// connecting included, is taken for stale.
constexpr int AnswerTimeoutMs = 1000;
constexpr int LockTimeoutMs = 10000;
// A connection that has not sent a whole request by then is dropped; so is
// one that sends more than a request can be (a path is far shorter).
constexpr int RequestTimeoutMs = 5000;
constexpr qint64 LargestRequest = 64 * 1024;
// A local socket's path must fit the system's limit (108 bytes on Linux).
constexpr int LongestSocketPath = 100;

constexpr auto StreamVersion = QDataStream::Qt_6_0;

// The display this start belongs to, as a file-name part.
QString DisplayId()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("no-display");
    QString id;
    for (const QChar c : display)
        id += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') || c == QLatin1Char('.')
            ? c
            : QLatin1Char('_');
    return id;
}

// A folder only this user can enter: XDG_RUNTIME_DIR, or the one Qt makes
// in the temporary folder when it is not set. A folder that another user
// owns or may write into is refused, so that nobody else can stand in for
// the running instance.
QString PrivateFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || info.ownerId() != getuid() ||
        (info.permissions() & (QFile::WriteGroup | QFile::WriteOther)) != 0)
        return {};
    return folder;
}

void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

QString LockFileName(const QString& serverName)
{
    return serverName + QStringLiteral(".lock");
}

// What is at the socket's path, as the start sees it.
enum class AtPath { Nothing, OurSocket, Other };

// Looks at path itself, not at what a link there points to; cause tells what
// else is there.
AtPath Inspect(const QString& path, QString& cause)
{
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENOENT)
            return AtPath::Nothing;
        cause = QString::fromLocal8Bit(std::strerror(errno));
        return AtPath::Other;
    }
    if (S_ISSOCK(status.st_mode) && status.st_uid == getuid())
        return AtPath::OurSocket;
    if (S_ISSOCK(status.st_mode))
        cause = QStringLiteral("a socket of another user");
    else if (S_ISDIR(status.st_mode))
        cause = QStringLiteral("a folder");
    else if (S_ISLNK(status.st_mode))
        cause = QStringLiteral("a symbolic link");
    else
        cause = QStringLiteral("a file");
    return AtPath::Other;
}

}  // namespace

CCalcInstance::CCalcInstance(QObject* parent) : QObject(parent), answerTimeoutMs_(AnswerTimeoutMs) {}

CCalcInstance::~CCalcInstance()
{
    if (server_ != nullptr)
        server_->close();
}

QString CCalcInstance::ServerName()
{
    const QString folder = PrivateFolder();
    if (folder.isEmpty())
        return {};
    const QString path =
        QDir(folder).filePath(QStringLiteral("calculator-tevra-%1-%2.socket").arg(getuid()).arg(DisplayId()));
    return QFile::encodeName(path).size() > LongestSocketPath ? QString() : path;
}

CCalcInstance::Claim CCalcInstance::claim(const QString& path)
{
    reason_.clear();
    const QString name = ServerName();
    if (name.isEmpty())
        return Claim::Unreachable;
    QLockFile lock(LockFileName(name));
    // Held only for a moment by a live start; a lock of a start that died is
    // taken over (QLockFile checks the holder's process).
    if (!lock.tryLock(LockTimeoutMs))
        return Claim::Unreachable;

    QString cause;
    switch (Inspect(name, cause)) {
    case AtPath::Nothing:
        return listen(name);
    case AtPath::Other:
        reason_ = QStringLiteral("%1 is %2, not the socket of a running Calculator Tevra; it is left as it is")
                      .arg(QDir::toNativeSeparators(name), cause);
        return Claim::Alone;
    case AtPath::OurSocket:
        break;
    }

    const QDeadlineTimer deadline(answerTimeoutMs_);
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        if (handOver(socket, path, deadline) == Claim::HandedOver)
            return Claim::HandedOver;
        reason_ = QStringLiteral("the running Calculator Tevra did not answer within a second; this start takes "
                                 "its place");
    }
    socket.abort();
    // Nobody listens, or nobody answers: the socket is stale and goes.
    QLocalServer::removeServer(name);
    return listen(name);
}

CCalcInstance::Claim CCalcInstance::listen(const QString& name)
{
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        reason_ = QStringLiteral("%1 cannot be made: %2").arg(QDir::toNativeSeparators(name), server->errorString());
        delete server;
        return Claim::Alone;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, &CCalcInstance::acceptConnections);
    return Claim::Primary;
}

CCalcInstance::Claim CCalcInstance::handOver(QLocalSocket& socket, const QString& path, const QDeadlineTimer& deadline)
{
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << (path.isEmpty() ? RaiseVerb : OpenVerb) << path;
    socket.write(request);
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return Claim::Unreachable;

    QDataStream in(&socket);
    in.setVersion(StreamVersion);
    QString answer;
    while (true) {
        in.startTransaction();
        in >> answer;
        if (in.commitTransaction())
            break;
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return Claim::Unreachable;
    }
    return answer == Accepted ? Claim::HandedOver : Claim::Unreachable;
}

void CCalcInstance::acceptConnections()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        QTimer::singleShot(RequestTimeoutMs, socket, [socket] { drop(socket); });
    }
}

void CCalcInstance::readRequest(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > LargestRequest) {
        drop(socket);
        return;
    }
    QDataStream in(socket);
    in.setVersion(StreamVersion);
    in.startTransaction();
    QString verb;
    QString path;
    in >> verb >> path;
    if (!in.commitTransaction())
        return;  // the rest of the request is still on its way
    const bool open = verb == OpenVerb && QFileInfo(path).isAbsolute();
    if (!open && verb != RaiseVerb) {
        drop(socket);
        return;
    }

    QByteArray answer;
    QDataStream out(&answer, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << Accepted;
    socket->write(answer);
    socket->disconnectFromServer();
    // Told once the socket's own signal is over: opening may ask to save
    // first, and the question's event loop must not run while the socket,
    // gone by then, is still handling its data.
    QTimer::singleShot(0, this, [this, open, path] {
        if (open)
            emit openRequested(path);
        else
            emit raiseRequested();
    });
}
