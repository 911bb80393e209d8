#include "fleet/JournalIndex.h"

#include "fleet/Journal.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {

// A slot whose intent found its outcome further on.
constexpr qint64 Dropped = -1;

} // namespace

bool TJournalIndex::Read(const QString &Path, const QDateTime &Since, QString &Error)
{
    FUnits.clear();
    FDamaged = 0;
    FUnknown = 0;
    FFile.close();
    FFile.setFileName(Path);
    if (!FFile.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("cannot read the journal %1: %2").arg(Path, FFile.errorString());
        return false;
    }
    QHash<QString, size_t> unitOf;
    // Intents whose outcome has not been met yet: their unit and slot.
    QHash<QString, std::pair<size_t, size_t>> pending;
    while (!FFile.atEnd()) {
        const qint64 offset = FFile.pos();
        const QByteArray line = FFile.readLine().trimmed();
        if (line.isEmpty())
            continue;
        QJsonObject entry;
        switch (ParseJournalLine(line, entry)) {
        case TJournalLine::Damaged:
            ++FDamaged;
            continue;
        case TJournalLine::Unknown:
            ++FUnknown;
            continue;
        case TJournalLine::Entry:
            break;
        }
        const QString stage = entry.value(QStringLiteral("stage")).toString();
        const QString writeId = entry.value(QStringLiteral("writeId")).toString();
        if (stage == QLatin1String("outcome")) {
            if (const auto it = pending.constFind(writeId); it != pending.cend()) {
                FUnits[it->first].Writes[it->second] = Dropped;
                pending.erase(it);
            }
        }
        if (Since.isValid() &&
            QDateTime::fromString(entry.value(QStringLiteral("time")).toString(), Qt::ISODate) < Since)
            continue;
        const QString serial = entry.value(QStringLiteral("serialNumber")).toString();
        auto known = unitOf.constFind(serial);
        if (known == unitOf.cend()) {
            known = unitOf.insert(serial, FUnits.size());
            FUnits.push_back({serial, {}, {}});
        }
        TJournalUnit &unit = FUnits[*known];
        if (const QString label = entry.value(QStringLiteral("label")).toString(); !label.isEmpty())
            unit.Label = label;
        if (stage == QLatin1String("intent"))
            pending.insert(writeId, {*known, unit.Writes.size()});
        else if (stage == QLatin1String("check"))
            ++unit.Checks;
        unit.Writes.push_back(offset);
    }
    for (TJournalUnit &unit : FUnits) {
        std::erase(unit.Writes, Dropped);
        unit.Writes.shrink_to_fit();
    }
    // A unit only an intent named, whose outcome went to another unit.
    std::erase_if(FUnits, [](const TJournalUnit &u) { return u.Writes.empty(); });
    return true;
}

QJsonObject TJournalIndex::Entry(qint64 Offset)
{
    QJsonObject entry;
    if (!FFile.seek(Offset) || ParseJournalLine(FFile.readLine().trimmed(), entry) != TJournalLine::Entry)
        return QJsonObject();
    if (entry.value(QStringLiteral("stage")) == QLatin1String("intent"))
        MarkWithoutOutcome(entry);
    return entry;
}

std::vector<QJsonObject> TJournalIndex::History(const TJournalUnit &Unit)
{
    std::vector<QJsonObject> entries;
    entries.reserve(Unit.Writes.size());
    for (const qint64 offset : Unit.Writes)
        entries.push_back(Entry(offset));
    return entries;
}
