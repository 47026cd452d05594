#include "windowfixture.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QTest>

using Answer = zendry::MessageBoxes::Answer;

namespace {

struct Local : WindowFixture
{
    QComboBox *to() const { return control<QComboBox>("ToName"); }
    bool checked(const char *name) const { return control<QCheckBox>(name)->isChecked(); }
    QString entries() const
    {
        QStringList list;
        for (int i = 0; i < to()->count(); ++i)
            list << to()->itemText(i);
        return list.join('|');
    }
    // Picks an entry from the open list, as the user does.
    void pick(const QString &text)
    {
        to()->showPopup();
        QAbstractItemView *view = to()->view();
        view->setCurrentIndex(view->model()->index(entries().split('|').indexOf(text), 0));
        QTest::keyClick(view, Qt::Key_Return);
    }
    void type(const QString &text)
    {
        to()->lineEdit()->selectAll();
        QTest::keyClicks(to()->lineEdit(), text);
    }
    QByteArray deleteAndSave(Answer answer)
    {
        boxes.nextAnswers = { answer };
        button("DeleteContact")->click();
        window->SavePhonebook();
        return bytes("Phonebook.txt");
    }
    void folderInTheWay(const QString &name) const
    {
        QFile::remove(folder.filePath(name));
        QDir().mkdir(folder.filePath(name));
    }
};

} // namespace

class TestLocalData : public QObject
{
    Q_OBJECT

private slots:
    void loadSettings();
    void saveDetailsGovernsRefreshOnStartUp();
    void failedSavesAreReportedOncePerFile();
    void phonebookRoundTrip();
    void pickingAnEntryFillsTheNumber();
    void deleteContact_data();
    void deleteContact();
};

// The file as the window applies it: a ZDID copied into the signature gives
// way to the stored signature, even none. A folder in the way reads as nothing.
void TestLocalData::loadSettings()
{
    for (const QByteArray &file :
         { QByteArray("ZDID=bob\r\npassword=ab12\r\nAutoRefresh=1\r\n"), QByteArray() }) {
        Local f;
        if (file.isEmpty())
            f.folderInTheWay("Zendry SMS.ini");
        else
            f.put("Zendry SMS.ini", file);
        f.window->LoadSettings();
        const QStringList got = { f.edit("ZDID")->text(),         f.edit("PW")->text(),
                                  f.window->passwordHash(),       f.edit("Sig")->text(),
                                  f.checked("SavePW") ? "1" : "", f.checked("AutoRefresh") ? "1" : "" };
        QCOMPARE(got.join('|'), QString(file.isEmpty() ? "|||||" : "bob|**********|ab12||1|1"));
        QCOMPARE(f.control("AutoRefresh")->isEnabled(), !file.isEmpty());
        if (!file.isEmpty())
            QCOMPARE(f.bytes("Zendry SMS.ini"), file); // reading changes nothing
        QVERIFY(f.boxes.shown.isEmpty());
    }
}

void TestLocalData::saveDetailsGovernsRefreshOnStartUp()
{
    Local f;
    f.showActive();
    QWidget *refresh = f.control("AutoRefresh");
    QTest::mouseClick(f.control("SavePW"), Qt::LeftButton);
    QVERIFY(refresh->isEnabled());
    QTest::mouseClick(refresh, Qt::LeftButton);
    QTest::keyClick(f.window.get(), Qt::Key_V, Qt::AltModifier); // "Sa&ve details"
    QTRY_VERIFY(!f.checked("SavePW"));
    QVERIFY(!refresh->isEnabled());
    QVERIFY(f.checked("AutoRefresh")); // disabled, but keeps its check mark, and it is saved
    f.edit("ZDID")->setText("bob");
    f.window->SaveSettings();
    QCOMPARE(f.bytes("Zendry SMS.ini"), QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=1\r\n"));
}

// A folder where the settings file should be: one box naming it, and the
// phonebook is still written.
void TestLocalData::failedSavesAreReportedOncePerFile()
{
    Local f;
    f.folderInTheWay("Zendry SMS.ini");
    f.to()->setEditText("New");
    f.button("Send")->click(); // records the contact, then asks for the ZDID
    f.boxes.shown.clear();
    f.window->SaveSettings();
    f.window->SavePhonebook();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Error"));
    QVERIFY(f.boxes.shown[0].text.contains(QDir::toNativeSeparators(f.folder.filePath("Zendry SMS.ini"))));
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray(" New\r\n"));
}

