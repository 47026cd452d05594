#include "windowfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using Answer = zendry::MessageBoxes::Answer;

namespace {

const QString digest = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

struct Local : WindowFixture
{
    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }
    QComboBox *to() const { return control<QComboBox>("ToName"); }
    QCheckBox *check(const char *name) const { return control<QCheckBox>(name); }
    QStringList entries() const
    {
        QStringList list;
        for (int i = 0; i < to()->count(); ++i)
            list << to()->itemText(i);
        return list;
    }
    // Picks an entry from the open list, as the user does.
    void pick(const QString &text)
    {
        to()->showPopup();
        QAbstractItemView *view = to()->view();
        view->setCurrentIndex(view->model()->index(entries().indexOf(text), 0));
        QTest::keyClick(view, Qt::Key_Return);
    }
    void type(const QString &text)
    {
        to()->lineEdit()->selectAll();
        QTest::keyClicks(to()->lineEdit(), text);
    }
    void deleteContact(Answer answer)
    {
        boxes.nextAnswers = { answer };
        button("DeleteContact")->click();
    }
};

} // namespace

class TestLocalData : public QObject
{
    Q_OBJECT

private slots:
    void loadSettings_data();
    void loadSettings();
    void aMissingSettingsFileIsCreated();
    void anUnreadableSettingsFileLeavesTheDesign();
    void saveSettings_data();
    void saveSettings();
    void saveDetailsGovernsRefreshOnStartUp();
    void failedSavesAreReportedOncePerFile();
    void phonebookRoundTrip();
    void pickingAnEntryFillsTheNumber();
    void deletePicked_data();
    void deletePicked();
    void deleteTyped_data();
    void deleteTyped();
    void editingAfterPickingDeletesWhatWasTyped();
    void deletingWhenFullFreesTheLastSlot();
};

void TestLocalData::loadSettings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("zdid");
    QTest::addColumn<QString>("pw");
    QTest::addColumn<QString>("hash");
    QTest::addColumn<QString>("sig");
    QTest::addColumn<bool>("savePW");
    QTest::addColumn<bool>("autoRefresh");
    const QString mask = "**********";
    QTest::newRow("everything") << ("ZDID=bob\r\npassword=" + digest.toLatin1()
                                    + "\r\nsignature=Bob B\r\nAutoRefresh=1\r\n")
                                << "bob" << mask << digest << "Bob B" << true << true;
    QTest::newRow("empty file") << QByteArray() << ""
                                << ""
                                << ""
                                << "" << false << false;
    QTest::newRow("digest without ZDID") << QByteArray("ZDID=\r\npassword=abc\r\n") << "" << mask << "abc"
                                         << "" << true << false;
    QTest::newRow("refresh without details") << QByteArray("AutoRefresh=1") << ""
                                             << ""
                                             << ""
                                             << "" << false << true;
    QTest::newRow("no signature line empties Sig") << QByteArray("ZDID=x") << "x"
                                                   << ""
                                                   << ""
                                                   << "" << true << false;
    QTest::newRow("capitals and spaces")
            << QByteArray("  PASSWORD=Q  \r SIGNATURE=  s\r\nautorefresh=1 ") << "" << mask << "Q"
            << "  s" << true << true;
    QTest::newRow("repeated keys") << QByteArray(
            "ZDID=a\r\nZDID=\r\npassword=p\r\npassword=\r\nsignature=1\r\nsignature=2")
                                   << "" << mask << ""
                                   << "2" << true << false;
    QTest::newRow("near misses") << QByteArray("ZDID =x\r\nAutoRefresh=10\r\npassword =y\r\nAutoRefresh=0")
                                 << ""
                                 << ""
                                 << ""
                                 << "" << false << false;
    QTest::newRow("Windows-1252") << QByteArray("ZDID=Jos\xE9\r\nsignature=\x80 Jos\xE9") << QString("José")
                                  << ""
                                  << "" << QString("€ José") << true << false;
    QTest::newRow("lone LF in a value") << QByteArray("signature=a\nb") << ""
                                        << ""
                                        << ""
                                        << "a\nb" << false << false;
}

