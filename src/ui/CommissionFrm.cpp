#include "CommissionFrm.h"

#include "CommissionModel.h"
#include "CommissionRunner.h"
#include "StdControls.h"
#include "WindowFrame.h"
#include "fleet/DoneEarlier.h"
#include "fleet/Journal.h"
#include "fleet/PlainText.h"
#include "fleet/PortInventory.h"
#include "fleet/Report.h"
#include "framework/Application.h"
#include "skin/XP_Button.h"
#include "skin/XP_CheckBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSaveFile>
#include <QSet>
#include <QTableView>
#include <QToolButton>

namespace {

const QString Title = QStringLiteral("Lumora Commissioning");

// What the engine says while it waits, without its lead.
QString WaitReason(const QString &Message)
{
    const QString lead = QStringLiteral("waiting for a unit: ");
    return Message.startsWith(lead) ? Message.mid(lead.size()) : Message;
}

// A label that names the control after it for the keyboard (Alt and the
// marked letter) and for screen readers.
QLabel *BuddyLabel(QWidget *parent, const QRect &geometry, const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TCommissionForm::TCommissionForm(const QString &Port)
    : TForm(nullptr), FFleet(TFleetContext::FromEnvironment()), FRunner(new TCommissionRunner(this))
{
    CreateControls();
    FillPorts(Port);
    connect(FRunner, &TCommissionRunner::Event, this, &TCommissionForm::OnEvent);
    connect(FRunner, &TCommissionRunner::Finished, this, &TCommissionForm::OnFinished);
    UpdateButtons();
    UpdateCount();
    CentreOnScreen(this);
}

TCommissionForm::~TCommissionForm()
{
    // The run must not outlive the table it reports to.
    delete FRunner;
}

void TCommissionForm::CreateControls()
{
    const TWindowParts parts = SetUpWindow(this, Title, {760, 520}, /*btnMin*/ true);
    Panel1 = parts.Panel1;
    XP_Form1 = parts.XP_Form1;
    Panel1->setFont(LatinFont());
    setAcceptDrops(true);

    OpenButton = MakeButton(Panel1, {8, 8, 110, 24}, QStringLiteral("&Open plan..."));
    PlanLabel = new QLabel(QStringLiteral("No plan opened: open one, or drop a CSV file here."), Panel1);
    PlanLabel->setGeometry(128, 8, 618, 24);
    PlanLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    PortCB = new QComboBox(Panel1);
    PortCB->setGeometry(64, 40, 470, 24);
    PortCB->setAccessibleName(QStringLiteral("Port"));
    PortLabel = BuddyLabel(Panel1, {8, 40, 54, 24}, QStringLiteral("&Port:"), PortCB);
    VerifyBox = new TXP_CheckBox(Panel1);
    VerifyBox->setGeometry(548, 43, 190, 17);
    VerifyBox->SetCaption(QStringLiteral("&Verify each write"));
    VerifyBox->SetColor(Cream);
    VerifyBox->SetChecked(true);

    LineLabel = new QLabel(Panel1);
    LineLabel->setGeometry(8, 70, 738, 22);
    LineLabel->setAccessibleName(QStringLiteral("On the line"));
    QFont bold = LatinFont();
    bold.setBold(true);
    LineLabel->setFont(bold);
    DoneLabel = new QLabel(Panel1);
    DoneLabel->setGeometry(8, 96, 150, 20);
    Progress = new QProgressBar(Panel1);
    Progress->setGeometry(160, 97, 586, 18);
    Progress->setAccessibleName(QStringLiteral("Units done"));
    Progress->setTextVisible(false);

    FilterEdit = new QLineEdit(Panel1);
    FilterEdit->setGeometry(64, 122, 300, 22);
    FilterEdit->setClearButtonEnabled(true);
    // The clear button is the edit's own; a screen reader gets its name too.
    for (QAction *action : FilterEdit->actions())
        action->setText(QStringLiteral("Clear filter"));
    for (QToolButton *button : FilterEdit->findChildren<QToolButton *>())
        button->setAccessibleName(QStringLiteral("Clear filter"));
    FilterEdit->setPlaceholderText(QStringLiteral("serial number, label, settings or state"));
    FilterEdit->setAccessibleName(QStringLiteral("Filter"));
    FilterLabel = BuddyLabel(Panel1, {8, 122, 54, 22}, QStringLiteral("&Filter:"), FilterEdit);

    Model = new TCommissionModel(this);
    Filter = new TCommissionFilter(this);
    Filter->setSourceModel(Model);
    Units = new QTableView(Panel1);
    Units->setGeometry(8, 150, 738, 270);
    Units->setModel(Filter);
    Units->setAccessibleName(QStringLiteral("Units"));
    Units->setSortingEnabled(true);
    Units->sortByColumn(-1, Qt::AscendingOrder); // the plan's order until a column is chosen
    Units->setSelectionBehavior(QAbstractItemView::SelectRows);
    Units->setSelectionMode(QAbstractItemView::SingleSelection);
    Units->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Units->setWordWrap(false);
    Units->setTabKeyNavigation(false);
    Units->verticalHeader()->hide();
    // Fixed row heights and column widths: a plan of thousands of rows is
    // shown without measuring each of them.
    Units->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Units->verticalHeader()->setDefaultSectionSize(Units->fontMetrics().height() + 6);
    Units->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Units->horizontalHeader()->setStretchLastSection(true);
    Units->setColumnWidth(TCommissionModel::SerialColumn, 90);
    Units->setColumnWidth(TCommissionModel::LabelColumn, 110);
    Units->setColumnWidth(TCommissionModel::SettingsColumn, 240);
    UnitsLabel = BuddyLabel(Panel1, {380, 122, 366, 22}, QStringLiteral("&Units of the plan:"), Units);
    UnitsLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Messages = new QPlainTextEdit(Panel1);
    Messages->setGeometry(8, 426, 738, 28);
    Messages->setReadOnly(true);
    Messages->setTabChangesFocus(true);
    Messages->setAccessibleName(QStringLiteral("Messages"));
    Messages->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Messages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    StartButton = MakeButton(Panel1, {8, 460, 96, 24}, QStringLiteral("&Start"));
    StopButton = MakeButton(Panel1, {116, 460, 96, 24}, QStringLiteral("S&top"));
    ExportButton = MakeButton(Panel1, {616, 460, 130, 24}, QStringLiteral("&Export report..."));
    for (TXP_Button *button : {OpenButton, StartButton, StopButton, ExportButton})
        button->setFont(LatinFont());
    OpenButton->OnClick = [this](QObject *sender) { OpenButtonClick(sender); };
    StartButton->OnClick = [this](QObject *sender) { StartButtonClick(sender); };
    StopButton->OnClick = [this](QObject *sender) { StopButtonClick(sender); };
    ExportButton->OnClick = [this](QObject *sender) { ExportButtonClick(sender); };

    connect(FilterEdit, &QLineEdit::textChanged, Filter, &TCommissionFilter::SetFilterText);
    SetTabOrder(
        {OpenButton, PortCB, VerifyBox, FilterEdit, Units, Messages, StartButton, StopButton, ExportButton});
}

void TCommissionForm::FillPorts(const QString &Port)
{
    const QString chosen = PortCB->count() > 0 ? ChosenPort() : Port;
    PortCB->clear();
    // The ports as `lumora-cli ports` lists them, the stored one first.
    const TPortInventory inventory = TakePortInventory(FFleet);
    const QString stored = QStringLiteral("COM%1").arg(inventory.StoredPort);
    for (const TInventoryPort &row : inventory.Ports) {
        const QString text = row.Port.Name + QStringLiteral("  ") + PortText(row);
        if (row.Port.Name == stored)
            PortCB->insertItem(0, text, row.Port.Name);
        else
            PortCB->addItem(text, row.Port.Name);
    }
    PortCB->setCurrentIndex(0);
    if (chosen.isEmpty())
        return; // the stored port, listed first
    const int at = PortCB->findData(chosen, Qt::UserRole, Qt::MatchFixedString);
    if (at >= 0) {
        PortCB->setCurrentIndex(at);
    } else {
        // A port the system does not list (a path given on the command line).
        PortCB->insertItem(0, chosen, chosen);
        PortCB->setCurrentIndex(0);
    }
}

QString TCommissionForm::ChosenPort() const
{
    return PortCB->currentData().toString();
}

QString TCommissionForm::JournalPath() const
{
    return FFleet.JournalPath();
}

QString TCommissionForm::Message() const
{
    return Messages->toPlainText();
}

bool TCommissionForm::Running() const
{
    return FRunner->Running();
}

void TCommissionForm::ShowMessage(const QString &Text, bool Fault)
{
    QPalette pal = Messages->palette();
    pal.setColor(QPalette::Text, Fault ? QColor(255, 0, 0) : QColor(0, 128, 0));
    Messages->setPalette(pal);
    Messages->setPlainText(Text);
}

bool TCommissionForm::OpenPlan(const QString &Path)
{
    if (Running())
        return false;
    std::vector<TPlanRow> rows;
    QString error;
    if (!ReadPlan(Path, rows, error)) {
        ShowMessage(QStringLiteral("The plan is refused; nothing was loaded:\n") + error, true);
        return false;
    }
    FPlan = std::move(rows);
    FPlanPath = Path;
    Model->SetPlan(FPlan);
    // Units done in an earlier run, as the run will count them.
    const std::vector<std::optional<TNetSettings>> earlier =
        FindDoneEarlier(JournalPath(), FPlan, TPlanLookup(FPlan));
    for (size_t i = 0; i < FPlan.size(); ++i) {
        if (earlier[i])
            Model->SetState(FPlan[i].Serial(), TUnitState::DoneEarlier);
    }
    PlanLabel->setText(
        QStringLiteral("Plan: %1 (%2 units)").arg(QDir::toNativeSeparators(Path)).arg(FPlan.size()));
    SetCaption(Title + QStringLiteral(" - ") + QFileInfo(Path).fileName());
    ShowLine(QString(), QString());
    LineLabel->clear();
    ShowMessage(QStringLiteral("Plan read; nothing is written before Start."), false);
    UpdateCount();
    UpdateButtons();
    return true;
}

void TCommissionForm::OpenButtonClick(QObject *)
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open plan"), QString(),
                                     QStringLiteral("Plans (*.csv *.tsv *.txt);;All files (*)"));
    if (!path.isEmpty())
        OpenPlan(path);
}

