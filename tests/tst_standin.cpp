#include "server/standinserver.h"
#include "service/credential.h"
#include "windowfixture.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace zendry;

// The real window against the stand-in service, as a user of the demo would try it.
class TestStandIn : public QObject
{
    Q_OBJECT

private slots:
    void sendAndRefresh();
};

void TestStandIn::sendAndRefresh()
{
    QTemporaryDir data;
    server::StandInServer service(data.path());
    QVERIFY(service.open(nullptr));
    service.accounts().put({ "demo", PasswordDigest("demo"), 1, 2, "447700900000" });
    QVERIFY(service.listen(QHostAddress::LocalHost, 0, nullptr));
    QList<server::Delivery> delivered;
    connect(&service, &server::StandInServer::delivered, this,
            [&](const server::Delivery &d) { delivered.append(d); });

    WindowFixture f(service.port());
    f.showActive();
    f.edit("ZDID")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("ZDID"), "demo");
    QTest::keyClick(f.edit("ZDID"), Qt::Key_Tab);
    QTest::keyClicks(f.edit("PW"), "demo");
    QTest::keyClick(f.edit("PW"), Qt::Key_Tab);
    f.button("Refresh")->click();
    QTRY_COMPARE(f.edit("Credits")->text(), QString("2"));
    QCOMPARE(f.edit("FreeCredits")->text(), QString("1"));
    QVERIFY(f.boxes.shown.isEmpty());

    f.edit("Number")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("Number"), "+44 7700 900123");
    auto *message = f.control<QPlainTextEdit>("Message");
    message->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(message, "Dinner at eight");
    QTest::keyClick(message, Qt::Key_Return);
    QTest::keyClicks(message, "by the station");
    f.button("Send")->click();
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Message Sent"));
    QCOMPARE(f.edit("FreeCredits")->text(), QString("0"));
    QCOMPARE(f.edit("Credits")->text(), QString("2"));
    QCOMPARE(delivered.size(), 1);
    QCOMPARE(delivered[0].to, QString("447700900123"));
    QCOMPARE(delivered[0].message, QString("Dinner at eight\rby the station"));
    QCOMPARE(delivered[0].signature, QString("demo"));

    // A wrong password is the service's refusal, and the window stays usable.
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "nope");
    f.button("Refresh")->click();
    QTRY_COMPARE(f.boxes.shown.size(), 2);
    QCOMPARE(f.boxes.shown[1].text, QString("Incorrect password."));
    QTRY_VERIFY(f.window->isEnabled());
    QCOMPARE(QApplication::focusWidget(), f.edit("PW"));
}

QTEST_MAIN(TestStandIn)
#include "tst_standin.moc"
