#include "server/webpages.h"

#include "service/credential.h"

#include <QUrl>
#include <QUrlQuery>

namespace zendry::server {

namespace {

const QByteArray headerEnd = QByteArrayLiteral("\r\n\r\n");

QByteArray page(int status, const QString &title, const QString &body)
{
    const QByteArray html =
            QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>"
                           "<style>body{font-family:sans-serif;background:#000;color:#09f;margin:2em}"
                           "a{color:#fc0}input{margin:.2em 0}</style></head>\n<body><h1>%1</h1>\n%2\n"
                           "<p><a href=\"/\">Zendry SMS stand-in</a></p></body></html>\n")
                    .arg(title.toHtmlEscaped(), body)
                    .toUtf8();
    const QByteArray reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Bad Request";
    return "HTTP/1.0 " + QByteArray::number(status) + ' ' + reason
            + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
            + QByteArray::number(html.size()) + "\r\nConnection: close\r\n\r\n" + html;
}

QString paragraph(const QString &text)
{
    return QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

QString form(const QString &action, const QString &inputs, const QString &button)
{
    return QStringLiteral("<form method=\"post\" action=\"%1\">%2<br><button>%3</button></form>")
            .arg(action, inputs, button);
}

QString input(const QString &label, const QString &name, const QString &type = QStringLiteral("text"))
{
    return QStringLiteral("<label>%1<br><input name=\"%2\" type=\"%3\"></label><br>").arg(label, name, type);
}

void addFields(QMap<QString, QString> &fields, QByteArray encoded)
{
    // Forms send spaces as '+'.
    encoded.replace('+', ' ');
    for (const QByteArray &pair : encoded.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq <= 0)
            continue;
        fields.insert(QUrl::fromPercentEncoding(pair.left(eq)), QUrl::fromPercentEncoding(pair.mid(eq + 1)));
    }
}

qsizetype contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        const QByteArray l = line.trimmed().toLower();
        if (l.startsWith("content-length:"))
            return l.mid(15).trimmed().toLongLong();
    }
    return 0;
}

QByteArray createAccount(const WebPages::Request &r, AccountStore &accounts, bool *changed)
{
    const QString zdid = r.fields.value("zdid").trimmed();
    const QString password = r.fields.value("password");
    if (zdid.isEmpty() || zdid.contains(u' ') || password.isEmpty())
        return page(400, "Create ZDID", paragraph("Please give a ZDID without spaces and a password."));
    if (accounts.find(zdid))
        return page(400, "Create ZDID", paragraph("The ZDID " + zdid + " is taken. Please choose another."));
    accounts.put({ zdid, PasswordDigest(password), WebPages::newAccountFreeCredits, 0,
                   r.fields.value("mobile").trimmed() });
    *changed = true;
    return page(200, "ZDID created",
                paragraph(QStringLiteral("Your ZDID %1 is ready, with %2 free credits. Type it and your "
                                         "password into Zendry SMS.")
                                  .arg(zdid)
                                  .arg(WebPages::newAccountFreeCredits)));
}

QByteArray buyCredits(const WebPages::Request &r, AccountStore &accounts, bool *changed)
{
    Account *account = accounts.find(r.fields.value("zdid").trimmed());
    bool ok = false;
    const qint64 credits = r.fields.value("credits").toLongLong(&ok);
    if (!account || account->digest != PasswordDigest(r.fields.value("password")))
        return page(400, "Purchase Credits", paragraph("Unknown ZDID or wrong password."));
    if (!ok || credits < 1 || credits > 1000)
        return page(400, "Purchase Credits", paragraph("Please buy between 1 and 1000 credits."));
    account->purchasedCredits += credits;
    *changed = true;
    return page(200, "Credits purchased",
                paragraph(QStringLiteral("%1 now has %2 free and %3 purchased credits. Press Refresh in "
                                         "Zendry SMS to see them.")
                                  .arg(account->zdid)
                                  .arg(account->freeCredits)
                                  .arg(account->purchasedCredits)));
}

} // namespace

bool WebPages::isComplete(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf(headerEnd);
    return end >= 0 && bytes.size() - (end + headerEnd.size()) >= contentLength(bytes.left(end));
}

WebPages::Request WebPages::parse(const QByteArray &bytes)
{
    Request r;
    const qsizetype end = bytes.indexOf(headerEnd);
    const QByteArray head = end < 0 ? bytes : bytes.left(end);
    const qsizetype lineEnd = head.indexOf("\r\n");
    const QList<QByteArray> words = (lineEnd < 0 ? head : head.left(lineEnd)).split(' ');
    r.method = QString::fromLatin1(words.value(0));
    const QByteArray target = words.value(1);
    const qsizetype question = target.indexOf('?');
    r.path = QUrl::fromPercentEncoding(question < 0 ? target : target.left(question));
    if (question >= 0)
        addFields(r.fields, target.mid(question + 1));
    if (end >= 0 && r.method == QLatin1String("POST"))
        addFields(r.fields, bytes.mid(end + headerEnd.size(), contentLength(head)));
    return r;
}

QByteArray WebPages::respond(const Request &r, AccountStore &accounts, bool *changed)
{
    *changed = false;
    const bool post = r.method == QLatin1String("POST");
    if (r.path == QLatin1String("/create/")) {
        if (post)
            return createAccount(r, accounts, changed);
        return page(
                200, "Create ZDID",
                paragraph("Choose a ZDID and a password. New accounts get "
                          + QString::number(newAccountFreeCredits) + " free credits.")
                        + form("/create/",
                               input("ZDID", "zdid") + input("Password", "password", "password")
                                       + input("Mobile number (to receive texts from other users)", "mobile"),
                               "Create"));
    }
    if (r.path == QLatin1String("/buytexts.html")) {
        if (post)
            return buyCredits(r, accounts, changed);
        return page(200, "Purchase Credits",
                    paragraph("Credits are free on the stand-in. Nothing is charged.")
                            + form("/buytexts.html",
                                   input("ZDID", "zdid") + input("Password", "password", "password")
                                           + input("Credits (1 to 1000)", "credits"),
                                   "Buy"));
    }
    if (r.path == QLatin1String("/")) {
        QString body = paragraph("This is zendry-server, a stand-in for the Zendry SMS service.");
        if (r.fields.contains("banner"))
            body += paragraph("You clicked the advertisement " + r.fields.value("banner") + ".");
        body += QStringLiteral("<p><a href=\"/create/\">Create ZDID</a> &middot; "
                               "<a href=\"/buytexts.html\">Purchase Credits</a></p>");
        return page(200, "Zendry SMS", body);
    }
    return page(404, "Not found", paragraph("There is no page " + r.path + " here."));
}

} // namespace zendry::server