void TCommissionForm::StartButtonClick(QObject *)
{
    if (Running() || FPlan.empty())
        return;
    if (JournalPath().isEmpty()) {
        ShowMessage(
            QStringLiteral("No folder for the journal: %1; nothing was sent").arg(FFleet.JournalFolderFault),
            true);
        return;
    }
    TCommissionRunner::TSetup setup;
    setup.Fleet = FFleet;
    setup.Rows = FPlan;
    setup.Port = ChosenPort();
    setup.Verify = VerifyBox->Checked();
    setup.JournalPath = JournalPath();
    setup.IntervalMs = PollIntervalMs;
    QString error;
    if (!FRunner->Start(std::move(setup), error)) {
        ShowMessage(error + QStringLiteral("; nothing was sent"), true);
        return;
    }
    UpdateButtons();
}

void TCommissionForm::StopButtonClick(QObject *)
{
    FRunner->Stop();
}

void TCommissionForm::OnEvent(const TCommissionEvent &Event)
{
    const QString serial = Event.Fields.value(QStringLiteral("serialNumber")).toString();
    switch (Event.Step) {
    case TCommissionStep::Start:
        for (const auto &earlier : Event.Fields.value(QStringLiteral("doneEarlier")).toArray())
            Model->SetState(earlier.toString(), TUnitState::DoneEarlier);
        ShowMessage(Event.Message, false);
        break;
    case TCommissionStep::Waiting:
        Model->SetCurrent(QString());
        LineLabel->setText(QStringLiteral("No unit answers: ") + WaitReason(Event.Message));
        break;
    case TCommissionStep::Removed:
        Model->SetCurrent(QString());
        LineLabel->setText(QStringLiteral("No unit on the line"));
        break;
    case TCommissionStep::Writing:
        Model->SetState(serial, TUnitState::Writing);
        ShowLine(serial, Event.UnitType);
        break;
    case TCommissionStep::Done:
        Model->SetState(serial, TUnitState::Done);
        break;
    case TCommissionStep::Failed: {
        const bool refused = Event.Fields.value(QStringLiteral("refused")).toBool();
        // Failures without a write of their own (a unit changed since it was
        // done, a swap seen late) say what happened in the message.
        const QString reason = Event.Fields.value(QStringLiteral("reason")).toString();
        Model->SetState(serial, refused ? TUnitState::Refused : TUnitState::Failed,
                        reason.isEmpty() ? Event.Message : reason);
        break;
    }
    case TCommissionStep::NotInPlan:
        Model->SetState(serial, TUnitState::NotInPlan);
        ShowLine(serial, Event.UnitType);
        break;
    case TCommissionStep::AlreadyDone:
        ShowLine(serial, Event.UnitType);
        break;
    case TCommissionStep::Finished:
        ShowMessage(Event.Message, !Event.Ok);
        break;
    }
    UpdateCount();
}

