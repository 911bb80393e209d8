#pragma once

#include "fleet/FleetLink.h"
#include "fleet/Plan.h"

#include <QJsonObject>
#include <QSet>
#include <QString>

#include <vector>

class TJournal;
class TInterruptWait;
struct TDeviceInfo;

// What happens during a commissioning run.
enum class TCommissionStep {
    Start,       // the run begins
    Waiting,     // no unit answers on the line (said once per reason)
    Writing,     // a unit of the plan is about to be written
    Done,        // ... and was written (and verified)
    Failed,      // ... and the write failed (fields "reason" and "refused")
    NotInPlan,   // a unit the plan does not name (said once per unit)
    AlreadyDone, // a unit done earlier came back
    Removed,     // the unit that was attached is gone
    Finished,    // the run ends
};

// The name of a step in events: "start", "waiting", "writing", "done",
// "failed", "not-in-plan", "already-done", "removed", "finished".
QString CommissionStepName(TCommissionStep Step);

struct TCommissionEvent {
    TCommissionStep Step = TCommissionStep::Start;
    QString Message;
    // A lasting event is worth a line of its own; the others only say what
    // is going on now.
    bool Lasting = false;
    int Done = 0;
    int Total = 0;
    QString Unit;       // the unit attached now ("0612345679 (rack 3)"), empty when none
    QString UnitType;   // its type's name ("EDFA"), empty when none
    QJsonObject Fields; // details: serialNumber, label, before, after, verification
    bool Ok = true;     // for Finished: no unit failed (with --once: the unit was done)
    // For Finished: the failures were all refusals (a board, settings no unit
    // can hold), which the plan has to mend.
    bool OnlyRefusals = false;
};

// Told of every event of a run, in order.
class TCommissionObserver {
public:
    virtual void Notify(const TCommissionEvent &Event) = 0;
    // True once what the observer is told reaches nobody any more (its output
    // cannot be written): the run writes no further unit.
    virtual bool Lost() const { return false; }

protected:
    ~TCommissionObserver() = default;
};

// A commissioning run: looks at one port again and again; a unit of the plan
// that is not done yet is written, verified and recorded in the journal, a
// unit not in the plan is reported once and left alone, a unit done is never
// written again, and a unit that stays attached is not written twice in a
// row. The port is opened anew by its name after a failed look, so that an
// adapter plugged in again is found wherever the name leads now.
class TCommissioning {
public:
    struct TOptions {
        QString Port;       // as the user gave it (empty: the stored port)
        bool Verify = true; // read each write back
    };

    TCommissioning(std::vector<TPlanRow> Rows, TJournal &Journal, TCommissionObserver &Observer,
                   TOptions Options);

    // The outcome of one look at the line.
    enum class TLook {
        NoUnit,   // nothing answers
        SameUnit, // the unit seen last is still there
        Written,  // a unit of the plan was written (and verified)
        Failed,   // a write failed
        Stranger, // a unit the plan does not name
        Skipped,  // a unit done earlier
    };

    // Says the run begins.
    void Start();
    // One look at the line and what follows from it.
    TLook Look();
    // Says the run ends; Ok as in TCommissionEvent.
    void Finish(const QString &Message, bool Ok);
    // True while units may be written: the journal works and the observer
    // still reaches someone.
    bool MayGoOn() const { return FJournalFault.isEmpty() && !FObserver.Lost(); }

    // Start, then a look every Interval until every unit is done or Wait is
    // interrupted, then Finish. True when no unit's last attempt failed.
    bool Run(TInterruptWait &Wait, int IntervalMs);
    // Start, one look, Finish. True when the unit attached was written.
    bool RunOnce();

    // Why the journal failed, empty while it works; the run writes no unit
    // after that.
    const QString &JournalFault() const { return FJournalFault; }
    // True when units failed and every failure was a refusal.
    bool OnlyRefusals() const { return !FFailed.isEmpty() && FRefused.contains(FFailed); }

    int DoneCount() const { return int(FDone.size()); }
    int Total() const { return int(FRows.size()); }
    bool AllDone() const { return DoneCount() == Total(); }

private:
    void Notify(TCommissionStep Step, const QString &Message, bool Lasting, const QJsonObject &Fields = {},
                bool Ok = true);
    TLook Commission(const TDeviceInfo &Info, const TPlanRow &Row);
    const TPlanRow *RowOf(const QString &Serial) const;
    void NoUnit(const QString &Why);

    std::vector<TPlanRow> FRows;
    TJournal &FJournal;
    TCommissionObserver &FObserver;
    TOptions FOptions;
    TFleetLink FLink;
    TUnitPresence FPresence;
    QSet<QString> FDone;
    QSet<QString> FFailed;
    QSet<QString> FRefused; // failed units that cannot be written at all
    QSet<QString> FStrangers;
    QString FAttached;     // serial number of the unit on the line now
    QString FUnit;         // how the attached unit is named in events
    QString FUnitType;     // the attached unit's type name
    QString FNoUnitReason; // what was last said about an empty line
    QString FJournalFault;
};
