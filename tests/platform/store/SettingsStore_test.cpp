#include "base/LumoraError.h"
#include "device/ComUnit.h"
#include "platform/serial/PortMap.h"
#include "platform/store/IniText_posix.h"
#include "platform/store/SettingsStore.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using lumora::test::ConfigHome;

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { lumora::test::ResetConfigHome(); }
    QString Path() const { return TSettingsStore::DefaultPath(); }
    int32_t Port() const { return TSettingsStore(Path()).ReadInteger("COMSetup", "COM", 1); }
    void SetPort(int32_t n) { TSettingsStore(Path()).WriteInteger("COMSetup", "COM", n); }
};

TEST_F(SettingsStoreTest, LivesUnderTheConfigFolder)
{
    EXPECT_EQ(Path(), ConfigHome() + "/lumora/ComSetup.INI");
}

TEST_F(SettingsStoreTest, DefaultWhenNothingReadsAsAnInteger)
{
    EXPECT_EQ(Port(), 1) << "no file";
    WriteFile(Path(), "[Other]\nCOM=5\n");
    EXPECT_EQ(Port(), 1) << "no section";
    WriteFile(Path(), "[COMSetup]\nBaud=5\n");
    EXPECT_EQ(Port(), 1) << "no value";
    for (const char *bad : {"[COMSetup]\nCOM=\n", "[COMSetup]\nCOM=three\n", "[COMSetup]\nCOM=3x\n",
                            "[COMSetup]\nCOM=99999999999\n"}) {
        WriteFile(Path(), bad);
        EXPECT_EQ(Port(), 1) << bad;
    }
}

TEST_F(SettingsStoreTest, ReadsIntegersTheSharedWay)
{
    WriteFile(Path(), "[comsetup]\r\n  com =  $0A \r\n");
    EXPECT_EQ(Port(), 10) << "names ignore case, blanks around key and value are trimmed";
    WriteFile(Path(), "[COMSetup]\nCOM=-3\n");
    EXPECT_EQ(Port(), -3) << "no range check on read";
}

TEST_F(SettingsStoreTest, RoundTripCreatesFolderAndFile)
{
    SetPort(3);
    EXPECT_EQ(ReadFile(Path()), "[COMSetup]\nCOM=3\n");
    EXPECT_EQ(Port(), 3);
    SetPort(12);
    EXPECT_EQ(ReadFile(Path()), "[COMSetup]\nCOM=12\n");
    SetPort(-1);
    EXPECT_EQ(Port(), -1);
    EXPECT_EQ(QDir(ConfigHome() + "/lumora").entryList(QDir::Files | QDir::Hidden),
              QStringList({".ComSetup.INI.lock", "ComSetup.INI"}))
        << "no temporary file is left behind, only the writers' lock file";
}

TEST_F(SettingsStoreTest, WritingKeepsEveryOtherLine)
{
    const QByteArray before =
        "; hand-written\r\n[Ports]\r\nCOM1=/dev/ttyUSB0\r\nCOM2 = /tmp/sim link\r\n\r\n"
        "[COMSetup]\r\nBaud=9600\r\nCOM=2\r\nweird line without equals\r\n\r\n[Tail]\r\nx=1";
    WriteFile(Path(), before);
    SetPort(4);
    QByteArray expected = before;
    expected.replace("COM=2\r\n", "COM=4\r\n");
    EXPECT_EQ(ReadFile(Path()), expected);
    EXPECT_EQ(TSettingsStore(Path()).ReadString("Ports", "COM2"), QString("/tmp/sim link"));

    // Storing the value that is there leaves the very file in place.
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(Path()).constData(), &st), 0);
    SetPort(4);
    struct stat again {};
    ASSERT_EQ(stat(QFile::encodeName(Path()).constData(), &again), 0);
    EXPECT_EQ(again.st_ino, st.st_ino);
    EXPECT_EQ(ReadFile(Path()), expected);
}

TEST_F(SettingsStoreTest, NewKeyGoesAtTheEndOfItsSection)
{
    WriteFile(Path(), "[COMSetup]\nBaud=9600\n\n[Ports]\nCOM1=/dev/x\n");
    SetPort(2);
    EXPECT_EQ(ReadFile(Path()), "[COMSetup]\nBaud=9600\nCOM=2\n\n[Ports]\nCOM1=/dev/x\n");
    WriteFile(Path(), "[Ports]\nCOM1=/dev/x");
    SetPort(2);
    EXPECT_EQ(ReadFile(Path()), "[Ports]\nCOM1=/dev/x\n[COMSetup]\nCOM=2\n");
}

