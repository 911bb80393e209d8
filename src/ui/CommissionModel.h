#pragma once

#include "fleet/Plan.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSortFilterProxyModel>

#include <vector>

// Where a unit stands in the commissioning window.
enum class TUnitState {
    Planned,     // in the plan, not written yet
    Writing,     // being written now
    Done,        // written (and verified) in this run
    DoneEarlier, // found done in the journal
    Failed,      // the last write failed
    Refused,     // the unit cannot take its planned settings
    NotInPlan,   // a unit on the line the plan does not name
};

// One row of the table: a plan row, or a unit the plan does not name.
struct TUnitRow {
    QString Serial;
    QString Label;
    QString Settings; // the planned settings as text; empty for a stranger
    TUnitState State = TUnitState::Planned;
    QString Reason; // why it failed or was refused
};

// "planned", "writing", "done", "done earlier", "failed: <reason>",
// "refused: <reason>", "not in plan".
QString UnitStateText(TUnitState State, const QString &Reason);

// "DHCP off, Local IP 10.0.1.5, Gateway IP 10.0.1.254": what a plan row
// changes, in the main window's order; "no change" for an empty edit.
QString PlannedSettingsText(const TSettingsEdit &Edit);

// The units of a commissioning plan, one row each, with their states; units
// that answer and are not in the plan get rows of their own at the end. The
// row of the unit on the line now is marked (bold, highlighted).
class TCommissionModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { SerialColumn, LabelColumn, SettingsColumn, StateColumn, ColumnCount };

    explicit TCommissionModel(QObject *parent = nullptr);

    // Replaces every row with the plan's.
    void SetPlan(const std::vector<TPlanRow> &Plan);
    // The state of a unit; a serial number not in the table gets a row of
    // its own.
    void SetState(const QString &Serial, TUnitState State, const QString &Reason = QString());
    // Marks the unit on the line now (empty: none).
    void SetCurrent(const QString &Serial);

    const TUnitRow *Find(const QString &Serial) const;
    int RowOf(const QString &Serial) const { return FIndex.value(Serial, -1); }
    const QString &Current() const { return FCurrent; }
    // Rows of the plan done (now or earlier), and how many the plan holds.
    int DoneCount() const;
    int PlanCount() const { return FPlanCount; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void RowChanged(int Row);

    std::vector<TUnitRow> FRows;
    QHash<QString, int> FIndex; // serial number -> row
    int FPlanCount = 0;
    QString FCurrent;
};

// The table's view of the units: sorted by any column (by the row's own
// order until a column is chosen), narrowed to the rows where any cell holds
// the filter text, case ignored.
class TCommissionFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TCommissionFilter(QObject *parent = nullptr);
    void SetFilterText(const QString &Text);
};
