#include "platform/IniText.h"
#include "platform/LumoraError.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_EQ(QDir(ConfigHome() + "/lumora").entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file is left behind";
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
    ASSERT_EQ(::chmod(QFile::encodeName(ConfigHome() + "/lumora").constData(), 0555), 0);
    EXPECT_NO_THROW(store.RemoveValue("Ports", "COM7")) << "nothing to remove, nothing written";
    ::chmod(QFile::encodeName(ConfigHome() + "/lumora").constData(), 0755);
    EXPECT_EQ(store.ReadSection("Ports"), (std::vector<std::pair<QString, QString>>{{"COM2", "/b"}}));
}

} // namespace