TEST_F(SettingsStoreTest, CorruptContentsReadAsDefaultAndSurviveAWrite)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) & 0xFF));
    const QByteArray huge(4 * 1024 * 1024, 'A');
    for (const QByteArray &contents :
         {garbage, QByteArray("COM=7\nno sections at all\n"), huge, QByteArray("[COMSetup\nCOM=7\n"),
          QByteArray("\0\0[COMSetup]\0", 13)}) {
        WriteFile(Path(), contents);
        EXPECT_EQ(Port(), 1);
        SetPort(5);
        EXPECT_EQ(Port(), 5);
        EXPECT_TRUE(ReadFile(Path()).startsWith(contents)) << "the old bytes stay in front";
    }
}

TEST_F(SettingsStoreTest, UnreadableFileGivesTheDefaultAndIsNotOverwritten)
{
    QDir().mkpath(Path()); // a folder where the file should be
    EXPECT_EQ(Port(), 1);
    try {
        SetPort(2);
        FAIL() << "writing over a folder must fail";
    } catch (const ELumoraError &e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'COM'");
    }
    EXPECT_TRUE(QFileInfo(Path()).isDir());
}

TEST_F(SettingsStoreTest, FolderThatCannotBeCreatedRaisesTheKeyError)
{
    WriteFile(ConfigHome() + "/lumora", "a file where the folder should be");
    try {
        SetPort(2);
        FAIL() << "expected an error";
    } catch (const ELumoraError &e) {
        EXPECT_EQ(e.Message(), "Failed to create key COMSetup");
        EXPECT_STREQ(e.what(), "Failed to create key COMSetup");
    }
    EXPECT_EQ(Port(), 1);
}

