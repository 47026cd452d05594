#include "service/reply.h"
#include "service/request.h"

#include <QTest>

using namespace zendry;

class TestService : public QObject
{
    Q_OBJECT

private slots:
    void requests();
    void replies_data();
    void replies();
};

void TestService::requests()
{
    QCOMPARE(creditsRequestBody(" alice ", ""), QString("alice "));
    QCOMPARE(sendRequestBody("bob", "d1", " 4477 ", "a\r\nb", "-x"),
             QString("v1.10 bob d1\r\n4477\r\na\rb\r-x"));
    QCOMPARE(sendRequestBody("bob", "d1", "1", "hi\r\n", "s"), QString("v1.10 bob d1\r\n1\r\nhi\r\rs"));
    QCOMPARE(sendRequestBody("bob", "", "1", " hi ", "  "), QString("v1.10 bob \r\n1\r\nhi\r"));
    QCOMPARE(sendRequestBody("\tbob", "d", "1", "\thi", "s\t"), QString("v1.10 \tbob d\r\n1\r\n\thi\rs\t"));
    // "alice " reversed and mirrored, the space now a comma in front.
    QCOMPARE(creditsRequest(" alice ", ""), QByteArray("txt ,VXROZ"));
    QCOMPARE(sendRequest("ab", "", "12", "c\r\nd", "é"), QByteArray("stxt \xE9:W:X;:78;:,YZ,98.8E"));
}

void TestService::replies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail"); // the balances, or the message
    using K = Reply::Kind;
    // clang-format off
    QTest::newRow("!W") << "!Wrong" << int(K::UnknownZdid) << "";
    QTest::newRow("!P") << "!P" << int(K::WrongPassword) << "";
    QTest::newRow("!0") << "!0" << int(K::NoCredits) << "";
    QTest::newRow("!r alone") << "!r" << int(K::RecipientProblem) << "";
    QTest::newRow("!rx") << "!rx" << int(K::RecipientProblem) << "";
    QTest::newRow("!RW") << "!RW" << int(K::RecipientUnknown) << "";
    QTest::newRow("!rN") << "!rN" << int(K::RecipientNoMobile) << "";
    QTest::newRow("message") << "!\"Down for\r\nrepairs" << int(K::ServiceMessage) << "Down for\r\nrepairs";
    QTest::newRow("empty message") << "!\"" << int(K::ServiceMessage) << "";
    QTest::newRow("=5,20 CR LF") << "=5,20\r\n" << int(K::Balance) << "5 20";
    QTest::newRow("=,7") << "=,7" << int(K::Balance) << "0 7";
    QTest::newRow("=2.9,x") << "=2.9,x" << int(K::Balance) << "2 0";
    QTest::newRow("negative rounds down") << "=-2.5,-1" << int(K::Balance) << "-3 -1";
    QTest::newRow("a second comma ends it") << "=1,2,3" << int(K::Balance) << "1 2";
    QTest::newRow("largest that fits") << "=1,9223372036854775807" << int(K::Balance) << "1 9223372036854775807";
    QTest::newRow("=15: no comma") << "=15" << int(K::BadBalance) << "";
    QTest::newRow("too large to hold") << "=1e999,5" << int(K::BadBalance) << "";
    QTest::newRow("just past 64 bits") << "=1,9223372036854775808" << int(K::BadBalance) << "";
    QTest::newRow("empty") << "" << int(K::Unrecognised) << "";
    QTest::newRow("a digit") << "5,5" << int(K::Unrecognised) << "";
    QTest::newRow("! alone") << "!" << int(K::Unrecognised) << "";
    // clang-format on
}

void TestService::replies()
{
    QFETCH(QString, reply);
    QFETCH(int, kind);
    QFETCH(QString, detail);
    const Reply r = classifyReply(reply);
    QCOMPARE(int(r.kind), kind);
    if (r.kind == Reply::Kind::Balance)
        QCOMPARE(QString::number(r.freeCredits) + ' ' + QString::number(r.purchasedCredits), detail);
    else
        QCOMPARE(r.message, detail);
}

QTEST_APPLESS_MAIN(TestService)
#include "tst_service.moc"
