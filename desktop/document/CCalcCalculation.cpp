#include "desktop/document/CCalcCalculation.h"

#include <QThread>

#include <chrono>
#include <utility>

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/EngineStack.h"
#include "core/engine/EngineState.h"

CCalcCalculation::CCalcCalculation(QObject* parent) : QObject(parent), worker_(new QThread(this))
{
    worker_->setObjectName(QStringLiteral("Calculation"));
    // Room for the engine's deepest statement and for the thread's own frames.
    worker_->setStackSize(static_cast<uint>(NCalculatorText::EngineStackSize + (2u << 20)));
    workerContext_ = new QObject;
    workerContext_->moveToThread(worker_);
    connect(worker_, &QThread::finished, workerContext_, &QObject::deleteLater);
    worker_->start();
}

CCalcCalculation::~CCalcCalculation()
{
    if (running_) {
        cancel();
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return endedJob_ == job_; });
        NCalculatorText::State().LogReceiver = receiver_;
        running_ = false;
    }
    worker_->quit();
    worker_->wait();
}

bool CCalcCalculation::start(std::function<void()> work, std::function<void()> done)
{
    if (running_)
        return false;
    running_ = true;
    work_ = std::move(work);
    done_ = std::move(done);
    const std::uint64_t job = ++job_;
    NCalculatorText::State().CancelRequested = false;
    // Until the job is complete the engine's log is this one; nothing on this
    // thread calculates meanwhile.
    receiver_ = NCalculatorText::State().LogReceiver;
    NCalculatorText::State().LogReceiver = &log_;
    QMetaObject::invokeMethod(
        workerContext_, [this, job] { runOnWorker(job); }, Qt::QueuedConnection);
    emit runningChanged(true);
    // Most calculations take a fraction of a millisecond: those complete
    // before the window paints again, so that neither the read-only editor
    // nor the greyed commands flicker for them.
    waitForFinished(QuickFinishMilliseconds);
    return true;
}

void CCalcCalculation::runOnWorker(std::uint64_t job)
{
    // An exception is no way to end a calculation; should one escape the
    // engine, the job still ends and the window goes on.
    try {
        work_();
    } catch (...) {
    }
    {
        const std::lock_guard lock(mutex_);
        endedJob_ = job;
    }
    ended_.notify_all();
    QMetaObject::invokeMethod(
        this, [this, job] { complete(job); }, Qt::QueuedConnection);
}

void CCalcCalculation::complete(std::uint64_t job)
{
    if (!running_ || job != job_)
        return;  // completed already, by waitForFinished
    running_ = false;
    NCalculatorText::State().LogReceiver = receiver_;
    log_.DeliverTo(receiver_);
    const std::function<void()> done = std::exchange(done_, {});
    work_ = {};
    if (done)
        done();
    emit runningChanged(false);
}

void CCalcCalculation::cancel()
{
    if (running_)
        NCalculatorText::State().CancelRequested = true;
}

bool CCalcCalculation::waitForFinished(int milliseconds)
{
    if (!running_)
        return true;
    {
        std::unique_lock lock(mutex_);
        if (!ended_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return endedJob_ == job_; }))
            return false;
    }
    complete(job_);
    return true;
}
