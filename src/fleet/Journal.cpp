#include "fleet/Journal.h"

#include "fleet/WholeFile.h"
#include "platform/PortMap.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
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
    FFd = ::open(QFile::encodeName(Path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (FFd < 0) {
        Error = QStringLiteral("cannot write the journal %1: %2").arg(Path, SystemErrorText(errno));
        return false;
    }
    return true;
}

namespace {

// Holds the journal's lock for one append.
class TAppendLock {
public:
    explicit TAppendLock(int Fd) : FFd(Fd)
    {
        int r = -1;
        do {
            r = ::flock(FFd, LOCK_EX);
        } while (r != 0 && errno == EINTR);
        FLocked = r == 0;
    }
    ~TAppendLock()
    {
        if (FLocked)
            ::flock(FFd, LOCK_UN);
    }
    TAppendLock(const TAppendLock &) = delete;
    TAppendLock &operator=(const TAppendLock &) = delete;
    bool Locked() const { return FLocked; }

private:
    int FFd;
    bool FLocked = false;
};

// True when the file's last byte is a line break (or the file is empty).
bool EndsWithLineBreak(int Fd, off_t Size)
{
    char last = '\n';
    return Size == 0 || (::pread(Fd, &last, 1, Size - 1) == 1 && last == '\n');
}

} // namespace

bool TJournal::Append(const QJsonObject &Entry, QString &Error)
{
    auto fail = [&](int Code) {
        Error = QStringLiteral("cannot write the journal %1: %2").arg(FPath, SystemErrorText(Code));
        return false;
    };
    if (FFd < 0)
        return fail(EBADF);
    const TAppendLock lock(FFd);
    if (!lock.Locked())
        return fail(errno);
    struct stat before {};
    if (::fstat(FFd, &before) != 0)
        return fail(errno);
    QByteArray line = QJsonDocument(Entry).toJson(QJsonDocument::Compact) + '\n';
    if (!EndsWithLineBreak(FFd, before.st_size))
        line.prepend('\n');
    if (WriteAllTo(FFd, line.constData(), line.size()) && ::fsync(FFd) == 0)
        return true;
    // Whatever part of the line reached the file goes again: the journal
    // holds whole lines only, and the next record starts on a fresh one.
    const int code = errno;
    if (::ftruncate(FFd, before.st_size) == 0)
        ::fsync(FFd);
    return fail(code);
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
    if (const passwd *pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
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
