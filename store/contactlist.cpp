#include "store/contactlist.h"

#include "store/contactslots.h"
#include "store/texts.h"

#include <algorithm>

namespace zendry {

ContactList::ContactList(QObject *parent) : QAbstractListModel(parent)
{
    // The "C" locale of a bare session would sort by character code; a user
    // there still expects the ordinary dictionary order.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    m_collator.setLocale(locale);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
}

int ContactList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size()) + 1;
}

QVariant ContactList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return entry(index.row());
}

QString ContactList::entry(int row) const
{
    if (row == 0)
        return texts::newEntry;
    if (row < 1 || row > m_names.size())
        return {};
    return m_names.at(row - 1);
}

void ContactList::clearNames()
{
    if (m_names.isEmpty())
        return;
    beginRemoveRows({}, 1, int(m_names.size()));
    m_names.clear();
    endRemoveRows();
}

int ContactList::addName(const QString &name)
{
    // After any equal names, so entries that compare equal keep their order.
    const auto at = std::upper_bound(
            m_names.begin(), m_names.end(), name,
            [this](const QString &a, const QString &b) { return m_collator.compare(a, b) < 0; });
    const int row = int(at - m_names.begin()) + 1;
    beginInsertRows({}, row, row);
    m_names.insert(row - 1, name);
    endInsertRows();
    return row;
}

void ContactList::removeEntry(int row)
{
    if (row < 1 || row > m_names.size())
        return;
    beginRemoveRows({}, row, row);
    m_names.removeAt(row - 1);
    endRemoveRows();
}

int ContactList::findName(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (sameContactName(m_names.at(i), name))
            return i + 1;
    }
    return -1;
}

} // namespace zendry
