#include "UiFixture.h"

#include "fleet/Journal.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"
#include "support/TinyDisk.h"
#include "ui/CommissionFrm.h"
#include "ui/CommissionModel.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTemporaryDir>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TSimLine;

// Generous: only a guard against a hang.
constexpr int Patience = 20000;

class CommissionWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumora::test::ResetConfigHome();
        FOldState = qgetenv("XDG_STATE_HOME");
        SetStateHome(Dir.filePath("state"));
        Application().SetTitle(QStringLiteral("Lumora Commissioning"));
    }
    void TearDown() override
    {
        Form.reset();
        qputenv("XDG_STATE_HOME", FOldState);
    }
    static void SetStateHome(const QString &Path) { qputenv("XDG_STATE_HOME", Path.toLocal8Bit()); }

    // The window's port is a link that leads to the unit plugged in now.
    QString Line() const { return Dir.filePath("line"); }
    void Plug(std::optional<TSimConfig> Config)
    {
        QFile::remove(Line());
        Unit.reset();
        if (Config) {
            Unit = std::make_unique<TSimLine>(*Config);
            ASSERT_TRUE(QFile::link(Unit->SlavePath(), Line()));
        }
    }
    QString WritePlan(const QByteArray &Text, const QString &Name = QStringLiteral("plan.csv"))
    {
        QFile file(Dir.filePath(Name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(Text) == Text.size());
        return file.fileName();
    }
    void OpenWindow()
    {
        Form = std::make_unique<TCommissionForm>(Line());
        Form->PollIntervalMs = 20;
        Form->show();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }
    QString State(const QString &Serial) const
    {
        const TUnitRow *row = Form->Model->Find(Serial);
        return row ? UnitStateText(row->State, row->Reason) : QStringLiteral("(no row)");
    }
    bool WaitForState(const QString &Serial, const QString &Start)
    {
        return QTest::qWaitFor([&] { return State(Serial).startsWith(Start); }, Patience);
    }
    bool WaitUntilStopped()
    {
        return QTest::qWaitFor([&] { return !Form->Running(); }, Patience);
    }
    // A key pressed in the window, delivered to the focused widget.
    void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::AltModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : Form.get(), Key, Modifiers);
    }
    // Answers the next file dialog with Path, as a user types it and confirms.
    void AnswerFileDialog(const QString &Path)
    {
        auto *timer = new QTimer(Form.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, Path] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
            if (name && name->isVisible()) {
                timer->deleteLater();
                name->setText(Path);
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        timer->start();
    }
    int JournalLines() const
    {
        std::vector<QJsonObject> entries;
        int skipped = 0;
        QString error;
        ReadJournal(Form->JournalPath(), entries, skipped, error);
        return int(entries.size());
    }

    QTemporaryDir Dir;
    std::unique_ptr<TSimLine> Unit;
    std::unique_ptr<TCommissionForm> Form;
    QByteArray FOldState;
};

const QByteArray OneUnitPlan = "serial,dhcp,local,server,gateway,mask\n0600000001,,10.0.1.1,,,\n";

TSimConfig Board(const char *Serial)
{
    TSimConfig config = SampleUnit(Serial);
    config.Info.DeviceType = 9;
    return config;
}