void TestLocalData::loadSettings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, zdid);
    QFETCH(QString, pw);
    QFETCH(QString, hash);
    QFETCH(QString, sig);
    QFETCH(bool, savePW);
    QFETCH(bool, autoRefresh);
    Local f;
    f.put("Zendry SMS.ini", file);
    f.window->LoadSettings();
    QCOMPARE(f.edit("ZDID")->text(), zdid);
    QCOMPARE(f.edit("PW")->text(), pw);
    QCOMPARE(f.window->passwordHash(), hash);
    QCOMPARE(f.edit("Sig")->text(), sig);
    QCOMPARE(f.check("SavePW")->isChecked(), savePW);
    QCOMPARE(f.check("AutoRefresh")->isChecked(), autoRefresh);
    QCOMPARE(f.check("AutoRefresh")->isEnabled(), savePW);
    QCOMPARE(f.bytes("Zendry SMS.ini"), file); // reading changes nothing
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestLocalData::aMissingSettingsFileIsCreated()
{
    Local f;
    f.window->LoadSettings();
    f.window->LoadPhonebook();
    QCOMPARE(f.bytes("Zendry SMS.ini"), QByteArray());
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray());
    QCOMPARE(f.entries(), QStringList{ "<new>" });
    f.window->SaveSettings();
    QCOMPARE(f.bytes("Zendry SMS.ini"), QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n"));
}

void TestLocalData::anUnreadableSettingsFileLeavesTheDesign()
{
    Local f;
    for (const char *name : { "Zendry SMS.ini", "Phonebook.txt" }) {
        QVERIFY(QFile::remove(f.path(name)));
        QVERIFY(QDir().mkdir(f.path(name)));
    }
    f.window->LoadSettings();
    f.window->LoadPhonebook();
    QVERIFY(f.edit("ZDID")->text().isEmpty());
    QVERIFY(!f.check("SavePW")->isChecked());
    QVERIFY(!f.check("AutoRefresh")->isEnabled());
    QCOMPARE(f.entries(), QStringList{ "<new>" });
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestLocalData::saveSettings_data()
{
    QTest::addColumn<bool>("savePW");
    QTest::addColumn<bool>("autoRefresh");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("details saved") << true << true
                                   << ("ZDID=bob\r\npassword=" + digest.toLatin1()
                                       + "\r\nsignature=Bob  B\r\nAutoRefresh=1\r\n");
    QTest::newRow("details not saved")
            << false << true << QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=1\r\n");
    QTest::newRow("no refresh") << true << false
                                << ("ZDID=bob\r\npassword=" + digest.toLatin1()
                                    + "\r\nsignature=Bob  B\r\nAutoRefresh=0\r\n");
}

void TestLocalData::saveSettings()
{
    QFETCH(bool, savePW);
    QFETCH(bool, autoRefresh);
    QFETCH(QByteArray, file);
    Local f;
    f.put("Zendry SMS.ini", "password=" + digest.toLatin1() + "\r\nunknown=kept?\r\n");
    f.window->LoadSettings();
    f.edit("ZDID")->setText("  bob ");
    f.edit("Sig")->setText(" Bob  B ");
    f.check("SavePW")->setChecked(true);
    f.check("AutoRefresh")->setChecked(autoRefresh);
    f.check("SavePW")->setChecked(savePW);
    f.window->SaveSettings();
    QCOMPARE(f.bytes("Zendry SMS.ini"), file);
}

void TestLocalData::saveDetailsGovernsRefreshOnStartUp()
{
    Local f;
    f.showActive();
    QCheckBox *save = f.check("SavePW");
    QCheckBox *refresh = f.check("AutoRefresh");
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(refresh->isEnabled());
    QTest::mouseClick(refresh, Qt::LeftButton);
    QVERIFY(refresh->isChecked());
    QTest::keyClick(f.window.get(), Qt::Key_V, Qt::AltModifier); // "Sa&ve details"
    QTRY_VERIFY(!save->isChecked());
    QVERIFY(!refresh->isEnabled());
    QVERIFY(refresh->isChecked());
    save->setChecked(true);
    QVERIFY(refresh->isEnabled());
}

// A folder where the settings file should be: one box naming it, and the
// phonebook is still written.
void TestLocalData::failedSavesAreReportedOncePerFile()
{
    Local f;
    f.put("Phonebook.txt", "1 Old\r\n");
    f.window->LoadPhonebook();
    QVERIFY(QFile::remove(f.path("Zendry SMS.ini")));
    QVERIFY(QDir().mkdir(f.path("Zendry SMS.ini")));
    f.to()->setEditText("New");
    f.button("Send")->click(); // records the contact, then asks for the ZDID
    f.boxes.shown.clear();
    f.window->SaveSettings();
    f.window->SavePhonebook();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Error"));
    QVERIFY(f.boxes.shown[0].text.contains(QDir::toNativeSeparators(f.path("Zendry SMS.ini"))));
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray("1 Old\r\n New\r\n"));
}