void TestLocalData::phonebookRoundTrip()
{
    Local f;
    f.put("Phonebook.txt", "4477 Mary Ann\r\nZed\r\n 4478 leading\r\n\r\n4479 \r\n+1 b\xE9\nx\rcarol");
    f.window->LoadPhonebook();
    QCOMPARE(f.entries(), QString("<new>|4478 leading|bé\nx|carol|Mary Ann|Zed"));
    f.window->SavePhonebook();
    const QByteArray saved = "4477 Mary Ann\r\n Zed\r\n 4478 leading\r\n+1 b\xE9\nx\r\n carol\r\n";
    QCOMPARE(f.bytes("Phonebook.txt"), saved);
    f.window->LoadPhonebook(); // loading again gives the same phonebook
    f.window->SavePhonebook();
    QCOMPARE(f.bytes("Phonebook.txt"), saved);
}

void TestLocalData::pickingAnEntryFillsTheNumber()
{
    Local f;
    f.put("Phonebook.txt", "4477 Alice\r\n4478 Bob\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    QStringList numbers;
    for (const char *name : { "Bob", "<new>", "Alice" }) {
        f.pick(name);
        numbers << f.to()->currentText() + '=' + f.edit("Number")->text();
    }
    QCOMPARE(numbers.join(' '), QString("Bob=4478 <new>= Alice=4477"));
}

void TestLocalData::deleteContact_data()
{
    // clang-format off
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QByteArray>("file");
    const QByteArray all = "1 Ann\r\n2 Bob\r\n3 Cy\r\n";
    QTest::newRow("picked, yes") << "Bob" << "" << Answer::Yes << "Bob" << "<new>|Ann|Cy" << QByteArray("1 Ann\r\n3 Cy\r\n");
    QTest::newRow("picked, no") << "Bob" << "" << Answer::No << "Bob" << "<new>|Ann|Bob|Cy" << all;
    QTest::newRow("typed in another case") << "" << "bOB" << Answer::Yes << "bOB" << "<new>|Ann|Cy"
                                           << QByteArray("1 Ann\r\n3 Cy\r\n");
    QTest::newRow("typed, no such contact") << "" << "Dee" << Answer::Yes << "Dee" << "<new>|Ann|Bob|Cy" << all;
    // Picking Ann and then typing Bob makes Bob the name to delete, from the slots and the list alike.
    QTest::newRow("picked, then typed over") << "Ann" << "Bob" << Answer::Yes << "Bob" << "<new>|Ann|Cy"
                                             << QByteArray("1 Ann\r\n3 Cy\r\n");
    QTest::newRow("<new>") << "<new>" << "" << Answer::Yes << "" << "<new>|Ann|Bob|Cy" << all;
    // clang-format on
}

void TestLocalData::deleteContact()
{
    QFETCH(QString, picked);
    QFETCH(QString, typed);
    QFETCH(Answer, answer);
    QFETCH(QString, asked);
    QFETCH(QString, left);
    QFETCH(QByteArray, file);
    Local f;
    f.put("Phonebook.txt", "1 Ann\r\n2 Bob\r\n3 Cy\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    if (!picked.isEmpty())
        f.pick(picked);
    f.to()->setFocus();
    if (!typed.isEmpty())
        f.type(typed);
    QCOMPARE(f.deleteAndSave(answer), file);
    QCOMPARE(f.entries(), left);
    QCOMPARE(f.boxes.shown.size(), asked.isEmpty() ? 0 : 1);
    if (asked.isEmpty())
        return;
    QCOMPARE(f.boxes.shown[0].title, QString("Delete Contact"));
    QCOMPARE(f.boxes.shown[0].text, "Are you sure you want to delete " + asked + " from your contacts?");
    QCOMPARE(f.boxes.shown[0].defaultAnswer, Answer::Yes);
    QCOMPARE(f.to()->currentText().isEmpty() && f.edit("Number")->text().isEmpty(), answer == Answer::Yes);
}

QTEST_MAIN(TestLocalData)
#include "tst_localdata.moc"
