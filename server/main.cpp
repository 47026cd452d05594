#include "server/standinserver.h"
#include "service/credential.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace zendry::server;

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "zendry-server: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("A stand-in for the Zendry SMS service, for tests and the demo.\n"
                           "Accounts live in DIR/accounts.json; delivered messages are appended to\n"
                           "DIR/outbox.jsonl and printed.\n\n"
                           "  zendry-server --data DIR --listen 127.0.0.1:8080\n"
                           "  zendry-server --data DIR --add-account ZDID PASSWORD FREE PURCHASED [MOBILE]"));
    parser.addHelpOption();
    const QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Serve on ADDRESS:PORT."),
                                    QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("The data folder."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption add(QStringLiteral("add-account"),
                                 QStringLiteral("Store an account (arguments: ZDID PASSWORD FREE "
                                                "PURCHASED [MOBILE]) and exit."));
    parser.addOptions({ listen, data, add });
    parser.process(app);

    if (!parser.isSet(data))
        return fail(QStringLiteral("--data DIR is required (see --help)"));
    StandInServer server(parser.value(data));
    QString why;
    if (!server.open(&why))
        return fail(why);

    if (parser.isSet(add)) {
        const QStringList a = parser.positionalArguments();
        bool okFree = false, okPurchased = false;
        Account account;
        if (a.size() >= 4) {
            account.zdid = a[0];
            account.digest = zendry::PasswordDigest(a[1]);
            account.freeCredits = a[2].toLongLong(&okFree);
            account.purchasedCredits = a[3].toLongLong(&okPurchased);
            account.mobile = a.value(4);
        }
        if (a.size() < 4 || a.size() > 5 || !okFree || !okPurchased || account.zdid.isEmpty())
            return fail(QStringLiteral("--add-account takes ZDID PASSWORD FREE PURCHASED [MOBILE]"));
        server.accounts().put(account);
        if (!server.accounts().save(&why))
            return fail(why);
        std::printf("account %s stored\n", qPrintable(account.zdid));
        return 0;
    }

    if (!parser.isSet(listen))
        return fail(QStringLiteral("nothing to do: give --listen or --add-account (see --help)"));
    const QString where = parser.value(listen);
    const qsizetype colon = where.lastIndexOf(u':');
    bool okPort = false;
    const uint port = where.mid(colon + 1).toUInt(&okPort);
    const QHostAddress address(where.left(colon));
    if (colon < 0 || !okPort || port > 65535 || address.isNull())
        return fail(QStringLiteral("--listen takes ADDRESS:PORT, for example 127.0.0.1:8080"));
    server.setEcho(true);
    if (!server.listen(address, quint16(port), &why))
        return fail(why);
    std::printf("zendry-server on %s:%u with %d accounts\n", qPrintable(address.toString()), server.port(),
                server.accounts().count());
    std::fflush(stdout);
    return app.exec();
}
