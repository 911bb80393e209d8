#include "SettingsStore.h"

#include "IniText.h"
#include "IntConv.h"
#include "LumoraError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class TReadResult { Ok, Missing, Failed };

TReadResult ReadWholeFile(const QByteArray &path, QByteArray &content)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? TReadResult::Missing : TReadResult::Failed;
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

bool WriteAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t put = ::write(fd, p, size_t(left));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        left -= put;
    }
    return true;
}

void SyncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
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

int32_t TSettingsStore::ReadInteger(const QString &Section, const QString &Name, int32_t Default) const
{
    const auto text = ReadString(Section, Name);
    int32_t value = Default;
    if (!text || !TryStrToInt(*text, value))
        return Default;
    return value;
}

void TSettingsStore::WriteInteger(const QString &Section, const QString &Name, int32_t Value)
{
    WriteString(Section, Name, QString::number(Value));
}

void TSettingsStore::WriteString(const QString &Section, const QString &Name, const QString &Value)
{
    EditText(Section, Name, [&](const QByteArray &content) {
        return SetIniValue(content, Section.toUtf8(), Name.toUtf8(), Value.toUtf8());
    });
}

void TSettingsStore::EditText(const QString &Section, const QString &Name,
                              const std::function<QByteArray(const QByteArray &)> &Edit)
{
    const ELumoraError createFailed(QStringLiteral("Failed to create key %1").arg(Section));
    const ELumoraError setFailed(QStringLiteral("Failed to set data for '%1'").arg(Name));

    // Write through a symbolic link to the file it names, so the link stays.
    QString target = FPath;
    const QFileInfo info(FPath);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        throw createFailed;

    const QByteArray path = QFile::encodeName(target);
    QByteArray content;
    const TReadResult read = ReadWholeFile(path, content);
    // A file that exists but cannot be read cannot be rewritten without
    // losing what it holds.
    if (read == TReadResult::Failed)
        throw setFailed;

    const QByteArray updated = Edit(content);

    QByteArray temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw createFailed;
    // Keep the old file's permissions; a new file gets the usual ones.
    struct stat st {};
    if (read == TReadResult::Ok && ::stat(path.constData(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    const bool written = WriteAll(fd, updated) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.constData(), path.constData()) != 0) {
        ::unlink(temp.constData());
        throw setFailed;
    }
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
    if (!ReadString(Section, Name))
        return;
    EditText(Section, Name, [&](const QByteArray &content) {
        return RemoveIniValue(content, Section.toUtf8(), Name.toUtf8());
    });
}
