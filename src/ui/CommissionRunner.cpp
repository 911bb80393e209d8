#include "CommissionRunner.h"

#include "fleet/Journal.h"
#include "platform/process/InterruptWait.h"

#include <QThread>

namespace {

// Hands every event of the engine to the runner's signal; emitted on the
// run's thread, it reaches the window's thread queued.
class TSignalObserver : public TCommissionObserver {
public:
    explicit TSignalObserver(TCommissionRunner &Runner) : FRunner(Runner) {}
    void Notify(const TCommissionEvent &Event) override { emit FRunner.Event(Event); }

private:
    TCommissionRunner &FRunner;
};

} // namespace

TCommissionRunner::TCommissionRunner(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<TCommissionEvent>();
}

TCommissionRunner::~TCommissionRunner()
{
    if (FThread) {
        Stop();
        FThread->wait();
        delete FThread;
    }
}

bool TCommissionRunner::Start(TSetup Setup, QString &Error)
{
    if (FThread) {
        Error = QStringLiteral("a run is under way");
        return false;
    }
    FJournal = std::make_unique<TJournal>();
    if (!FJournal->Open(Setup.JournalPath, Error)) {
        FJournal.reset();
        return false;
    }
    FJournalFault.clear();
    FStopAsked = false;
    FThread = QThread::create([this, setup = std::move(Setup)]() mutable { Work(std::move(setup)); });
    FThread->setObjectName(QStringLiteral("commissioning"));
    connect(FThread, &QThread::finished, this, &TCommissionRunner::Ended);
    FThread->start();
    return true;
}

void TCommissionRunner::Stop()
{
    const std::lock_guard lock(FStopLock);
    FStopAsked = true;
    if (FWait)
        FWait->Stop();
}

void TCommissionRunner::Work(TSetup Setup)
{
    TSignalObserver observer(*this);
    TCommissioning run(std::move(Setup.Rows), *FJournal, observer, {Setup.Port, Setup.Verify});
    // Made on this thread: the signals it takes are this thread's, and the
    // window's thread keeps its own.
    TInterruptWait wait;
    {
        const std::lock_guard lock(FStopLock);
        FWait = &wait;
        if (FStopAsked)
            wait.Stop();
    }
    run.Run(wait, Setup.IntervalMs);
    FJournalFault = run.JournalFault();
    const std::lock_guard lock(FStopLock);
    FWait = nullptr;
}

void TCommissionRunner::Ended()
{
    FThread->wait();
    delete FThread;
    FThread = nullptr;
    FJournal.reset();
    emit Finished(FJournalFault);
}
