#include "store/contactlist.h"
#include "store/contactslots.h"

#include <QTest>

using namespace zendry;

class TestContacts : public QObject
{
    Q_OBJECT

private slots:
    void rememberUpdatesOrAppends();
    void rememberStopsWhenFull();
    void removeClosesTheGap();
    void listOrder_data();
    void listOrder();
    void newEntryStaysFirst();
};

namespace {

struct Book
{
    ContactSlots names, numbers;
    void fill(int count)
    {
        for (int i = 0; i < count; ++i) {
            names[i] = QStringLiteral("name%1").arg(i);
            numbers[i] = QString::number(i);
        }
    }
};

} // namespace

void TestContacts::rememberUpdatesOrAppends()
{
    Book b;
    b.names[0] = "Ann";
    b.names[1] = "Cy";
    b.names[2] = "Di";
    b.names[3] = "bob";
    b.numbers[3] = "old";

    // Another letter case: the slot takes the new case and number.
    Remembered r = rememberContact(b.names, b.numbers, "Bob", " 4477 ");
    QCOMPARE(r.slot, 3);
    QVERIFY(!r.added);
    QCOMPARE(b.names[3], QString("Bob"));
    QCOMPARE(b.numbers[3], QString("4477"));

    // A trailing space does not match; stored again, trimmed.
    r = rememberContact(b.names, b.numbers, "Bob ", "");
    QCOMPARE(r.slot, 4);
    QVERIFY(r.added);
    QCOMPARE(b.names[4], QString("Bob"));
    QCOMPARE(b.numbers[4], QString());
}

void TestContacts::rememberStopsWhenFull()
{
    Book b;
    b.fill(499);
    Remembered r = rememberContact(b.names, b.numbers, "last", "1");
    QCOMPARE(r.slot, 499);
    QVERIFY(r.added);
    r = rememberContact(b.names, b.numbers, "one more", "2");
    QCOMPARE(r.slot, -1);
    QVERIFY(!r.added);
    QCOMPARE(findContact(b.names, "one more"), -1);
    // An update still works when full.
    QCOMPARE(rememberContact(b.names, b.numbers, "NAME7", "77").slot, 7);
}

void TestContacts::removeClosesTheGap()
{
    Book b;
    b.fill(5);
    b.names[3] = "name1"; // a second contact of the same name
    QCOMPARE(removeContact(b.names, b.numbers, "NAME1"), 1);
    QCOMPARE(b.names[1], QString("name2"));
    QCOMPARE(b.numbers[1], QString("2"));
    QCOMPARE(b.names[2], QString("name1")); // only the first match went
    QCOMPARE(b.names[3], QString("name4"));
    QVERIFY(b.names[4].isEmpty());
    QCOMPARE(removeContact(b.names, b.numbers, "nobody"), -1);

    Book full;
    full.fill(500);
    QCOMPARE(removeContact(full.names, full.numbers, "name0"), 0);
    QCOMPARE(full.names[498], QString("name499"));
    QVERIFY(full.names[499].isEmpty());
    QVERIFY(full.numbers[499].isEmpty());
    QCOMPARE(rememberContact(full.names, full.numbers, "new", "9").slot, 499);
}

void TestContacts::listOrder_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("case does not matter") << QStringList{ "bob", "Alice", "carol", "Bill" }
                                          << QStringList{ "Alice", "Bill", "bob", "carol" };
    QTest::newRow("punctuation, digits, letters") << QStringList{ "zed", "10 Main", "#2", "(Work)", "Ann" }
                                                  << QStringList{ "(Work)", "#2", "10 Main", "Ann", "zed" };
    QTest::newRow("accents sort with their letter")
            << QStringList{ "Zoe", "\u00C9mile", "Eve" } << QStringList{ "\u00C9mile", "Eve", "Zoe" };
    QTest::newRow("equal names keep their order")
            << QStringList{ "Bob", "bob", "BOB" } << QStringList{ "Bob", "bob", "BOB" };
}

void TestContacts::listOrder()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, shown);
    ContactList list;
    for (const QString &name : added)
        list.addName(name);
    QStringList got;
    for (int row = 1; row < list.rowCount(); ++row)
        got << list.entry(row);
    QCOMPARE(got, shown);
    QCOMPARE(list.entry(0), QString("<new>"));
}

// Names that sort before "<new>" still come after it: entry 0 means no contact.
void TestContacts::newEntryStaysFirst()
{
    ContactList list;
    list.addName("(Work)");
    list.addName("!");
    list.addName("<a>");
    QCOMPARE(list.rowCount(), 4);
    QCOMPARE(list.entry(0), QString("<new>"));
    QCOMPARE(list.findName("<A>"), list.findName("<a>"));
    QVERIFY(list.findName("<new>") < 0);
    list.removeEntry(0);
    QCOMPARE(list.rowCount(), 4);
    list.removeEntry(list.findName("!"));
    QCOMPARE(list.rowCount(), 3);
    list.clearNames();
    QCOMPARE(list.rowCount(), 1);
}

QTEST_APPLESS_MAIN(TestContacts)
#include "tst_contacts.moc"
