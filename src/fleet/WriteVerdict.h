#pragma once

#include <QString>

#include <optional>

// What became of a write, as the journal and the report say it. The texts
// are those of the journal's "verification" field and never change, so that
// journals written by earlier versions read the same.
enum class TWriteVerdict {
    Verified,         // "verified": read back from the same unit and equal to what was sent
    NotVerified,      // "not verified": acknowledged, not read back (--no-verify)
    NotApplied,       // "not applied": acknowledged, but the unit holds other settings
    ReadBackFailed,   // "read-back failed": acknowledged, the record could not be read back
    NotAcknowledged,  // "not acknowledged": no acknowledgement, or a failure code
    NotSent,          // "not sent": the intent could not be recorded
    Refused,          // "refused": settings no unit can hold, or a board; nothing sent
    WrongUnit,        // "wrong unit": another unit answered the read-back than the one written
    NoOutcome,        // "no outcome recorded": the journal holds the intent only
    ChangedSinceDone, // "changed since done": a unit done earlier came back holding other settings
};

QString WriteVerdictText(TWriteVerdict Verdict);
// The verdict a journal text names; none for a text this version does not
// know (a newer journal).
std::optional<TWriteVerdict> ParseWriteVerdict(const QString &Text);
// True when the unit was left holding what was sent as far as is known: a
// verified write, or one acknowledged without a read-back. An unknown text
// counts as a failure.
bool WriteSucceeded(const QString &Text);
bool WriteSucceeded(TWriteVerdict Verdict);
