#pragma once

#include "CliRun.h"
#include "device/Records.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace lumora::test {

// The write commands (command 1) the unit received.
inline int Writes(const TSimLine &Sim)
{
    int n = 0;
    for (const TRequest &r : Sim.Received())
        n += r.Command == 1 ? 1 : 0;
    return n;
}

inline QString LocalIp(const TSimLine &Sim)
{
    return IPToStr(Sim.Config().Info.LocalAddr);
}

// A fresh settings store, a folder for the files a test gives the tool, and
// a journal in it.
class TCliFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetConfigHome(); }

    // Dir's file Name, written with Content unless that is null.
    QString File(const QString &Name, const QByteArray &Content = {})
    {
        QString path = Dir.filePath(Name);
        if (!Content.isNull()) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(Content) == Content.size());
        }
        return path;
    }
    // The tool on Sim's line, journaling into Journal().
    TCliRun Run(const TSimLine &Sim, const QStringList &Args)
    {
        return RunTool(QStringList{"--port", Sim.SlavePath()} + Args + QStringList{"--journal", Journal()});
    }
    QString Journal() { return Dir.filePath("journal.jsonl"); }
    // The path the tool is given as its port: a link that leads to one
    // unit's line at a time.
    QString Line() { return Dir.filePath("line"); }
    void Attach(const TSimLine &Sim)
    {
        const QString fresh = Line() + ".new";
        QFile::remove(fresh);
        ASSERT_TRUE(QFile::link(Sim.SlavePath(), fresh));
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(Line()).constData()), 0);
    }
    // Units are swapped: the old one goes away, the line then leads to the next.
    void Swap(std::unique_ptr<TSimLine> &Current, const TSimConfig &Next)
    {
        auto next = std::make_unique<TSimLine>(Next);
        Current.reset();
        Attach(*next);
        Current = std::move(next);
    }
    // The journal's lines of one stage ("intent", "outcome"), or all of them.
    std::vector<QJsonObject> JournalLines(const QString &Stage = "outcome")
    {
        std::vector<QJsonObject> lines;
        QFile f(Journal());
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : f.readAll().split('\n')) {
                const QJsonObject object = QJsonDocument::fromJson(line).object();
                if (!line.isEmpty() && (Stage.isEmpty() || object["stage"] == Stage))
                    lines.push_back(object);
            }
        }
        return lines;
    }

    QTemporaryDir Dir;
};

// The same with one sample unit on a line of its own.
class TUnitFixture : public TCliFixture {
protected:
    using TCliFixture::Run;
    // The tool against Sim, addressed by its path.
    TCliRun Run(const QStringList &Args) { return RunTool(QStringList{"--port", Sim.SlavePath()} + Args); }
    // The commands of the frames Sim received, in order.
    std::vector<uint8_t> Commands() const
    {
        std::vector<uint8_t> codes;
        for (const TRequest &r : Sim.Received())
            codes.push_back(r.Command);
        return codes;
    }

    TSimLine Sim;
};

// Collects the tool's standard output in a pipe, so that a test can wait for
// the events of a run in another thread.
class TPipeOutput : public TCliOutput {
public:
    TPipeOutput() { EXPECT_EQ(::pipe2(FFds, O_CLOEXEC), 0); }
    ~TPipeOutput() override
    {
        ::close(FFds[0]);
        ::close(FFds[1]);
    }
    // The next event line, waiting at most 20 s for it.
    QJsonObject NextEvent()
    {
        for (;;) {
            if (const qsizetype nl = FPending.indexOf('\n'); nl >= 0) {
                const QByteArray line = FPending.left(nl);
                FPending.remove(0, nl + 1);
                return QJsonDocument::fromJson(line).object();
            }
            pollfd p{FFds[0], POLLIN, 0};
            if (::poll(&p, 1, 20000) != 1)
                return {};
            char buf[4096];
            const ssize_t n = ::read(FFds[0], buf, sizeof buf);
            if (n <= 0)
                return {};
            FPending.append(buf, n);
        }
    }
    // Skips events until one of Kind for Serial (any serial when empty).
    QJsonObject Await(const QString &Kind, const QString &Serial = {})
    {
        for (QJsonObject e = NextEvent(); !e.isEmpty(); e = NextEvent()) {
            if (e["event"].toString() == Kind && (Serial.isEmpty() || e["serialNumber"].toString() == Serial))
                return e;
        }
        ADD_FAILURE() << "no event " << Kind.toStdString();
        return {};
    }

protected:
    void WriteOut(const QByteArray &Bytes) override
    {
        EXPECT_EQ(::write(FFds[1], Bytes.data(), Bytes.size()), Bytes.size());
    }
    void WriteErr(const QByteArray &) override {}

private:
    int FFds[2] = {-1, -1};
    QByteArray FPending;
};

} // namespace lumora::test
