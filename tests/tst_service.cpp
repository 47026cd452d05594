#include "service/credential.h"
#include "service/reply.h"
#include "service/request.h"

#include <QTest>

using namespace zendry;
using Kind = Reply::Kind;

Q_DECLARE_METATYPE(Reply::Kind)

class TestService : public QObject
{
    Q_OBJECT

private slots:
    void requestBodies_data();
    void requestBodies();
    void requestsOnTheWire();
    void replies_data();
    void replies();
};

void TestService::requestBodies_data()
{
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<QString>("zdid");
    QTest::addColumn<QString>("hash");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("sig");
    QTest::addColumn<QString>("body");
    QTest::newRow("credits, trimmed ZDID, empty digest") << true << " alice "
                                                         << ""
                                                         << ""
                                                         << ""
                                                         << ""
                                                         << "alice ";
    QTest::newRow("credits with digest") << true << "bob"
                                         << "ab12"
                                         << "x"
                                         << "y"
                                         << "z"
                                         << "bob ab12";
    QTest::newRow("two lines") << false << "bob"
                               << "d1"
                               << " 4477 "
                               << "a\r\nb"
                               << "-x"
                               << "v1.10 bob d1\r\n4477\r\na\rb\r-x";
    QTest::newRow("trailing line break stays") << false << "bob"
                                               << "d1"
                                               << "1"
                                               << "hi\r\n"
                                               << "s"
                                               << "v1.10 bob d1\r\n1\r\nhi\r\rs";
    QTest::newRow("empty signature ends in CR") << false << "bob"
                                                << ""
                                                << "1"
                                                << " hi "
                                                << "  "
                                                << "v1.10 bob \r\n1\r\nhi\r";
    QTest::newRow("tabs are not trimmed") << false << "\tbob"
                                          << "d"
                                          << "1"
                                          << "\thi"
                                          << "s\t"
                                          << "v1.10 \tbob d\r\n1\r\n\thi\rs\t";
}

void TestService::requestBodies()
{
    QFETCH(bool, refresh);
    QFETCH(QString, zdid);
    QFETCH(QString, hash);
    QFETCH(QString, number);
    QFETCH(QString, message);
    QFETCH(QString, sig);
    QFETCH(QString, body);
    QCOMPARE(refresh ? creditsRequestBody(zdid, hash) : sendRequestBody(zdid, hash, number, message, sig),
             body);
}

void TestService::requestsOnTheWire()
{
    // "alice " reversed and mirrored: the space becomes a comma and leads.
    QCOMPARE(creditsRequest(" alice ", ""), QByteArray("txt ,VXROZ"));
    QCOMPARE(sendRequest("ab", "", "12", "c\r\nd", "é"), QByteArray("stxt \xE9:W:X;:78;:,YZ,98.8E"));
}

void TestService::replies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<qint64>("free");
    QTest::addColumn<qint64>("purchased");
    QTest::addColumn<QString>("message");
    QTest::newRow("!w") << "!w" << Kind::UnknownZdid << 0ll << 0ll << "";
    QTest::newRow("!W capital") << "!Wrong" << Kind::UnknownZdid << 0ll << 0ll << "";
    QTest::newRow("!P capital") << "!P" << Kind::WrongPassword << 0ll << 0ll << "";
    QTest::newRow("!0") << "!0" << Kind::NoCredits << 0ll << 0ll << "";
    QTest::newRow("!r alone") << "!r" << Kind::RecipientProblem << 0ll << 0ll << "";
    QTest::newRow("!rx") << "!rx" << Kind::RecipientProblem << 0ll << 0ll << "";
    QTest::newRow("!rw") << "!rw" << Kind::RecipientUnknown << 0ll << 0ll << "";
    QTest::newRow("!RW") << "!RW" << Kind::RecipientUnknown << 0ll << 0ll << "";
    QTest::newRow("!Rn") << "!Rn" << Kind::RecipientNoMobile << 0ll << 0ll << "";
    QTest::newRow("!rN") << "!rN" << Kind::RecipientNoMobile << 0ll << 0ll << "";
    QTest::newRow("message") << "!\"Down for\r\nrepairs" << Kind::ServiceMessage << 0ll << 0ll
                             << "Down for\r\nrepairs";
    QTest::newRow("empty message") << "!\"" << Kind::ServiceMessage << 0ll << 0ll << "";
    QTest::newRow("=5,20") << "=5,20" << Kind::Balance << 5ll << 20ll << "";
    QTest::newRow("=5,20 CR LF") << "=5,20\r\n" << Kind::Balance << 5ll << 20ll << "";
    QTest::newRow("=,7") << "=,7" << Kind::Balance << 0ll << 7ll << "";
    QTest::newRow("=2.9,x") << "=2.9,x" << Kind::Balance << 2ll << 0ll << "";
    QTest::newRow("negative rounds down") << "=-2.5,-1" << Kind::Balance << -3ll << -1ll << "";
    QTest::newRow("second comma ends the number") << "=1,2,3" << Kind::Balance << 1ll << 2ll << "";
    QTest::newRow("=15 has no comma") << "=15" << Kind::BadBalance << 0ll << 0ll << "";
    QTest::newRow("too large to hold") << "=1e999,5" << Kind::BadBalance << 0ll << 0ll << "";
    QTest::newRow("just past 64 bits") << "=1,9223372036854775808" << Kind::BadBalance << 0ll << 0ll << "";
    QTest::newRow("largest that fits")
            << "=1,9223372036854775807" << Kind::Balance << 1ll << 9223372036854775807ll << "";
    QTest::newRow("empty") << "" << Kind::Unrecognised << 0ll << 0ll << "";
    QTest::newRow("letter") << "ok" << Kind::Unrecognised << 0ll << 0ll << "";
    QTest::newRow("digit") << "5,5" << Kind::Unrecognised << 0ll << 0ll << "";
    QTest::newRow("question mark") << "?" << Kind::Unrecognised << 0ll << 0ll << "";
    QTest::newRow("! alone") << "!" << Kind::Unrecognised << 0ll << 0ll << "";
    QTest::newRow("!x") << "!x" << Kind::Unrecognised << 0ll << 0ll << "";
}

void TestService::replies()
{
    QFETCH(QString, reply);
    QFETCH(Kind, kind);
    QFETCH(qint64, free);
    QFETCH(qint64, purchased);
    QFETCH(QString, message);
    const Reply r = classifyReply(reply);
    QCOMPARE(r.kind, kind);
    if (kind == Kind::Balance) {
        QCOMPARE(r.freeCredits, free);
        QCOMPARE(r.purchasedCredits, purchased);
    }
    QCOMPARE(r.message, message);
}

QTEST_APPLESS_MAIN(TestService)
#include "tst_service.moc"
