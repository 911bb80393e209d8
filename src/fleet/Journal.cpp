#include "fleet/Journal.h"

#include "fleet/JournalIndex.h"
#include "fleet/WriteVerdict.h"
#include "platform/serial/PortMap.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <algorithm>

bool TJournal::Open(const QString &Path, QString &Error)
{
    FPath = Path;
    const QString folder = QFileInfo(Path).absolutePath();
    if (!QDir().mkpath(folder)) {
        Error = QStringLiteral("cannot create the journal folder %1").arg(folder);
        return false;
    }
    QString reason;
    if (!FFile.Open(Path, reason)) {
        Error = QStringLiteral("cannot write the journal %1: %2").arg(Path, reason);
        return false;
    }
    FOpen = true;
    return true;
}

bool TJournal::Append(const QJsonObject &Entry, QString &Error)
{
    QString reason = QStringLiteral("the journal is not open");
    if (FOpen && FFile.Append(QJsonDocument(Entry).toJson(QJsonDocument::Compact) + '\n', reason))
        return true;
    Error = QStringLiteral("cannot write the journal %1: %2").arg(FPath, reason);
    return false;
}

bool ForEachJournalLine(const QString &Path, const std::function<void(QJsonObject &&)> &Visit, int &Skipped,
                        QString &Error)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("cannot read the journal %1: %2").arg(Path, file.errorString());
        return false;
    }
    Skipped = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (!doc.isObject()) {
            ++Skipped;
            continue;
        }
        Visit(doc.object());
    }
    return true;
}

TJournalLine ParseJournalLine(const QByteArray &Line, QJsonObject &Entry)
{
    const QJsonDocument doc = QJsonDocument::fromJson(Line);
    if (!doc.isObject())
        return TJournalLine::Damaged;
    Entry = doc.object();
    const QJsonValue stage = Entry.value(QStringLiteral("stage"));
    const bool knownStage = stage.isUndefined() || stage == QLatin1String("intent") ||
                            stage == QLatin1String("outcome") || stage == QLatin1String("check");
    const QJsonValue serial = Entry.value(QStringLiteral("serialNumber"));
    if (!knownStage || !serial.isString() || serial.toString().isEmpty())
        return TJournalLine::Unknown;
    return TJournalLine::Entry;
}

void MarkWithoutOutcome(QJsonObject &Entry)
{
    Entry.insert(QStringLiteral("after"), QJsonValue());
    Entry.insert(QStringLiteral("ack"), QJsonValue());
    Entry.insert(QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::NoOutcome));
}

bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error,
                 int *Unknown)
{
    TJournalIndex index;
    if (!index.Read(Path, QDateTime(), Error))
        return false;
    Skipped = index.Damaged() + index.Unknown();
    if (Unknown != nullptr)
        *Unknown = index.Unknown();
    // File order is the order of the lines' offsets.
    std::vector<qint64> offsets;
    for (const TJournalUnit &unit : index.Units())
        offsets.insert(offsets.end(), unit.Writes.begin(), unit.Writes.end());
    std::sort(offsets.begin(), offsets.end());
    for (const qint64 offset : offsets)
        Entries.push_back(index.Entry(offset));
    return true;
}

QString DeviceRecordName(const QString &DevicePath, const TPortScanRoots &Roots)
{
    const QString target = QFileInfo(DevicePath).canonicalFilePath();
    if (target.isEmpty())
        return DevicePath;
    const QDir byId(Roots.ById);
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    }
    return DevicePath;
}
