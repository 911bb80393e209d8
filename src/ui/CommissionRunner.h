#pragma once

#include "fleet/Commissioning.h"
#include "fleet/Plan.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <vector>

class QThread;
class TInterruptWait;
class TJournal;

// A commissioning run on a thread of its own, so that the window that starts
// it never waits for the line. The engine's events reach the window through
// queued signals (Event, then Finished once the thread has ended). Stop ends
// the wait between two looks at once and never an exchange halfway.
class TCommissionRunner : public QObject {
    Q_OBJECT
public:
    struct TSetup {
        std::vector<TPlanRow> Rows;
        QString Port; // as the user gave it; empty for the stored port
        bool Verify = true;
        QString JournalPath;
        int IntervalMs = 500; // between two looks at the line
    };

    explicit TCommissionRunner(QObject *parent = nullptr);
    // Stops a run under way and waits for its thread.
    ~TCommissionRunner() override;

    // Opens the journal and starts the run. False with Error set when the
    // journal cannot be written: then nothing starts.
    bool Start(TSetup Setup, QString &Error);
    // Asks the run to stop; Finished follows once the exchange under way
    // (if any) has ended. Does nothing when no run is under way.
    void Stop();
    bool Running() const { return FThread != nullptr; }

signals:
    // Each event of the engine, in order.
    void Event(const TCommissionEvent &Event);
    // The run ended; JournalFault says why the journal failed (empty when
    // it did not).
    void Finished(const QString &JournalFault);

private:
    // The run itself, on the run's thread.
    void Work(TSetup Setup);
    void Ended();

    QThread *FThread = nullptr;
    std::unique_ptr<TJournal> FJournal;
    QString FJournalFault; // written by the run's thread before it ends
    std::mutex FStopLock;  // guards FWait and FStopAsked
    TInterruptWait *FWait = nullptr;
    bool FStopAsked = false;
};
