#include "fleet/Journal.h"

#include "fleet/WriteVerdict.h"
#include "platform/files/UserPlaces.h"
#include "platform/serial/PortMap.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>
#include <QSysInfo>

QString TJournal::DefaultPath()
{
    return QDir::toNativeSeparators(QDir(UserStateFolder()).filePath(QStringLiteral("journal.jsonl")));
}

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

bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error)
{
    std::vector<QJsonObject> lines;
    QSet<QString> outcomes;
    const bool read = ForEachJournalLine(
        Path,
        [&](QJsonObject &&Line) {
            if (Line.value(QStringLiteral("stage")) == QLatin1String("outcome"))
                outcomes.insert(Line.value(QStringLiteral("writeId")).toString());
            lines.push_back(std::move(Line));
        },
        Skipped, Error);
    if (!read)
        return false;
    for (QJsonObject &entry : lines) {
        if (entry.value(QStringLiteral("stage")) == QLatin1String("intent")) {
            if (outcomes.contains(entry.value(QStringLiteral("writeId")).toString()))
                continue;
            entry.insert(QStringLiteral("after"), QJsonValue());
            entry.insert(QStringLiteral("ack"), QJsonValue());
            entry.insert(QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::NoOutcome));
        }
        Entries.push_back(entry);
    }
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

QString CurrentUser()
{
    return LoginName();
}

QString CurrentHost()
{
    return QSysInfo::machineHostName();
}

QString RecordTime(Qt::DateFormat Format)
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Format);
}
