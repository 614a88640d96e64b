// One running instance per user and display. The first start listens on a
// local socket named after the user and the display; a later start connects
// to it, hands over the file it was asked to open (or asks for the window to
// be raised) and ends. Only a live socket of this user's that answers within
// a second is a running instance: any other socket of the user's at the path
// (left by an instance that crashed, or one that never answers) is removed
// and the new start listens in its place; anything else there (a folder, a
// file, a link, another user's socket) is left alone and the start runs on
// its own, saying why. A lock file makes "is one running? then listen" one
// step for two starts that race.
#pragma once

#include <QObject>
#include <QString>

class QDeadlineTimer;
class QLocalServer;
class QLocalSocket;

class CCalcInstance final : public QObject {
    Q_OBJECT

public:
    explicit CCalcInstance(QObject* parent = nullptr);
    ~CCalcInstance() override;

    // Where the socket of this user's and display's instance lives: in
    // XDG_RUNTIME_DIR, or in the runtime folder of the user's own in the
    // temporary folder when it is not set. Empty when there is no such
    // folder only this user may write (then every start runs on its own).
    static QString ServerName();

    enum class Claim {
        Primary,     // no instance ran (or a stale socket was replaced): this one listens now
        HandedOver,  // the running instance took the request
        Alone,       // something that is no socket of ours holds the path: no hand-over, nobody served
        Unreachable  // no private folder for the socket, or another start holds the lock
    };

    // Becomes the running instance, or hands over to the one that runs: path
    // (absolute) to open, or an empty path to raise its window.
    Claim claim(const QString& path);

    // How long a claim waits for the running instance to answer, connecting
    // included, before it takes the instance for stale: a second by default.
    void setAnswerTimeout(int milliseconds) { answerTimeoutMs_ = milliseconds; }

    bool isPrimary() const { return server_ != nullptr; }
    // Why the last claim did not simply listen or hand over: a stale socket
    // replaced, or what keeps the start alone; empty otherwise.
    const QString& reason() const { return reason_; }

signals:
    // Another start asked this instance to open path (absolute).
    void openRequested(const QString& path);
    // Another start asked for the window, with nothing to open.
    void raiseRequested();

private:
    Claim handOver(QLocalSocket& socket, const QString& path, const QDeadlineTimer& deadline);
    // Listens at name, where nothing is now.
    Claim listen(const QString& name);
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
    QString reason_;
    int answerTimeoutMs_;
};