void TCommissionForm::OnFinished(const QString &JournalFault)
{
    if (!JournalFault.isEmpty())
        ShowMessage(QStringLiteral("The run stopped: the journal cannot be written: ") + JournalFault, true);
    UpdateButtons();
    if (FCloseWhenStopped)
        close();
}

void TCommissionForm::ShowLine(const QString &Serial, const QString &Type)
{
    Model->SetCurrent(Serial);
    if (Serial.isEmpty())
        return;
    QStringList parts{Serial};
    if (!Type.isEmpty())
        parts << Type;
    if (const TUnitRow *row = Model->Find(Serial); row && !row->Label.isEmpty())
        parts << row->Label;
    LineLabel->setText(QStringLiteral("On the line: ") + parts.join(QStringLiteral(", ")));
    const QModelIndex at = Filter->mapFromSource(Model->index(Model->RowOf(Serial), 0));
    if (at.isValid())
        Units->scrollTo(at);
}

void TCommissionForm::UpdateCount()
{
    const int done = Model->DoneCount();
    const int total = Model->PlanCount();
    DoneLabel->setText(QStringLiteral("%1 of %2 done").arg(done).arg(total));
    Progress->setRange(0, std::max(total, 1));
    Progress->setValue(done);
    Progress->setAccessibleDescription(DoneLabel->text());
}

