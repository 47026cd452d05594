#pragma once

#include <QHash>
#include <QString>

namespace zendry::server {

struct Account
{
    QString zdid;
    QString digest; // the credential digest the client sends
    qint64 freeCredits = 0;
    qint64 purchasedCredits = 0;
    QString mobile; // empty: the account cannot receive texts
};

// The accounts, kept in DIR/accounts.json and written whole, atomically,
// after every change.
class AccountStore
{
public:
    explicit AccountStore(const QString &folder);

    // Reads the file; a missing file is no accounts. False with a reason when
    // the file exists but cannot be used.
    bool load(QString *why = nullptr);
    bool save(QString *why = nullptr) const;

    // ZDIDs are matched without regard to case.
    Account *find(const QString &zdid);
    void put(const Account &account);

    QString path() const;
    int count() const { return int(m_accounts.size()); }

private:
    QString m_folder;
    QHash<QString, Account> m_accounts; // by lower-cased ZDID
};

} // namespace zendry::server
