#include "fleet/DoneEarlier.h"

#include "fleet/Journal.h"
#include "fleet/SettingsEdit.h"
#include "fleet/WriteVerdict.h"

#include <QJsonObject>

#include <cstring>
#include <optional>

namespace {

// The settings a journal line's write left the unit with when it succeeded:
// the bytes sent (its "payload"), which a verified write read back equal.
std::optional<TNetSettings> SucceededWith(const QJsonObject &Entry)
{
    if (!WriteSucceeded(Entry.value(QStringLiteral("verification")).toString()))
        return std::nullopt;
    const QByteArray payload =
        QByteArray::fromHex(Entry.value(QStringLiteral("payload")).toString().toLatin1());
    TNetSettings settings{};
    if (payload.size() != int(sizeof settings))
        return std::nullopt;
    std::memcpy(&settings, payload.constData(), sizeof settings);
    return settings;
}

} // namespace

std::vector<std::optional<TNetSettings>>
FindDoneEarlier(const QString &JournalPath, const std::vector<TPlanRow> &Rows, const TPlanLookup &Lookup)
{
    // The latest write of each planned unit decides.
    std::vector<std::optional<TNetSettings>> latest(Rows.size());
    auto note = [&](const QString &Serial, const std::optional<TNetSettings> &Settings) {
        if (const qsizetype row = Lookup.IndexOf(Rows, Serial.trimmed()); row >= 0)
            latest[size_t(row)] = Settings;
    };
    int skipped = 0;
    QString error;
    ForEachJournalLine(
        JournalPath,
        [&](QJsonObject &&Line) {
            const QString verdict = Line.value(QStringLiteral("verification")).toString();
            if (verdict.isEmpty() || Line.value(QStringLiteral("stage")) == QLatin1String("intent") ||
                ParseWriteVerdict(verdict) == TWriteVerdict::ChangedSinceDone)
                return;
            note(Line.value(QStringLiteral("serialNumber")).toString(), SucceededWith(Line));
            const QJsonValue answered = Line.value(QStringLiteral("answered"));
            if (answered.isObject())
                note(answered.toObject().value(QStringLiteral("serialNumber")).toString(), std::nullopt);
        },
        skipped, error);
    for (size_t i = 0; i < Rows.size(); ++i) {
        std::optional<TNetSettings> &with = latest[i];
        if (with && !SameSettings(ApplySettingsEdit(Rows[i].Edit, *with), *with))
            with.reset();
    }
    return latest;
}