void TestLocalData::phonebookRoundTrip()
{
    Local f;
    const QByteArray file = "4477 Mary Ann\r\nZed\r\n 4478 leading\r\n\r\n4479 \r\n+1 b\xE9\nx\rcarol";
    f.put("Phonebook.txt", file);
    f.window->LoadPhonebook();
    QCOMPARE(f.entries(),
             (QStringList{ "<new>", "4478 leading", QString("bé\nx"), "carol", "Mary Ann", "Zed" }));
    f.window->SavePhonebook();
    QCOMPARE(f.bytes("Phonebook.txt"),
             QByteArray("4477 Mary Ann\r\n Zed\r\n 4478 leading\r\n+1 b\xE9\nx\r\n carol\r\n"));

    // Loading again gives the same phonebook.
    Local again;
    again.put("Phonebook.txt", f.bytes("Phonebook.txt"));
    again.window->LoadPhonebook();
    QCOMPARE(again.entries(), f.entries());
    QCOMPARE(again.window->contactNumbers(), f.window->contactNumbers());
}

void TestLocalData::pickingAnEntryFillsTheNumber()
{
    Local f;
    f.put("Phonebook.txt", "4477 Alice\r\n4478 Bob\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    f.pick("Bob");
    QCOMPARE(f.to()->currentText(), QString("Bob"));
    QCOMPARE(f.edit("Number")->text(), QString("4478"));
    f.pick("<new>");
    QCOMPARE(f.edit("Number")->text(), QString());
    f.pick("Alice");
    QCOMPARE(f.edit("Number")->text(), QString("4477"));
}

void TestLocalData::deletePicked_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("yes") << Answer::Yes;
    QTest::newRow("no") << Answer::No;
}

void TestLocalData::deletePicked()
{
    QFETCH(Answer, answer);
    Local f;
    f.put("Phonebook.txt", "1 Ann\r\n2 Bob\r\n3 Cy\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    f.pick("Bob");
    f.deleteContact(answer);
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].title, QString("Delete Contact"));
    QCOMPARE(f.boxes.shown[0].text, QString("Are you sure you want to delete Bob from your contacts?"));
    QCOMPARE(f.boxes.shown[0].buttons, zendry::MessageBoxes::Buttons::YesNo);
    QCOMPARE(f.boxes.shown[0].defaultAnswer, Answer::Yes);
    f.window->SavePhonebook();
    if (answer == Answer::Yes) {
        QCOMPARE(f.entries(), (QStringList{ "<new>", "Ann", "Cy" }));
        QCOMPARE(f.bytes("Phonebook.txt"), QByteArray("1 Ann\r\n3 Cy\r\n"));
        QCOMPARE(f.to()->currentText(), QString());
        QCOMPARE(f.edit("Number")->text(), QString());
    } else {
        QCOMPARE(f.entries(), (QStringList{ "<new>", "Ann", "Bob", "Cy" }));
        QCOMPARE(f.bytes("Phonebook.txt"), QByteArray("1 Ann\r\n2 Bob\r\n3 Cy\r\n"));
        QCOMPARE(f.to()->currentText(), QString("Bob"));
        QCOMPARE(f.edit("Number")->text(), QString("2"));
    }
}