TEST_F(SettingsStoreTest, KeepsPermissionsAndWritesThroughALink)
{
    WriteFile(ConfigHome() + "/real.ini", "[Ports]\nCOM1=/dev/a\n");
    ::chmod((ConfigHome() + "/real.ini").toLocal8Bit().constData(), 0640);
    QDir().mkpath(ConfigHome() + "/lumora");
    ASSERT_TRUE(QFile::link(ConfigHome() + "/real.ini", Path()));
    SetPort(6);
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    EXPECT_EQ(ReadFile(ConfigHome() + "/real.ini"), "[Ports]\nCOM1=/dev/a\n[COMSetup]\nCOM=6\n");
    struct stat st {};
    ASSERT_EQ(::stat((ConfigHome() + "/real.ini").toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

ino_t Inode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(SettingsStoreTest, ByteOrderMarkAndCrLfAreUnderstoodAndKept)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray before = bom + "[COMSetup]\r\nCOM=2\r\n\r\n[Ports]\r\nCOM1=/dev/x\r\n";
    WriteFile(Path(), before);
    EXPECT_EQ(Port(), 2);
    SetPort(5);
    QByteArray expected = before;
    expected.replace("COM=2", "COM=5");
    EXPECT_EQ(ReadFile(Path()), expected) << "no second section, nothing else changed";
    TSettingsStore(Path()).WriteString("COMSetup", "Baud", "9600");
    expected.replace("COM=5\r\n", "COM=5\r\nBaud=9600\r\n");
    EXPECT_EQ(ReadFile(Path()), expected) << "a new line takes the file's line ending";

    WriteFile(Path(), bom);
    SetPort(3);
    EXPECT_EQ(ReadFile(Path()), bom + "[COMSetup]\nCOM=3\n");
}

TEST_F(SettingsStoreTest, ValueAlreadyStoredLeavesTheFileAlone)
{
    WriteFile(Path(), "[COMSetup]\n  com = 4 \n");
    const ino_t before = Inode(Path());
    SetPort(4);
    EXPECT_EQ(Inode(Path()), before) << "not replaced";
    EXPECT_EQ(ReadFile(Path()), "[COMSetup]\n  com = 4 \n");
    SetPort(5);
    EXPECT_NE(Inode(Path()), before);
    EXPECT_EQ(Port(), 5);
}

TEST_F(SettingsStoreTest, LinksStayLinks)
{
    // A dangling link gets its target, folder and all.
    QDir().mkpath(ConfigHome() + "/lumora");
    ASSERT_TRUE(QFile::link(ConfigHome() + "/elsewhere/real.ini", Path()));
    SetPort(6);
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    EXPECT_EQ(ReadFile(ConfigHome() + "/elsewhere/real.ini"), "[COMSetup]\nCOM=6\n");

    // A chain of links is followed to its end; relative targets count from
    // the link's folder.
    const QString middle = ConfigHome() + "/middle.ini";
    ASSERT_TRUE(QFile::link("elsewhere/real.ini", middle));
    QFile::remove(Path());
    ASSERT_TRUE(QFile::link(middle, Path()));
    SetPort(7);
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
    EXPECT_EQ(ReadFile(ConfigHome() + "/elsewhere/real.ini"), "[COMSetup]\nCOM=7\n");

    // A loop has no file to write: the error, and both links stay.
    QFile::remove(middle);
    ASSERT_TRUE(QFile::link(Path(), middle));
    QFile::remove(Path());
    ASSERT_TRUE(QFile::link(middle, Path()));
    EXPECT_EQ(Port(), 1);
    EXPECT_THROW(SetPort(8), ELumoraError);
    EXPECT_TRUE(QFileInfo(Path()).isSymLink());
    EXPECT_TRUE(QFileInfo(middle).isSymLink());
}

// Outcome of a store operation run in a child process, as its exit code.
enum TOutcome { Stored = 0, CreateKeyFailed = 1, SetDataFailed = 2, OtherFailure = 3, NotOpened = 4 };

class StoreClosedTo : public ::testing::Test {
protected:
    class TLabel : public TStatusLabel {
    public:
        void SetFontColor(uint32_t) override {}
        void SetCaption(const QString &) override {}
    };

    void SetUp() override
    {
        ASSERT_TRUE(FBase.isValid());
        // The unprivileged user must reach the folder.
        ::chmod(QFile::encodeName(FBase.path()).constData(), 0755);
    }
    void TearDown() override { ::chmod(QFile::encodeName(Folder()).constData(), 0755); }
    QString Folder() const { return FBase.path() + "/lumora"; }
    QString File() const { return Folder() + "/ComSetup.INI"; }
    static bool Root() { return ::geteuid() == 0; }

    // A fresh settings folder and file: owned by the user who runs Body (or
    // by root), with the given modes. An empty Content means no file.
    void Prepare(bool folderIsTheUsers, mode_t folderMode, const QByteArray &content, bool fileIsTheUsers,
                 mode_t fileMode)
    {
        QDir(Folder()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(Folder()));
        if (!content.isEmpty()) {
            WriteFile(File(), content);
            Own(File(), fileIsTheUsers, fileMode);
        }
        Own(Folder(), folderIsTheUsers, folderMode);
    }

    // Runs Body in a child process as the user "nobody" when this process is
    // root (as in CI, where root may write anything and the check would prove
    // nothing), otherwise as this user. The child reports through its exit
    // code.
    TOutcome Run(const std::function<TOutcome()> &body) const
    {
        const pid_t child = ::fork();
        if (child == 0) {
            if (Root() && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
                ::_exit(OtherFailure);
            ::setenv("XDG_CONFIG_HOME", QFile::encodeName(FBase.path()).constData(), 1);
            TOutcome outcome = OtherFailure;
            try {
                outcome = body();
            } catch (const ELumoraError &e) {
                outcome = e.Message() == "Failed to create key COMSetup"  ? CreateKeyFailed
                          : e.Message() == "Failed to set data for 'COM'" ? SetDataFailed
                                                                          : OtherFailure;
            }
            ::_exit(outcome);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return OtherFailure;
        return TOutcome(WEXITSTATUS(status));
    }
    TOutcome Store(int32_t port) const
    {
        return Run([&] {
            TSettingsStore(File()).WriteInteger("COMSetup", "COM", port);
            return Stored;
        });
    }

private:
    static constexpr uid_t Nobody = 65534;

    static void Own(const QString &path, bool theUsers, mode_t mode)
    {
        const QByteArray p = QFile::encodeName(path);
        if (Root()) {
            ASSERT_EQ(::chown(p.constData(), theUsers ? Nobody : 0, theUsers ? Nobody : 0), 0);
        }
        ASSERT_EQ(::chmod(p.constData(), mode), 0);
    }

    QTemporaryDir FBase{QDir::tempPath() + "/lumora-store-XXXXXX"};
};

TEST_F(StoreClosedTo, OnlyWhatTheUserMayWriteIsWritten)
{
    struct TCase {
        const char *What;
        bool FileIsTheUsers;
        mode_t FileMode;
        QByteArray Content;
        TOutcome Expected;
    };
    const TCase cases[] = {
        {"read-only file", true, 0444, "[COMSetup]\r\nCOM=2\r\n", SetDataFailed},
        {"read-only file without the section", true, 0444, "[Ports]\nCOM1=/dev/x\n", CreateKeyFailed},
        {"another owner's file", false, 0644, "[COMSetup]\nCOM=2\n", SetDataFailed},
        {"another owner's file without the section", false, 0644, "; empty\n", CreateKeyFailed},
    };
    for (const TCase &c : cases) {
        if (!c.FileIsTheUsers && !Root())
            continue; // only root can hand a file to another owner
        // The folder is the user's: a rename would replace the file.
        Prepare(true, 0755, c.Content, c.FileIsTheUsers, c.FileMode);
        const ino_t before = Inode(File());
        EXPECT_EQ(Store(3), c.Expected) << c.What;
        EXPECT_EQ(Inode(File()), before) << c.What;
        EXPECT_EQ(ReadFile(File()), c.Content) << c.What;
    }
    // No file and a folder the user may not write: nothing can be created.
    Prepare(false, Root() ? 0755 : 0555, {}, false, 0);
    EXPECT_EQ(Store(3), CreateKeyFailed);
    EXPECT_FALSE(QFileInfo::exists(File()));

    // The user's own file, with a lock file root left behind (root ran the
    // tool on this store): writing works.
    if (Root()) {
        Prepare(true, 0755, "[COMSetup]\nCOM=2\n", true, 0644);
        WriteFile(Folder() + "/.ComSetup.INI.lock", "");
        EXPECT_EQ(Store(3), Stored);
        EXPECT_EQ(ReadFile(File()), "[COMSetup]\nCOM=3\n");
    }
}

TEST_F(StoreClosedTo, ReadOnlyFolderWithThePortStoredStillOpensIt)
{
    // /dev/null stands for the port: a character device anyone may open.
    const QByteArray content = "[COMSetup]\nCOM=5\n[Ports]\nCOM5=/dev/null\n";
    Prepare(false, 0555, content, false, 0444);
    const auto open = [](int32_t port) {
        return [port] {
            TLabel label;
            return TCOMMan(&label).Open(port) ? Stored : NotOpened;
        };
    };
    EXPECT_EQ(Run(open(5)), Stored);
    EXPECT_EQ(Run(open(4)), SetDataFailed) << "another port cannot be stored";
    EXPECT_EQ(ReadFile(File()), content);
}

TEST(IniText, FirstSectionAndFirstKeyWin)
{
    const QByteArray text = "[A]\nk=1\nk=2\n[A]\nk=3\n; k=4\n";
    EXPECT_EQ(FindIniValue(text, "A", "k"), QByteArray("1"));
    EXPECT_EQ(SetIniValue(text, "a", "K", "9"), QByteArray("[A]\nK=9\nk=2\n[A]\nk=3\n; k=4\n"));
    EXPECT_EQ(FindIniValue("[A]\n;k=1\n#k=2\n", "A", "k"), std::nullopt) << "comments are not entries";
    EXPECT_EQ(FindIniValue("", "A", "k"), std::nullopt);
    EXPECT_EQ(SetIniValue("", "A", "k", "1"), QByteArray("[A]\nk=1\n"));
}

TEST(IniText, EntryAddedAfterALastLineWithoutLineFeedReadsBack)
{
    // A file cut after the CR of a CR LF pair: the new entry must not join
    // the section's header line.
    const QByteArray written = SetIniValue("[COMSetup]\r", "COMSetup", "COM", "3");
    EXPECT_EQ(written, QByteArray("[COMSetup]\r\nCOM=3\n"));
    EXPECT_EQ(FindIniValue(written, "COMSetup", "COM"), QByteArray("3"));
    EXPECT_EQ(SetIniValue("[A]\nk=1", "A", "j", "2"), QByteArray("[A]\nk=1\nj=2\n"));
}

TEST(IniText, SectionEntriesAndRemovalKeepEveryOtherByte)
{
    const QByteArray text =
        "\xEF\xBB\xBF; note\r\n[A]\r\nx = 1\r\n; c\r\n y=2 \r\n[B]\r\nx=3\r\n[a]\r\nz=4\r\n";
    const auto entries = IniSectionEntries(text, "a");
    ASSERT_EQ(entries.size(), 2U) << "the first section of the name only";
    EXPECT_EQ(entries[0], std::make_pair(QByteArray("x"), QByteArray("1")));
    EXPECT_EQ(entries[1], std::make_pair(QByteArray("y"), QByteArray("2")));
    EXPECT_EQ(RemoveIniValue(text, "A", "Y"),
              QByteArray("\xEF\xBB\xBF; note\r\n[A]\r\nx = 1\r\n; c\r\n[B]\r\nx=3\r\n[a]\r\nz=4\r\n"));
    EXPECT_EQ(RemoveIniValue(text, "B", "y"), text);
    EXPECT_EQ(RemoveIniValue("[A]\nk=1", "A", "k"), QByteArray("[A]\n")) << "last line without line feed";
}

TEST_F(SettingsStoreTest, RemovingAValueLeavesTheRestAndWritesNothingWhenAbsent)
{
    WriteFile(Path(), "[Ports]\nCOM1=/a\nCOM2=/b\n");
    TSettingsStore store(Path());
    store.RemoveValue("Ports", "com1");
    EXPECT_EQ(ReadFile(Path()), "[Ports]\nCOM2=/b\n");
    const ino_t before = Inode(Path());
    store.RemoveValue("Ports", "COM7");
    EXPECT_EQ(Inode(Path()), before) << "nothing to remove, nothing written";
    EXPECT_EQ(store.ReadSection("Ports"), (std::vector<std::pair<QString, QString>>{{"COM2", "/b"}}));
}

} // namespace
