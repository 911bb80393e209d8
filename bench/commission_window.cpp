// The commissioning window at work, offscreen, against simulated units:
//
// 1. The window's event loop during a run of 20 units swapped one after the
//    other on one line: a 1 ms timer on the window's thread notes every gap
//    between its ticks; the longest gap less the 1 ms is the longest stall.
//    The units are plugged in by a thread of their own, as a technician's
//    hands are no part of the program.
// 2. One unit's cycle, from the unit answering to its verified "done" (the
//    engine's look at a fresh unit: read, write, read back, journal lines),
//    against the sum of the mandated pauses and the line times of those
//    exchanges at 115200 baud.
// 3. Opening a plan of 10,000 rows: from the click's handler to the table
//    painted, and the peak resident memory of the whole process.
//
//   bench-commission_window [ROUNDS]     (default 10, for the cycle)

#include "Measure.h"
#include "fleet/Commissioning.h"
#include "fleet/Journal.h"
#include "framework/Application.h"
#include "framework/FontSetUp.h"
#include "framework/Fonts.h"
#include "sim/SimServer.h"
#include "ui/CommissionFrm.h"
#include "ui/CommissionModel.h"
#include "ui/StdAccessible.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace {

TSimConfig Unit(int Number)
{
    TSimConfig config = SampleDevice();
    const QByteArray serial = QByteArray::number(600000000 + Number).rightJustified(10, '0');
    std::memset(config.Info.SerialNo, 0, sizeof config.Info.SerialNo);
    std::memcpy(config.Info.SerialNo, serial.constData(), size_t(serial.size()));
    return config;
}

QByteArray PlanText(int Units)
{
    QByteArray text = "serial,label,dhcp,local,server,gateway,mask\n";
    for (int i = 1; i <= Units; ++i)
        text += QByteArray::number(600000000 + i).rightJustified(10, '0') + ",rack " + QByteArray::number(i) +
                ",off,10.0." + QByteArray::number(i / 250) + "." + QByteArray::number(i % 250 + 1) +
                ",,10.0.0.254,255.255.0.0\n";
    return text;
}

QString WriteFile(const QTemporaryDir &Dir, const QString &Name, const QByteArray &Text)
{
    QFile file(Dir.filePath(Name));
    if (!file.open(QIODevice::WriteOnly) || file.write(Text) != Text.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    return file.fileName();
}

long PeakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// A run of Count units, each plugged in on the line once the one before is
// done; the window's event loop is watched all along.
void EventLoopDuringRun(const QTemporaryDir &Dir, int Count)
{
    const QString line = Dir.filePath("line");
    TCommissionForm form(line);
    form.PollIntervalMs = 50;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form) ||
        !form.OpenPlan(WriteFile(Dir, "plan20.csv", PlanText(Count)))) {
        std::printf("the plan was refused: %s\n", qPrintable(form.Message()));
        return;
    }

    std::atomic<int> done{0};
    QObject::connect(form.Model, &QAbstractItemModel::dataChanged, &form,
                     [&] { done = form.Model->DoneCount(); });
    std::atomic<bool> quit{false};
    std::thread hands([&] {
        for (int i = 1; i <= Count && !quit; ++i) {
            auto unit = std::make_unique<TSimServer>(Unit(i));
            if (!unit->Open())
                return;
            unit->Start();
            QFile::remove(line);
            QFile::link(unit->SlavePath(), line);
            for (int waited = 0; done < i && !quit && waited < 20000; waited += 5)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            QFile::remove(line);
            unit->Stop();
        }
    });

    TSamples gaps;
    double longest = 0;
    QElapsedTimer clock;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    // The window's own event loop, not QTest::qWaitFor (which sleeps 10 ms
    // between its rounds and would be measured instead of the window).
    QEventLoop loop;
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        gaps.Add(ms);
        longest = std::max(longest, ms);
        if (done == Count)
            loop.quit();
    });
    QElapsedTimer run;
    run.start();
    clock.start();
    tick.start();
    form.StartButtonClick(nullptr);
    loop.exec();
    const bool allDone = done == Count;
    tick.stop();
    const double runMs = double(run.elapsed());
    quit = true;
    hands.join();
    form.StopButtonClick(nullptr);
    if (!QTest::qWaitFor([&] { return !form.Running(); }, 10000) || !allDone)
        std::printf("the run did not end as it should\n");
    std::printf("event loop, run of %d swapped units: %d of %d done in %.1f s; gaps between 1 ms ticks:\n"
                "    median %.3f ms, longest %.3f ms (longest stall %.3f ms)\n",
                Count, int(done), Count, runMs / 1000, gaps.Median(), longest, std::max(0.0, longest - 1));
}

