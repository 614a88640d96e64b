// Runs the document's calculations on a worker thread, one at a time, so that
// the window keeps painting and answering while one runs, and a calculation
// can be cancelled.
//
// While a job runs, the engine's process-wide state (memory, last result,
// evaluation state, the settings it reads) belongs to the worker: the log
// records it makes are kept and handed to the log receiver on this object's
// thread when the job has ended, in order, before the job's completion is
// called there. The worker's stack is large enough for the deepest statement,
// so the engine calculates on it without a helper thread of its own.
#pragma once

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "core/engine/DeferredLog.h"

class QThread;

class CCalcCalculation final : public QObject {
    Q_OBJECT

public:
    // How long start() waits for a job to complete there and then.
    static constexpr int QuickFinishMilliseconds = 50;

    explicit CCalcCalculation(QObject* parent = nullptr);
    // Cancels a running job and waits for it; its completion is not called.
    ~CCalcCalculation() override;

    // Runs work on the worker; then, on this object's thread, delivers the log
    // and calls done: before returning when the work is over within
    // QuickFinishMilliseconds, otherwise from the event loop. False, doing
    // nothing, while a job runs.
    bool start(std::function<void()> work, std::function<void()> done);
    bool isRunning() const { return running_; }
    // Asks the running job to stop: the engine fails the statement it is at
    // with the cancel record.
    void cancel();
    // Waits at most milliseconds for the running job and completes it here;
    // false when it is still running.
    bool waitForFinished(int milliseconds);

signals:
    void runningChanged(bool running);

private:
    void runOnWorker(std::uint64_t job);
    void complete(std::uint64_t job);

    QThread* worker_ = nullptr;
    QObject* workerContext_ = nullptr;  // lives on the worker: queued calls run there
    bool running_ = false;
    std::uint64_t job_ = 0;
    std::function<void()> work_;
    std::function<void()> done_;
    NCalculatorText::CDeferredLog log_;
    NCalculatorText::ILogReceiver* receiver_ = nullptr;  // the log the records go to

    // Set by the worker when the job's work has ended.
    std::mutex mutex_;
    std::condition_variable ended_;
    std::uint64_t endedJob_ = 0;
};
