#pragma once

#include "fleet/Plan.h"
#include "framework/Forms.h"

#include <QString>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QTableView;
class TCommissionFilter;
class TCommissionModel;
class TCommissionRunner;
class TPanel;
class TXP_Button;
class TXP_CheckBox;
class TXP_Form;
struct TCommissionEvent;

// The commissioning window: a plan keyed by serial number, the port, and a
// table of the plan's units with their states while a run writes them one
// after the other as they are plugged in on the line. The run is the
// command line's (the same engine, journal and report) on a thread of its
// own: the window keeps answering while the line is read.
class TCommissionForm : public TForm {
    Q_OBJECT
public:
    // Port: the port to choose first (empty: the stored one).
    explicit TCommissionForm(const QString &Port = QString());
    ~TCommissionForm() override;

    // Reads a plan and shows it; a plan the library refuses is not loaded,
    // its errors are shown and false returned. Nothing is sent.
    bool OpenPlan(const QString &Path);
    // Writes the report of the plan's units, as `lumora-cli report` makes
    // it: HTML when Path ends in .htm or .html, else CSV. False (and the
    // reason shown) when it cannot be written.
    bool ExportReport(const QString &Path);

    bool Running() const;
    // The journal the runs write and the report reads.
    QString JournalPath() const;
    // The text of the message area ("" when none).
    QString Message() const;
    // The port the run will use, as the user chose it.
    QString ChosenPort() const;
    // Time between two looks at the line: a swapped unit is noticed within it.
    int PollIntervalMs = 500;

    TXP_Form *XP_Form1;
    TPanel *Panel1;
    TXP_Button *OpenButton;
    QLabel *PlanLabel;
    QLabel *PortLabel;
    QComboBox *PortCB;
    TXP_CheckBox *VerifyBox;
    QLabel *LineLabel; // the unit on the line now, or why none answers
    QLabel *DoneLabel; // "N of M done"
    QProgressBar *Progress;
    QLabel *FilterLabel;
    QLineEdit *FilterEdit;
    QLabel *UnitsLabel;
    QTableView *Units;
    QPlainTextEdit *Messages;
    TXP_Button *StartButton;
    TXP_Button *StopButton;
    TXP_Button *ExportButton;
    TCommissionModel *Model;
    TCommissionFilter *Filter;

    void OpenButtonClick(QObject *Sender);
    void StartButtonClick(QObject *Sender);
    void StopButtonClick(QObject *Sender);
    void ExportButtonClick(QObject *Sender);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls();
    void FillPorts(const QString &Port);
    void OnEvent(const TCommissionEvent &Event);
    void OnFinished(const QString &JournalFault);
    void ShowLine(const QString &Serial, const QString &Type);
    void UpdateCount();
    void UpdateButtons();
    void ShowMessage(const QString &Text, bool Fault);

    TCommissionRunner *FRunner;
    std::vector<TPlanRow> FPlan;
    QString FPlanPath;
    bool FCloseWhenStopped = false;
};
