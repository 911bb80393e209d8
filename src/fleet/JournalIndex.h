#pragma once

#include <QDateTime>
#include <QFile>
#include <QJsonObject>
#include <QString>

#include <vector>

// One unit as the journal knows it: where its writes are.
struct TJournalUnit {
    QString Serial;
    QString Label;              // the latest label a plan gave the unit
    std::vector<qint64> Writes; // offsets of its entries' lines in the journal, in order
    int Checks = 0;             // of them, looks that found it changed since done ("stage" "check")
};

// The writes of a journal grouped by unit (units in the order of their first
// write), as ReadJournal takes them: each outcome line, an intent line whose
// outcome is missing, and lines of the first format (no "stage"). The
// journal is read in one pass that keeps only where each write is, so that a
// journal of any length is summarised in little memory; a write's entry is
// read again from the file when it is shown.
class TJournalIndex {
public:
    // Reads the journal at Path, only the writes from Since on when it is
    // valid. False with Error set when the file cannot be read.
    bool Read(const QString &Path, const QDateTime &Since, QString &Error);

    const std::vector<TJournalUnit> &Units() const { return FUnits; }
    // Leaves out the units Keep turns down (a report of some units only).
    template <typename TKeep> void KeepUnits(TKeep Keep)
    {
        std::erase_if(FUnits, [&](const TJournalUnit &Unit) { return !Keep(Unit); });
    }
    // Lines skipped: not a JSON object, and entries of a kind this version
    // does not know (ParseJournalLine).
    int Damaged() const { return FDamaged; }
    int Unknown() const { return FUnknown; }

    // The entry of the write whose line is at Offset, an intent without its
    // outcome marked so (MarkWithoutOutcome); empty when it cannot be read
    // again.
    QJsonObject Entry(qint64 Offset);
    // The entries of all writes of Unit, in order.
    std::vector<QJsonObject> History(const TJournalUnit &Unit);
    // The entry of Unit's latest write.
    QJsonObject Latest(const TJournalUnit &Unit) { return Entry(Unit.Writes.back()); }

private:
    QFile FFile;
    std::vector<TJournalUnit> FUnits;
    int FDamaged = 0;
    int FUnknown = 0;
};