void TCommissionForm::UpdateButtons()
{
    const bool running = Running();
    OpenButton->setEnabled(!running);
    PortCB->setEnabled(!running);
    VerifyBox->setEnabled(!running);
    StartButton->setEnabled(!running && !FPlan.empty());
    StopButton->setEnabled(running);
    ExportButton->setEnabled(!FPlan.empty());
}

bool TCommissionForm::ExportReport(const QString &Path)
{
    QString error;
    TJournalIndex journal;
    // Before the first write there is no journal yet: a report of no unit.
    if (QFileInfo::exists(JournalPath()) && !journal.Read(JournalPath(), QDateTime(), error)) {
        ShowMessage(error, true);
        return false;
    }
    QSet<QString> planned;
    for (const TPlanRow &row : FPlan)
        planned.insert(row.Serial());
    journal.KeepUnits([&](const TJournalUnit &Unit) { return planned.contains(Unit.Serial); });
    const QString suffix = QFileInfo(Path).suffix().toLower();
    const bool html = suffix == QLatin1String("html") || suffix == QLatin1String("htm");
    // The report goes to the file piece by piece; the first failed write
    // ends it and nothing is committed.
    QSaveFile file(Path);
    bool written = file.open(QIODevice::WriteOnly);
    const TReportSink put = [&](const QString &Text) {
        const QByteArray bytes = Text.toUtf8();
        written = written && file.write(bytes) == bytes.size();
    };
    if (written && html)
        ReportHtml(journal, QStringLiteral("Commissioning report, %1").arg(FFleet.Time()), put);
    else if (written)
        ReportCsv(journal, put);
    if (!written || !file.commit()) {
        ShowMessage(QStringLiteral("%1: the report cannot be written: %2")
                        .arg(QDir::toNativeSeparators(Path), file.errorString()),
                    true);
        return false;
    }
    ShowMessage(
        QStringLiteral("Report of %1 written to %2")
            .arg(Counted(int(journal.Units().size()), QStringLiteral("unit"), QStringLiteral("units")),
                 QDir::toNativeSeparators(Path)),
        false);
    return true;
}

void TCommissionForm::ExportButtonClick(QObject *)
{
    QString filter;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export report"),
                                                QStringLiteral("commissioning-report.csv"),
                                                QStringLiteral("CSV (*.csv);;HTML (*.html)"), &filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += filter.startsWith(QLatin1String("HTML")) ? QStringLiteral(".html") : QStringLiteral(".csv");
    ExportReport(path);
}

void TCommissionForm::closeEvent(QCloseEvent *event)
{
    // A run under way is stopped first (after the exchange under way); the
    // window closes once it has ended.
    if (Running()) {
        FCloseWhenStopped = true;
        FRunner->Stop();
        event->ignore();
        return;
    }
    TForm::closeEvent(event);
}

void TCommissionForm::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!Running() && urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void TCommissionForm::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (Running() || urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    OpenPlan(urls.front().toLocalFile());
}
