#include "server/accountstore.h"

#include "platform/wholefile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace zendry::server {

AccountStore::AccountStore(const QString &folder) : m_folder(folder) { }

QString AccountStore::path() const
{
    return QDir(m_folder).filePath(QStringLiteral("accounts.json"));
}

bool AccountStore::load(QString *why)
{
    m_accounts.clear();
    QFile file(path());
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        if (why)
            *why = error.errorString();
        return false;
    }
    const QJsonArray list = doc.object().value(QLatin1String("accounts")).toArray();
    for (const QJsonValue v : list) {
        const QJsonObject o = v.toObject();
        Account a;
        a.zdid = o.value(QLatin1String("zdid")).toString();
        a.digest = o.value(QLatin1String("digest")).toString();
        a.freeCredits = o.value(QLatin1String("free")).toInteger();
        a.purchasedCredits = o.value(QLatin1String("purchased")).toInteger();
        a.mobile = o.value(QLatin1String("mobile")).toString();
        if (!a.zdid.isEmpty())
            put(a);
    }
    return true;
}

bool AccountStore::save(QString *why) const
{
    QList<Account> sorted = m_accounts.values();
    std::sort(sorted.begin(), sorted.end(),
              [](const Account &a, const Account &b) { return a.zdid.toLower() < b.zdid.toLower(); });
    QJsonArray list;
    for (const Account &a : sorted) {
        list.append(QJsonObject{ { "zdid", a.zdid },
                                 { "digest", a.digest },
                                 { "free", a.freeCredits },
                                 { "purchased", a.purchasedCredits },
                                 { "mobile", a.mobile } });
    }
    return WholeFile::save(path(), QJsonDocument(QJsonObject{ { "accounts", list } }).toJson(), why);
}

Account *AccountStore::find(const QString &zdid)
{
    auto it = m_accounts.find(zdid.toLower());
    return it == m_accounts.end() ? nullptr : &it.value();
}

void AccountStore::put(const Account &account)
{
    m_accounts.insert(account.zdid.toLower(), account);
}

} // namespace zendry::server
