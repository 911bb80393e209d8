#include "CommissionModel.h"

#include "fleet/RecordViews.h"

#include <QBrush>
#include <QColor>
#include <QFont>

QString UnitStateText(TUnitState State, const QString &Reason)
{
    switch (State) {
    case TUnitState::Planned:
        return QStringLiteral("planned");
    case TUnitState::Writing:
        return QStringLiteral("writing");
    case TUnitState::Done:
        return QStringLiteral("done");
    case TUnitState::DoneEarlier:
        return QStringLiteral("done earlier");
    case TUnitState::Failed:
        return QStringLiteral("failed: ") + Reason;
    case TUnitState::Refused:
        return QStringLiteral("refused: ") + Reason;
    case TUnitState::NotInPlan:
        return QStringLiteral("not in plan");
    }
    return QString();
}

QString PlannedSettingsText(const TSettingsEdit &Edit)
{
    QStringList parts;
    // The field labels and order of the main window.
    for (const TShownField &field : NetworkFields(TNetSettings{})) {
        if (field.Key == QLatin1String("dhcp")) {
            if (Edit.Dhcp.has_value())
                parts << QStringLiteral("DHCP %1").arg(*Edit.Dhcp ? QStringLiteral("on")
                                                                  : QStringLiteral("off"));
        } else if (Edit.Addresses.contains(field.Key)) {
            parts << QStringLiteral("%1 %2").arg(field.Label, Edit.Addresses.value(field.Key));
        }
    }
    return parts.isEmpty() ? QStringLiteral("no change") : parts.join(QStringLiteral(", "));
}

TCommissionModel::TCommissionModel(QObject *parent) : QAbstractTableModel(parent) {}

void TCommissionModel::SetPlan(const std::vector<TPlanRow> &Plan)
{
    beginResetModel();
    FRows.clear();
    FIndex.clear();
    FCurrent.clear();
    FRows.reserve(Plan.size());
    FIndex.reserve(qsizetype(Plan.size()));
    for (const TPlanRow &row : Plan) {
        // One text for the index and the row.
        const QString serial = row.Serial();
        FIndex.insert(serial, int(FRows.size()));
        FRows.push_back({serial, row.Label, PlannedSettingsText(row.Edit), TUnitState::Planned, {}});
    }
    FPlanCount = int(FRows.size());
    endResetModel();
}

void TCommissionModel::SetState(const QString &Serial, TUnitState State, const QString &Reason)
{
    int row = RowOf(Serial);
    if (row < 0) {
        row = int(FRows.size());
        beginInsertRows({}, row, row);
        FIndex.insert(Serial, row);
        FRows.push_back({Serial, {}, {}, State, Reason});
        endInsertRows();
        return;
    }
    FRows[size_t(row)].State = State;
    FRows[size_t(row)].Reason = Reason;
    RowChanged(row);
}

void TCommissionModel::SetCurrent(const QString &Serial)
{
    if (Serial == FCurrent)
        return;
    const int old = RowOf(FCurrent);
    FCurrent = Serial;
    if (old >= 0)
        RowChanged(old);
    if (const int now = RowOf(Serial); now >= 0)
        RowChanged(now);
}

const TUnitRow *TCommissionModel::Find(const QString &Serial) const
{
    const int row = RowOf(Serial);
    return row < 0 ? nullptr : &FRows[size_t(row)];
}

int TCommissionModel::DoneCount() const
{
    int done = 0;
    for (int i = 0; i < FPlanCount; ++i) {
        const TUnitState state = FRows[size_t(i)].State;
        done += state == TUnitState::Done || state == TUnitState::DoneEarlier;
    }
    return done;
}

void TCommissionModel::RowChanged(int Row)
{
    emit dataChanged(index(Row, 0), index(Row, ColumnCount - 1));
}

int TCommissionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TCommissionModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TCommissionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(FRows.size()))
        return {};
    const TUnitRow &row = FRows[size_t(index.row())];
    const bool current = !FCurrent.isEmpty() && row.Serial == FCurrent;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case SerialColumn:
            return row.Serial;
        case LabelColumn:
            return row.Label;
        case SettingsColumn:
            return row.Settings;
        case StateColumn:
            return UnitStateText(row.State, row.Reason);
        default:
            return {};
        }
    case Qt::AccessibleDescriptionRole:
        return current ? QStringLiteral("on the line now") : QVariant();
    case Qt::FontRole:
        if (current) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        // The unit on the line now stands out; failures are tinted red,
        // units done green.
        if (current)
            return QBrush(QColor(255, 236, 160));
        if (row.State == TUnitState::Failed || row.State == TUnitState::Refused)
            return QBrush(QColor(250, 215, 210));
        if (row.State == TUnitState::Done || row.State == TUnitState::DoneEarlier)
            return QBrush(QColor(218, 240, 210));
        return {};
    default:
        return {};
    }
}

QVariant TCommissionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case SerialColumn:
        return QStringLiteral("Serial number");
    case LabelColumn:
        return QStringLiteral("Label");
    case SettingsColumn:
        return QStringLiteral("Planned settings");
    case StateColumn:
        return QStringLiteral("State");
    default:
        return {};
    }
}

TCommissionFilter::TCommissionFilter(QObject *parent) : QSortFilterProxyModel(parent)
{
    setFilterKeyColumn(-1);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    // Rows change state during a run: keep the order and the filter up to date.
    setDynamicSortFilter(true);
}

void TCommissionFilter::SetFilterText(const QString &Text)
{
    setFilterFixedString(Text);
}
