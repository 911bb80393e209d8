#pragma once

#include <QJsonObject>
#include <QString>

class TCliOutput;

// How a commissioning run tells what happens. On a terminal: one live line
// (done n of N, the unit attached now, what it is doing) redrawn in place,
// with the lasting events (a unit done or failed, a stranger) printed above
// it. Otherwise one plain line per event, or with --json one JSON object per
// event: {"time", "event", "done", "total", "message", ...}.
class TCommissionProgress {
public:
    TCommissionProgress(TCliOutput &Out, int Total);
    TCommissionProgress(const TCommissionProgress &) = delete;
    TCommissionProgress &operator=(const TCommissionProgress &) = delete;

    void SetDone(int Done) { FDone = Done; }
    // Unit: the unit attached now ("" when none).
    void SetUnit(const QString &Unit) { FUnit = Unit; }

    // One event. Lasting events stay on a terminal as lines of their own;
    // the others only change the live line there.
    void Event(const QString &Kind, const QString &Message, bool Lasting, const QJsonObject &Fields = {});
    // Ends the live line so that the shell prompt starts on a fresh line.
    void Finish();

private:
    void DrawLive();

    TCliOutput &FOut;
    int FTotal;
    int FDone = 0;
    QString FUnit;
    QString FDoing;
    bool FLive;
    bool FLiveShown = false;
};
