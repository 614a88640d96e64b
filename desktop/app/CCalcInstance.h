// One running instance per user and display. The first start listens on a
// local socket named after the user and the display; a later start connects
// to it, hands over the file it was asked to open (or asks for the window to
// be raised) and ends. A socket left behind by an instance that crashed
// refuses connections: it is removed and the new start listens in its place.
// A lock file makes "is one running? then listen" one step for two starts
// that race.
#pragma once

#include <QObject>
#include <QString>

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
        Primary,     // no instance ran: this one listens now
        HandedOver,  // the running instance took the request
        Unreachable  // an instance runs but does not answer, or the socket cannot be made
    };

    // Becomes the running instance, or hands over to the one that runs: path
    // (absolute) to open, or an empty path to raise its window.
    Claim claim(const QString& path);

    bool isPrimary() const { return server_ != nullptr; }

signals:
    // Another start asked this instance to open path (absolute).
    void openRequested(const QString& path);
    // Another start asked for the window, with nothing to open.
    void raiseRequested();

private:
    Claim handOver(QLocalSocket& socket, const QString& path);
    void acceptConnections();
    void readRequest(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
};
