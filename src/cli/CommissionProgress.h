#pragma once

#include "fleet/Commissioning.h"

#include <QString>

class TCliOutput;
struct TFleetContext;

// A commissioning run as text. On a terminal: one live line (done n of N,
// the unit attached now, what it is doing) redrawn in place and cut to the
// terminal's width, with the lasting events (a unit done or failed, a
// stranger) printed above it. Otherwise one line per event with its time.
class TCommissionProgress : public TCommissionObserver {
public:
    TCommissionProgress(TCliOutput &Out, const TFleetContext &Context);
    TCommissionProgress(const TCommissionProgress &) = delete;
    TCommissionProgress &operator=(const TCommissionProgress &) = delete;

    void Notify(const TCommissionEvent &Event) override;
    bool Lost() const override;

private:
    void DrawLive(const TCommissionEvent &Event);

    TCliOutput &FOut;
    const TFleetContext &FContext;
    bool FLive;
    bool FLiveShown = false;
};

// A commissioning run as one JSON object per event: {"time", "event", "done",
// "total", "message", ...the event's fields}; "finished" carries the
// "exitStatus".
class TCommissionJsonEvents : public TCommissionObserver {
public:
    TCommissionJsonEvents(TCliOutput &Out, const TFleetContext &Context) : FOut(Out), FContext(Context) {}

    void Notify(const TCommissionEvent &Event) override;
    bool Lost() const override;

private:
    TCliOutput &FOut;
    const TFleetContext &FContext;
};
