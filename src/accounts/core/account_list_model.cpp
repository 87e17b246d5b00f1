#include "accounts/core/account_list_model.h"

namespace {

const QString kDemo = QStringLiteral("демо");
const QString kReal = QStringLiteral("реал");
const QString kClosed = QStringLiteral("закрыт");

} // namespace

std::optional<QColor> accountRowColor(const QString& type, const QString& state)
{
    if (state == kClosed)
        return QColor(128, 128, 128);
    if (type == kReal)
        return QColor(0, 128, 0);
    if (type == kDemo)
        return QColor(0, 0, 0);
    return std::nullopt;
}

QColor accountTypeColor(const QString& type)
{
    return type == kDemo ? QColor(255, 0, 0) : QColor(0, 128, 0);
}

AccountListModel::AccountListModel(QObject* parent)
    : SortableTableModel(parent)
{
}

int AccountListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AccountListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString AccountListModel::cellText(const AccountRecord& a, int column) const
{
    switch (column) {
    case ColId: return a.id;
    case ColName: return a.name;
    case ColType: return a.type;
    case ColBroker: return a.broker;
    case ColCapital: return a.capital;
    case ColState: return a.state;
    default: return {};
    }
}

QVariant AccountListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[baseRow(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row.account, index.column());
    case Qt::ForegroundRole:
        if (const auto color = accountRowColor(row.account.type, row.account.state))
            return *color;
        return {};
    case Qt::DecorationRole:
        if (index.column() != ColId || row.mark == Mark::None)
            return {};
        return row.mark == Mark::Active ? m_activeIcon : m_inactiveIcon;
    default:
        return {};
    }
}

QVariant AccountListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const kTitles[ColumnCount] = {"id", "Название", "Тип", "Брокер", "Капитал", "Состояние"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kTitles[section]) : QVariant();
}

void AccountListModel::setMarkIcons(const QIcon& inactive, const QIcon& active)
{
    m_inactiveIcon = inactive;
    m_activeIcon = active;
    if (!m_rows.empty())
        emit dataChanged(index(0, ColId), index(rowCount() - 1, ColId), {Qt::DecorationRole});
}

void AccountListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    resortWithinReset();
    endResetModel();
}

void AccountListModel::appendAccount(const AccountRecord& account)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.push_back({account, Mark::None});
    appendBaseRow(row);
    endInsertRows();
    resortKeepingSelection();
}

void AccountListModel::updateAccount(int row, const AccountRecord& a)
{
    AccountRecord& r = m_rows[baseRow(row)].account;
    r.name = a.name;
    r.type = a.type;
    r.broker = a.broker;
    r.capital = a.capital;
    r.state = a.state;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    resortKeepingSelection();
}

void AccountListModel::removeAccount(int row)
{
    const int base = baseRow(row);
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + base);
    forgetBaseRow(base);
    endRemoveRows();
}

int AccountListModel::findByName(const QString& name) const
{
    for (int i = 0; i < rowCount(); ++i) {
        if (m_rows[baseRow(i)].account.name == name)
            return i;
    }
    return -1;
}

void AccountListModel::markActive(int row)
{
    const int active = baseRow(row);
    for (int i = 0; i < rowCount(); ++i)
        m_rows[i].mark = i == active ? Mark::Active : Mark::Inactive;
    if (!m_rows.empty())
        emit dataChanged(index(0, ColId), index(rowCount() - 1, ColId), {Qt::DecorationRole});
}
