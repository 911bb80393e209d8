#include "fleet/Journal.h"

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

bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("cannot read the journal %1: %2").arg(Path, file.errorString());
        return false;
    }
    Skipped = 0;
    std::vector<QJsonObject> lines;
    QSet<QString> outcomes;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        if (!doc.isObject()) {
            ++Skipped;
            continue;
        }
        lines.push_back(doc.object());
        if (lines.back().value(QStringLiteral("stage")) == QLatin1String("outcome"))
            outcomes.insert(lines.back().value(QStringLiteral("writeId")).toString());
    }
    for (QJsonObject &entry : lines) {
        if (entry.value(QStringLiteral("stage")) == QLatin1String("intent")) {
            if (outcomes.contains(entry.value(QStringLiteral("writeId")).toString()))
                continue;
            entry.insert(QStringLiteral("after"), QJsonValue());
            entry.insert(QStringLiteral("ack"), QJsonValue());
            entry.insert(QStringLiteral("verification"), QStringLiteral("no outcome recorded"));
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
