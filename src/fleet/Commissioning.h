#pragma once

#include "device/EDFACom.h"
#include "fleet/FleetLink.h"
#include "fleet/Plan.h"

#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

class TJournal;
class TInterruptWait;

// What happens during a commissioning run.
enum class TCommissionStep {
    Start,       // the run begins
    Waiting,     // no unit answers on the line (said once per reason)
    Writing,     // a unit of the plan is about to be written
    Done,        // ... and was written (and verified)
    Failed,      // ... and the write failed; or a unit done came back changed
    NotInPlan,   // a unit the plan does not name (said once per unit)
    AlreadyDone, // a unit done earlier came back holding what it was done with
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
    QString UnitType;   // its type's name ("EDFA(Single)"), empty when none
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
// unit not in the plan is reported once and left alone, and a unit that stays
// attached is not written twice in a row. The port is opened anew by its name
// after a failed look, so that an adapter plugged in again is found wherever
// the name leads now.
//
// A unit counts as done once a write left it with its plan's settings, in
// this run or in an earlier one: Start reads the journal, and a unit whose
// latest write there succeeded ("verified", or "not verified" when it was
// acknowledged) with settings its plan row leaves as they are is done
// earlier: counted as done from the start, listed by DoneEarlier() and in the
// start event's "doneEarlier", and not written again.
//
// A done unit that comes back holding other settings than it was done with
// is a failure naming the fields (a "check" line in the journal, "changed
// since done"), and is written again only with RewriteChanged.
//
// A write that another unit answered ("wrong unit": units swapped on the line
// during the write) leaves the planned unit not done, to be written when it
// is seen again; the unit that answered is looked at afresh: written with its
// own plan settings (done or not, when it took the other's), or, when it is
// not in the plan and took them, reported as holding them. Without the
// read-back, the first unit seen after a write that is another one holding
// exactly the settings sent is taken as the same swap, recorded as a "check"
// line with "wrong unit".
class TCommissioning {
public:
    struct TOptions {
        QString Port;                // as the user gave it (empty: the stored port)
        bool Verify = true;          // read each write back
        bool RewriteChanged = false; // write a done unit again when it comes back changed
    };

    // The port is resolved, and writes recorded, in Context.
    TCommissioning(const TFleetContext &Context, std::vector<TPlanRow> Rows, TJournal &Journal,
                   TCommissionObserver &Observer, TOptions Options);

    // The outcome of one look at the line.
    enum class TLook {
        NoUnit,   // nothing answers
        SameUnit, // the unit seen last is still there
        Written,  // a unit of the plan was written (and verified)
        Failed,   // a write failed
        Stranger, // a unit the plan does not name
        Skipped,  // a unit done earlier, holding what it was done with
        Changed,  // a unit done earlier, holding other settings, not written
    };

    // Reads the units done earlier from the journal and says the run begins.
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
    // Start, one look, Finish. True when the unit attached was written, or
    // done earlier and holds what it was done with.
    bool RunOnce();

    // The serial numbers of the plan's units done earlier (in plan order),
    // as Start found them in the journal.
    const QStringList &DoneEarlier() const { return FDoneEarlier; }
    // What the last look found wrong, one line for the user: no unit, a
    // stranger, a failed write, a unit changed since it was done. Empty when
    // it found nothing wrong.
    const QString &LastFailure() const { return FLastFailure; }

    // Why the journal failed, empty while it works; the run writes no unit
    // after that.
    const QString &JournalFault() const { return FJournalFault; }
    // True when units failed and every failure was a refusal.
    bool OnlyRefusals() const
    {
        return !FFailed.isEmpty() && FChanged.isEmpty() && FRefused.contains(FFailed);
    }

    int DoneCount() const { return FDoneCount; }
    int Total() const { return int(FRows.size()); }
    bool AllDone() const { return DoneCount() == Total(); }

private:
    void Notify(TCommissionStep Step, const QString &Message, bool Lasting, const QJsonObject &Fields = {},
                bool Ok = true);
    TLook Commission(const TDeviceInfo &Info, const TPlanRow &Row);
    TLook DoneBefore(const TDeviceInfo &Info, const TPlanRow &Row);
    TLook Stranger(const QString &Serial);
    void Failure(TCommissionStep Step, const QString &Message, const QJsonObject &Fields);
    void SwappedDuringWrite(const QString &Planned, const TDeviceInfo &Answered, bool TookSettings);
    void CheckUnverifiedWrite(const TDeviceInfo &Info);
    void Record(const TDeviceInfo &Unit, const TPlanRow *Row, QJsonObject Entry);
    void ReadDoneEarlier();
    void MarkDone(const TPlanRow &Row, const TNetSettings &Settings);
    void MarkNotDone(const QString &Serial);
    const TPlanRow *RowOf(const QString &Serial) const;
    void NoUnit(const QString &Why, const QString &Shown);
    QString ChangedNote() const; // "; 1 unit changed since done", or empty

    // A write acknowledged without a read-back, until the next unit is seen.
    struct TUnverified {
        TDeviceInfo Unit{};
        TNetSettings Sent{};
    };

    std::vector<TPlanRow> FRows;
    TPlanLookup FLookup;
    TJournal &FJournal;
    TCommissionObserver &FObserver;
    TOptions FOptions;
    TFleetLink FLink;
    TUnitPresence FPresence;
    // By row of FRows, what a unit done was done with; none while not done.
    std::vector<std::optional<TNetSettings>> FDoneWith;
    int FDoneCount = 0;
    QStringList FDoneEarlier;
    QSet<QString> FFailed;
    QSet<QString> FRefused; // failed units that cannot be written at all
    QSet<QString> FChanged; // done units found holding other settings
    QSet<QString> FStrangers;
    QSet<QString> FForeign; // units not in the plan that took another's settings
    std::optional<TUnverified> FUnverified;
    QString FLastFailure;
    QString FAttached;     // serial number of the unit on the line now
    QString FUnit;         // how the attached unit is named in events
    QString FUnitType;     // the attached unit's type name
    QString FNoUnitReason; // what was last said about an empty line
    QString FJournalFault;
};
