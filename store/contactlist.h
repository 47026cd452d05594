#pragma once

#include <QAbstractListModel>
#include <QCollator>
#include <QStringList>

namespace zendry {

// The entries of the To box: "<new>" first, always, then the contact names in
// the order a desktop user expects (case-insensitive, locale-aware).
class ContactList : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ContactList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Back to "<new>" alone.
    void clearNames();
    // Inserts in order; returns the row.
    int addName(const QString &name);
    // Row 0 ("<new>") is never removed.
    void removeEntry(int row);
    // The first name entry that is the same contact name, or -1.
    int findName(const QString &name) const;
    QString entry(int row) const;

private:
    QStringList m_names; // rows 1..n
    QCollator m_collator;
};

} // namespace zendry