// One unit's cycle through the engine, against the mandated time of its
// three exchanges.
void UnitCycle(const QTemporaryDir &Dir, int Rounds)
{
    const QString line = Dir.filePath("cycle-line");
    TJournal journal;
    QString error;
    if (!journal.Open(Dir.filePath("cycle-journal.jsonl"), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return;
    }
    struct TQuiet : TCommissionObserver {
        void Notify(const TCommissionEvent &) override {}
    } quiet;
    std::vector<TPlanRow> rows;
    for (int i = 1; i <= Rounds; ++i) {
        TPlanRow row;
        row.SetSerial(QString::number(600000000 + i).rightJustified(10, '0'));
        row.Edit.Addresses.insert(QStringLiteral("localIp"), QStringLiteral("10.0.1.%1").arg(i));
        rows.push_back(row);
    }
    TCommissioning run(TFleetContext::FromEnvironment(), rows, journal, quiet, {line, true});
    TSamples cycles;
    for (int i = 1; i <= Rounds; ++i) {
        TSimServer unit(Unit(i));
        if (!unit.Open())
            return;
        unit.Start();
        QFile::remove(line);
        QFile::link(unit.SlavePath(), line);
        // The looks that find the line of the unit before lost do not count;
        // the look that writes the new unit is its cycle.
        for (int look = 0; look < 20; ++look) {
            QElapsedTimer clock;
            clock.start();
            const TCommissioning::TLook seen = run.Look();
            if (seen == TCommissioning::TLook::Written) {
                cycles.Add(double(clock.nsecsElapsed()) / 1e6);
                break;
            }
            if (seen != TCommissioning::TLook::NoUnit) {
                std::fprintf(stderr, "unit %d was not written\n", i);
                return;
            }
        }
        unit.Stop();
    }
    // Read (7 + 87 bytes), write (7 + 17, acknowledged with 4), read back
    // (7 + 87): 216 bytes of 10 bits at 115200 baud, and a 100 ms pause
    // before each reply.
    const double lineMs = 216 * 10 * 1000.0 / 115200;
    const double mandated = 3 * 100 + lineMs;
    const double median = cycles.Median();
    std::printf("one unit's cycle (read, write, read back, journal): median %.1f ms, p90 %.1f ms\n"
                "    mandated pauses 300 ms + line time %.2f ms = %.2f ms; median is %+.1f %%\n",
                median, cycles.P90(), lineMs, mandated, (median - mandated) / mandated * 100);
}

void OpenLargePlan(const QTemporaryDir &Dir)
{
    const QString plan = WriteFile(Dir, "plan10000.csv", PlanText(10000));
    TCommissionForm form(Dir.filePath("none"));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return;
    QElapsedTimer clock;
    clock.start();
    const bool opened = form.OpenPlan(plan);
    form.Units->viewport()->repaint();
    QCoreApplication::processEvents();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    std::printf("plan of 10,000 rows: %s, table shown in %.1f ms; %d rows\n", opened ? "opened" : "REFUSED",
                ms, form.Model->rowCount());
    std::printf("peak resident memory of the whole process: %.1f MiB\n", double(PeakResidentKiB()) / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    // The journal and the settings store of this run only.
    qputenv("XDG_STATE_HOME", dir.filePath("state").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir.filePath("runtime").toLocal8Bit());
    QDir().mkpath(dir.filePath("runtime"));
    QFile::setPermissions(dir.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    InstallFontSubstitutions();
    StartFontSetUp();
    QApplication app(argc, argv);
    InstallDefaultFont();
    InstallAccessibility();
    Application().SetTitle(QStringLiteral("Lumora Commissioning"));
    const int rounds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;

    // The plan first, so that the peak memory is the large plan's.
    OpenLargePlan(dir);
    EventLoopDuringRun(dir, 20);
    UnitCycle(dir, rounds);
    return 0;
}
