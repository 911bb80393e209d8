#include "platform/store/SettingsStore.h"

#include "base/LumoraError.h"
#include "platform/store/IniText_posix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

enum class TReadResult { Ok, Missing, Failed };

TReadResult ReadWholeFile(const QByteArray &path, QByteArray &content)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? TReadResult::Missing : TReadResult::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TReadResult::Failed;
    }
    content.clear();
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return TReadResult::Failed;
        }
        if (got == 0)
            break;
        content.append(chunk, got);
    }
    ::close(fd);
    return TReadResult::Ok;
}

void SyncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a path names once every symbolic link on the way is followed,
// also when the last link dangles (its target is then the file to create).
// Empty when the links form a loop or a chain too long to follow.
QString FinalTarget(const QString &path)
{
    QFileInfo info(path);
    for (int hops = 0; hops < 40; ++hops) {
        if (!info.isSymLink())
            return info.absoluteFilePath();
        info.setFile(info.symLinkTarget());
    }
    return {};
}

// Holds an exclusive flock on the lock file beside the settings file for
// the duration of one read-modify-write, so that writers in other processes
// (the program and the command-line tool, or two programs) take turns and
// none of them writes back a text that misses another's change. The lock
// file stays in place: removing it would let a late locker lock a file
// that no longer has a name.
class TStoreLock {
public:
    explicit TStoreLock(const QString &target)
    {
        const QFileInfo info(target);
        const QByteArray path = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                                  info.fileName() + QStringLiteral(".lock"));
        // Read access is all flock needs, so a lock file another user
        // created (root running the tool on this store) locks all the same.
        FFd = ::open(path.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (FFd < 0)
            return;
        // A writer holds the lock for one short file replacement; waiting
        // longer than this means the holder is stuck, and the write fails
        // rather than freezing the caller.
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(5);
        auto pause = milliseconds(1);
        while (::flock(FFd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || steady_clock::now() >= deadline) {
                ::close(FFd);
                FFd = -1;
                return;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, milliseconds(20));
        }
    }
    TStoreLock(const TStoreLock &) = delete;
    TStoreLock &operator=(const TStoreLock &) = delete;
    ~TStoreLock()
    {
        if (FFd >= 0)
            ::close(FFd); // releases the lock
    }
    bool Held() const { return FFd >= 0; }

private:
    int FFd = -1;
};

// Whether this user may write the existing file at path: asked of the
// kernel by opening it for writing (without truncating), which accounts for
// modes, owners, access lists and read-only mounts alike. Replacing the file
// by a rename needs only the folder, so this has to be asked first.
bool MayWrite(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace

TSettingsStore::TSettingsStore(QString FilePath) : FPath(std::move(FilePath)) {}

QString TSettingsStore::DefaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/lumora/ComSetup.INI");
}

QString TSettingsStore::Location(const QString &Section) const
{
    Q_UNUSED(Section);
    return FPath;
}

std::optional<QString> TSettingsStore::ReadString(const QString &Section, const QString &Name) const
{
    QByteArray content;
    if (ReadWholeFile(QFile::encodeName(FPath), content) != TReadResult::Ok)
        return std::nullopt;
    const auto value = FindIniValue(content, Section.toUtf8(), Name.toUtf8());
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(*value);
}

void TSettingsStore::WriteString(const QString &Section, const QString &Name, const QString &Value)
{
    const QByteArray value = Value.toUtf8();
    EditText(Section, Name, [&](const QByteArray &content) -> std::optional<QByteArray> {
        if (FindIniValue(content, Section.toUtf8(), Name.toUtf8()) == value)
            return std::nullopt;
        return SetIniValue(content, Section.toUtf8(), Name.toUtf8(), value);
    });
}

void TSettingsStore::EditText(const QString &Section, const QString &Name,
                              const std::function<std::optional<QByteArray>(const QByteArray &)> &Edit)
{
    const QByteArray section = Section.toUtf8();
    // Writing a section the file does not have means creating it; otherwise
    // only the value is set. A failure reports whichever was attempted.
    const auto failure = [&](const QByteArray &content, bool exists) {
        if (!exists || !HasIniSection(content, section))
            return ELumoraError(QStringLiteral("Failed to create key %1").arg(Section));
        return ELumoraError(QStringLiteral("Failed to set data for '%1'").arg(Name));
    };
    const ELumoraError setFailed(QStringLiteral("Failed to set data for '%1'").arg(Name));

    // Write through symbolic links to the file they name, so the links stay.
    const QString target = FinalTarget(FPath);
    if (target.isEmpty())
        throw setFailed;
    const QByteArray path = QFile::encodeName(target);

    // An edit with nothing to do (a value already stored, a removal of what
    // is not there) writes nothing: the outcome is the same, and a store
    // the user may not write still serves a program that only stores what is
    // there.
    QByteArray content;
    TReadResult read = ReadWholeFile(path, content);
    // A file that exists but cannot be read cannot be rewritten without
    // losing what it holds.
    if (read == TReadResult::Failed)
        throw setFailed;
    if (!Edit(content))
        return;

    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        throw failure(content, false);

    const TStoreLock lock(target);
    if (!lock.Held())
        throw failure(content, read == TReadResult::Ok);
    // Read again under the lock: another writer may have changed the file.
    read = ReadWholeFile(path, content);
    if (read == TReadResult::Failed)
        throw setFailed;
    const bool exists = read == TReadResult::Ok;
    const std::optional<QByteArray> edited = Edit(content);
    if (!edited)
        return;
    const QByteArray &updated = *edited;
    if (exists && !MayWrite(path))
        throw failure(content, exists);

    struct stat st {};
    const bool haveOwner = exists && ::stat(path.constData(), &st) == 0;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw failure(content, exists);
    // The replacement keeps the old file's owner where this user may give
    // it (root editing another user's store); its permissions QSaveFile
    // copies itself.
    if (haveOwner && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(file.handle(), st.st_uid, st.st_gid) != 0) {
        // Not this user's to give: the file becomes this user's, as any
        // file it replaces in a folder it may write.
    }
    if (file.write(updated) != updated.size() || !file.commit())
        throw failure(content, exists);
    SyncFolder(QFile::encodeName(folder));
}

std::vector<std::pair<QString, QString>> TSettingsStore::ReadSection(const QString &Section) const
{
    std::vector<std::pair<QString, QString>> entries;
    QByteArray content;
    if (ReadWholeFile(QFile::encodeName(FPath), content) != TReadResult::Ok)
        return entries;
    for (const auto &[key, value] : IniSectionEntries(content, Section.toUtf8()))
        entries.emplace_back(QString::fromUtf8(key), QString::fromUtf8(value));
    return entries;
}

void TSettingsStore::RemoveValue(const QString &Section, const QString &Name)
{
    EditText(Section, Name, [&](const QByteArray &content) -> std::optional<QByteArray> {
        if (!FindIniValue(content, Section.toUtf8(), Name.toUtf8()))
            return std::nullopt;
        return RemoveIniValue(content, Section.toUtf8(), Name.toUtf8());
    });
}