void TestLocalData::deleteTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("another letter case")
            << "bOB" << 1 << QStringList{ "<new>", "Ann", "Cy" } << QByteArray("1 Ann\r\n3 Cy\r\n");
    QTest::newRow("no such contact") << "Dee" << 1 << QStringList{ "<new>", "Ann", "Bob", "Cy" }
                                     << QByteArray("1 Ann\r\n2 Bob\r\n3 Cy\r\n");
    QTest::newRow("<new>") << "<new>" << 0 << QStringList{ "<new>", "Ann", "Bob", "Cy" }
                           << QByteArray("1 Ann\r\n2 Bob\r\n3 Cy\r\n");
    QTest::newRow("empty") << "" << 0 << QStringList{ "<new>", "Ann", "Bob", "Cy" }
                           << QByteArray("1 Ann\r\n2 Bob\r\n3 Cy\r\n");
}

void TestLocalData::deleteTyped()
{
    QFETCH(QString, typed);
    QFETCH(int, boxes);
    QFETCH(QStringList, left);
    QFETCH(QByteArray, file);
    Local f;
    f.put("Phonebook.txt", "1 Ann\r\n2 Bob\r\n3 Cy\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    f.to()->setFocus();
    f.type(typed);
    f.deleteContact(Answer::Yes);
    QCOMPARE(int(f.boxes.shown.size()), boxes);
    QCOMPARE(f.entries(), left);
    f.window->SavePhonebook();
    QCOMPARE(f.bytes("Phonebook.txt"), file);
}

// Picking Alice and then typing Bob makes Bob the name to delete, and only
// Bob goes, from the slots and from the list.
void TestLocalData::editingAfterPickingDeletesWhatWasTyped()
{
    Local f;
    f.put("Phonebook.txt", "1 Alice\r\n2 Bob\r\n");
    f.window->LoadPhonebook();
    f.showActive();
    f.pick("Alice");
    f.type("Bob");
    f.deleteContact(Answer::Yes);
    QCOMPARE(f.entries(), (QStringList{ "<new>", "Alice" }));
    QCOMPARE(f.window->contactNames()[0], QString("Alice"));
    QVERIFY(f.window->contactNames()[1].isEmpty());
}

void TestLocalData::deletingWhenFullFreesTheLastSlot()
{
    Local f;
    QByteArray file;
    for (int i = 0; i < 501; ++i)
        file += QByteArray::number(i) + " c" + QByteArray::number(i) + "\r\n";
    f.put("Phonebook.txt", file);
    f.window->LoadPhonebook();
    QCOMPARE(f.to()->count(), 501); // "<new>" and 500 names; the 501st line is dropped
    f.showActive();
    f.to()->setEditText("newcomer");
    f.button("Send")->click();
    QCOMPARE(f.to()->count(), 501); // full: nothing recorded
    f.pick("c250");
    f.deleteContact(Answer::Yes);
    QCOMPARE(f.window->contactNames()[250], QString("c251"));
    QVERIFY(f.window->contactNames()[499].isEmpty());
    f.to()->setEditText("newcomer");
    f.button("Send")->click();
    QCOMPARE(f.window->contactNames()[499], QString("newcomer"));
    QCOMPARE(f.to()->count(), 501);
}

QTEST_MAIN(TestLocalData)
#include "tst_localdata.moc"
