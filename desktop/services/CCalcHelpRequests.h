// The one entry through which any window asks for help: a keypad button's
// F1 asks for its context number, a window for its topic by name. The frame
// owns the one instance and hands it to its windows; the help window
// subscribes to both signals and opens the page asked for.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class CCalcHelpRequests final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The topic of a numbered context (a keypad button's id + 0x80660000).
    void showContext(std::uint32_t contextNumber) { emit contextRequested(contextNumber); }
    // The topic named by id ("contents", "language", "messages", ...).
    void showTopic(const QString& topicId) { emit topicRequested(topicId); }

signals:
    void contextRequested(std::uint32_t contextNumber);
    void topicRequested(const QString& topicId);
};
