#include "fleet/Journal.h"

#include "platform/PortMap.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

TJournal::~TJournal()
{
    if (FFd >= 0)
        ::close(FFd);
}

QString TJournal::DefaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/lumora/journal.jsonl");
}

bool TJournal::Open(const QString &Path, QString &Error)
{
    FPath = Path;
    const QString folder = QFileInfo(Path).absolutePath();
    if (!QDir().mkpath(folder)) {
        Error = QStringLiteral("cannot create the journal folder %1").arg(folder);
        return false;
    }
    FFd = ::open(QFile::encodeName(Path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (FFd < 0) {
        Error = QStringLiteral("cannot write the journal %1: %2")
                    .arg(Path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

bool TJournal::Append(const QJsonObject &Entry, QString &Error)
{
    const QByteArray line = QJsonDocument(Entry).toJson(QJsonDocument::Compact) + '\n';
    ssize_t n = -1;
    do {
        n = ::write(FFd, line.constData(), size_t(line.size()));
    } while (n < 0 && errno == EINTR);
    if (n != line.size() || ::fsync(FFd) != 0) {
        Error = QStringLiteral("cannot write the journal %1: %2")
                    .arg(FPath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error)
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
        if (doc.isObject())
            Entries.push_back(doc.object());
        else
            ++Skipped;
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
    if (const passwd *pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString CurrentHost()
{
    return QSysInfo::machineHostName();
}

QString RecordTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
}