TEST_F(CommissionWindowTest, UnitsSwappedOnOneLineGetTheirStatesInTheTable)
{
    const QString plan = WritePlan("serial,label,dhcp,local,server,gateway,mask\n"
                                   "0600000001,rack 1,,10.0.1.1,,,\n"
                                   "0600000002,rack 2,,10.0.1.2,,,\n"
                                   "0600000003,board,,10.0.1.3,,,\n");
    Plug(SampleUnit("0600000001"));
    OpenWindow();
    EXPECT_TRUE(Form->windowTitle().startsWith("Lumora Commissioning"));
    EXPECT_TRUE(Form->VerifyBox->Checked());
    EXPECT_EQ(Form->ChosenPort(), Line());

    // Alt+O and the file dialog; the plan is shown, nothing is sent.
    AnswerFileDialog(plan);
    Press(Qt::Key_O);
    ASSERT_EQ(Form->Model->rowCount(), 3);
    EXPECT_EQ(Form->windowTitle(), "Lumora Commissioning - plan.csv");
    EXPECT_EQ(State("0600000002"), "planned");
    EXPECT_EQ(Form->Filter->index(1, TCommissionModel::SettingsColumn).data().toString(),
              "Local IP 10.0.1.2");
    EXPECT_EQ(Form->DoneLabel->text(), "0 of 3 done");
    QTest::qWait(100);
    EXPECT_TRUE(Unit->Received().empty()) << "nothing goes out before Start";

    // Alt+S: the unit on the line is written and verified, and marked.
    Press(Qt::Key_S);
    ASSERT_TRUE(WaitForState("0600000001", "done")) << State("0600000001").toStdString();
    EXPECT_EQ(Form->LineLabel->text(), "On the line: 0600000001, EDFA(Single), rack 1");
    EXPECT_EQ(Form->Model->Current(), "0600000001");
    EXPECT_TRUE(Form->Model->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(Form->DoneLabel->text(), "1 of 3 done");
    EXPECT_EQ(Form->Progress->value(), 1);
    EXPECT_EQ(Unit->CountOf(1), 1);
    EXPECT_FALSE(Form->StartButton->isEnabled());

    // A stranger, a unit that does not apply its write, a board.
    Plug(SampleUnit("0699999999"));
    ASSERT_TRUE(WaitForState("0699999999", "not in plan"));
    EXPECT_EQ(Form->Model->rowCount(), 4);
    EXPECT_EQ(Unit->CountOf(1), 0);
    Plug(SampleUnit("0600000002", /*IgnoreWrites*/ true));
    ASSERT_TRUE(WaitForState("0600000002", "failed: ")) << State("0600000002").toStdString();
    Plug(Board("0600000003"));
    ASSERT_TRUE(WaitForState("0600000003", "refused: ")) << State("0600000003").toStdString();
    EXPECT_EQ(Unit->CountOf(1), 0);
    EXPECT_EQ(Form->DoneLabel->text(), "1 of 3 done");

    // The filter narrows by any cell; a click on a header sorts by it.
    Form->FilterEdit->setFocus();
    QTest::keyClicks(Form->FilterEdit, "RACK");
    EXPECT_EQ(Form->Filter->rowCount(), 2);
    Form->FilterEdit->clear();
    QHeaderView *header = Form->Units->horizontalHeader();
    const int x = header->sectionViewportPosition(TCommissionModel::StateColumn) + 10;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QStringList states;
    for (int row = 0; row < Form->Filter->rowCount(); ++row)
        states
            << Form->Filter->index(row, TCommissionModel::StateColumn).data().toString().section(':', 0, 0);
    EXPECT_EQ(states, (QStringList{"done", "failed", "not in plan", "refused"}));

    // Alt+T stops; Alt+E exports the plan's units only.
    Press(Qt::Key_T);
    ASSERT_TRUE(WaitUntilStopped());
    EXPECT_EQ(Form->Message(), "stopped: 1 of 3 units done");
    const QString report = Dir.filePath("report.csv");
    AnswerFileDialog(report);
    Press(Qt::Key_E);
    const QByteArray csv = lumora::test::TTinyDisk::ReadFile(report);
    EXPECT_TRUE(csv.contains("0600000001,rack 1")) << csv.constData();
    EXPECT_TRUE(csv.contains("0600000002"));
    EXPECT_FALSE(csv.contains("0699999999"));
    ASSERT_TRUE(Form->ExportReport(Dir.filePath("report.html")));
    EXPECT_TRUE(lumora::test::TTinyDisk::ReadFile(Dir.filePath("report.html")).contains("<html"));

    // After a restart the run starts from the journal: done earlier counts.
    Form.reset();
    Plug(std::nullopt);
    OpenWindow();
    ASSERT_TRUE(Form->OpenPlan(plan));
    EXPECT_EQ(State("0600000001"), "done earlier");
    EXPECT_EQ(Form->DoneLabel->text(), "1 of 3 done");
    Press(Qt::Key_S);
    ASSERT_TRUE(WaitForState("0600000001", "done earlier")) << State("0600000001").toStdString();
    EXPECT_EQ(State("0600000002"), "planned");
    Press(Qt::Key_T);
    ASSERT_TRUE(WaitUntilStopped());
}

TEST_F(CommissionWindowTest, StopEndsAWaitAtOnceAndClosingDuringARunStopsItFirst)
{
    OpenWindow();
    ASSERT_TRUE(Form->OpenPlan(WritePlan(OneUnitPlan)));
    QTest::mouseClick(Form->StartButton, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Form->LineLabel->text().startsWith("No unit answers: "); }, Patience));
    // A long wait between two looks is ended by Stop at once.
    Form->PollIntervalMs = 60'000;
    QTest::mouseClick(Form->StopButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntilStopped());
    EXPECT_EQ(Form->Message(), "stopped: 0 of 1 unit done");
    EXPECT_TRUE(Form->StartButton->isEnabled());

    // A stranger keeps the run going; closing the window stops it, then closes.
    Plug(SampleUnit("0699999999"));
    QTest::mouseClick(Form->StartButton, Qt::LeftButton);
    ASSERT_TRUE(WaitForState("0699999999", "not in plan"));
    Form->Close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, Patience));
    EXPECT_FALSE(Form->Running());
    EXPECT_EQ(Unit->CountOf(1), 0);
}

TEST_F(CommissionWindowTest, AJournalThatCannotBeWrittenStopsTheRunAndSaysWhy)
{
    lumora::test::TTinyDisk disk;
    LUMORA_REQUIRE_TINY_DISK(disk);
    SetStateHome(disk.FilePath("state"));
    OpenWindow();
    ASSERT_TRUE(Form->OpenPlan(WritePlan(OneUnitPlan)));
    Press(Qt::Key_S);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Form->LineLabel->text().startsWith("No unit answers: "); }, Patience));
    disk.Fill();
    Plug(SampleUnit("0600000001"));
    ASSERT_TRUE(WaitUntilStopped());
    disk.Free();
    EXPECT_TRUE(Form->Message().startsWith("The run stopped: the journal cannot be written: "))
        << Form->Message().toStdString();
    EXPECT_TRUE(State("0600000001").startsWith("failed: ")) << State("0600000001").toStdString();
    EXPECT_EQ(Unit->CountOf(1), 0) << "no frame without its intent in the journal";
}

TEST_F(CommissionWindowTest, ARefusedPlanIsNotLoadedADroppedOneIs)
{
    OpenWindow();
    auto drop = [&](const QString &Path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Path)});
        const QPoint at = Form->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(Form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(Form.get(), &dropped);
        return true;
    };
    ASSERT_TRUE(drop(WritePlan(
        "serial,dhcp,local,server,gateway,mask\n0600000001,,10.0.1.1,,,\n0600000002,,10.0.1.300,,,\n",
        "bad.csv")));
    EXPECT_TRUE(Form->Message().contains("line 3")) << Form->Message().toStdString();
    EXPECT_EQ(Form->Model->rowCount(), 0);
    EXPECT_FALSE(Form->StartButton->isEnabled());
    EXPECT_FALSE(Form->ExportButton->isEnabled());
    ASSERT_TRUE(drop(WritePlan(OneUnitPlan)));
    EXPECT_EQ(Form->Model->rowCount(), 1);
    EXPECT_TRUE(Form->StartButton->isEnabled());
}

} // namespace
