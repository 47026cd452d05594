#include "service/credential.h"
#include "windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsStandWhereTheFormPutsThem_data();
    void controlsStandWhereTheFormPutsThem();
    void theWindowIsFixed();
    void captionsFitTheirRectangles();
    void tabOrder();
    void labelAccessKeysFocusTheirField_data();
    void labelAccessKeysFocusTheirField();
    void designTimeState();
    void boxesLiftTheLengthLimit();
    void passwordStates();
    void losingActivationIsNotLeavingTheField();
    void aButtonTakesTheFocusBeforeItsClick_data();
    void aButtonTakesTheFocusBeforeItsClick();
    void changeEventsFollowProgramWrites();
    void typedNamesStayOutOfTheList();
    void everyControlHasAnAccessibleName();
};

void TestWindow::controlsStandWhereTheFormPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    // Positions in pixels: the form's twips divided by 15.
    auto row = [](const char *name, const char *type, const char *caption, int l, int t, int w, int h) {
        QTest::newRow(name) << name << type << QString::fromUtf8(caption)
                            << QRect(l / 15, t / 15, w / 15, h / 15);
    };
    row("CreateZDID", "QPushButton", "&Create ZDID", 1140, 180, 1575, 315);
    row("Purchase", "QPushButton", "&Purchase Credits", 2880, 180, 1575, 315);
    row("HelpButton", "QPushButton", "&Help", 4620, 180, 1575, 315);
    row("ZDIDLabel", "QLabel", "&ZDID:", 360, 720, 615, 195);
    row("ZDID", "QLineEdit", "", 1080, 660, 1695, 315);
    row("PWLabel", "QLabel", "P&assword:", 2880, 720, 795, 195);
    row("PW", "QLineEdit", "", 3780, 660, 1695, 315);
    row("SavePW", "QCheckBox", "Sa&ve details", 5640, 720, 1335, 195);
    row("CredLabel", "QLabel", "Credits:", 480, 1200, 675, 195);
    row("FreeLabel", "QLabel", "Free:", 1260, 1200, 435, 195);
    row("FreeCredits", "QLineEdit", "", 1800, 1140, 495, 315);
    row("PurchasedLabel", "QLabel", "Purchased:", 2400, 1200, 855, 195);
    row("Credits", "QLineEdit", "", 3360, 1140, 495, 315);
    row("Refresh", "QPushButton", "&Refresh", 4020, 1140, 795, 315);
    row("AutoRefresh", "QCheckBox", "R&efresh on start-up", 4980, 1200, 1695, 195);
    row("ToLabel", "QLabel", "&To:", 540, 1740, 375, 195);
    row("ToName", "QComboBox", "", 1020, 1680, 1695, 315);
    row("NumLabel", "QLabel", "&Number or ZDID:", 2880, 1620, 675, 375);
    row("Number", "QLineEdit", "", 3660, 1680, 1695, 315);
    row("DeleteContact", "QPushButton", "&Delete Contact", 5520, 1680, 1515, 315);
    row("MsgLabel", "QLabel", "&Message:", 120, 2100, 795, 195);
    row("Message", "QPlainTextEdit", "", 1020, 2100, 6015, 675);
    row("SigLabel", "QLabel", "Si&gnature:", 120, 2940, 795, 195);
    row("Sig", "QLineEdit", "", 1020, 2880, 1695, 315);
    row("CharsLabel", "QLabel", "Characters remaining:", 2820, 2940, 1635, 195);
    row("Chars", "QLineEdit", "160", 4560, 2880, 435, 315);
    row("Send", "QPushButton", "&Send", 5220, 2880, 1815, 315);
    row("Banner", "QLabel", "", 120, 3420, 7020, 900);
}

void TestWindow::controlsStandWhereTheFormPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    WindowFixture f;
    QWidget *w = f.window->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->metaObject()->className(), type);
    QCOMPARE(w->geometry(), geometry);
    QString text;
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        text = b->text();
    else if (auto *l = qobject_cast<QLabel *>(w))
        text = l->text();
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        text = e->text();
    QCOMPARE(text, caption);
}

void TestWindow::theWindowIsFixed()
{
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QString("Zendry SMS"));
    QCOMPARE(f.window->size(), QSize(485, 297));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QVERIFY(!f.window->windowIcon().isNull());
    QCOMPARE(QImage(":/zendry/zendry.png").size(), QSize(32, 32));
    const QPalette p = f.window->palette();
    QCOMPARE(p.color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(p.color(QPalette::WindowText), QColor(0, 153, 255));
    // A disabled window (during an exchange) stays black.
    QCOMPARE(p.color(QPalette::Disabled, QPalette::Window), QColor(Qt::black));
}

void TestWindow::captionsFitTheirRectangles()
{
    WindowFixture f;
    const QFontMetrics fm(f.window->font());
    for (QLabel *label : f.window->findChildren<QLabel *>()) {
        const QString text = label->text().remove(u'&');
        if (text.isEmpty())
            continue;
        const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
        const QRect need = fm.boundingRect(QRect(QPoint(), label->size()), flags, text);
        QVERIFY2(need.width() <= label->width() && need.height() <= label->height(), qPrintable(text));
    }
    for (QPushButton *button : f.window->findChildren<QPushButton *>())
        QVERIFY2(fm.horizontalAdvance(button->text().remove(u'&')) < button->width(),
                 qPrintable(button->text()));
    QVERIFY(f.window->font().pixelSize() >= 7);
}

void TestWindow::tabOrder()
{
    WindowFixture f;
    f.showActive();
    QCOMPARE(QApplication::focusWidget(), f.control("ToName"));
    const QStringList expected = { "Number",      "DeleteContact", "Message",    "Sig",   "Chars", "Send",
                                   "CreateZDID",  "Purchase",      "HelpButton", "ZDID",  "PW",    "SavePW",
                                   "FreeCredits", "Credits",       "Refresh",    "ToName" };
    for (const QString &next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void TestWindow::labelAccessKeysFocusTheirField_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("field");
    QTest::newRow("ZDID") << int(Qt::Key_Z) << "ZDID";
    QTest::newRow("Password") << int(Qt::Key_A) << "PW";
    QTest::newRow("To") << int(Qt::Key_T) << "ToName";
    QTest::newRow("Number") << int(Qt::Key_N) << "Number";
    QTest::newRow("Message") << int(Qt::Key_M) << "Message";
    QTest::newRow("Signature") << int(Qt::Key_G) << "Sig";
}

void TestWindow::labelAccessKeysFocusTheirField()
{
    QFETCH(int, key);
    QFETCH(QString, field);
    WindowFixture f;
    f.showActive();
    f.control("Send")->setFocus();
    QTest::keyClick(f.window.get(), Qt::Key(key), Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), field);
}

void TestWindow::designTimeState()
{
    WindowFixture f;
    QVERIFY(!f.control("AutoRefresh")->isEnabled());
    QVERIFY(!f.control<QCheckBox>("AutoRefresh")->isChecked());
    QVERIFY(!f.control<QCheckBox>("SavePW")->isChecked());
    QVERIFY(f.control<QLabel>("Banner")->pixmap().isNull());
    QCOMPARE(f.control("Banner")->cursor().shape(), Qt::PointingHandCursor);
    for (const char *name : { "FreeCredits", "Credits", "Chars" })
        QVERIFY2(f.edit(name)->isReadOnly(), name);

    QLineEdit *pw = f.edit("PW");
    QCOMPARE(pw->echoMode(), QLineEdit::Password);
    QStyleOptionFrame option;
    option.initFrom(pw);
    QCOMPARE(pw->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, &option, pw), int('*'));

    auto *message = f.control<QPlainTextEdit>("Message");
    QCOMPARE(message->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    f.showActive();
    message->setFocus();
    QTest::keyClicks(message, "ab");
    QTest::keyClick(message, Qt::Key_Return);
    QTest::keyClicks(message, "c");
    QCOMPARE(f.window->messageText(), QString("ab\r\nc"));
    QTest::keyClick(message, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Sig"));

    f.edit("Chars")->setFocus();
    QTest::keyClicks(f.edit("Chars"), "99");
    QCOMPARE(f.edit("Chars")->text(), QString("155")); // "ab", a line break, "c" and the separator
}

void TestWindow::boxesLiftTheLengthLimit()
{
    WindowFixture f;
    const QString longText(40000, u'x');
    for (const char *name : { "ZDID", "PW", "Number", "Sig" }) {
        f.edit(name)->setText(longText);
        QCOMPARE(f.edit(name)->text().size(), longText.size());
    }
}

void TestWindow::passwordStates()
{
    WindowFixture f;
    f.showActive();
    QLineEdit *pw = f.edit("PW");
    auto leave = [&] { QTest::keyClick(pw, Qt::Key_Tab); };

    pw->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(pw, "secret");
    QVERIFY(f.window->passwordHash().isEmpty()); // nothing until the box is left
    leave();
    QCOMPARE(f.window->passwordHash(), zendry::PasswordDigest("secret"));
    const QString stored = f.window->passwordHash();

    // The mask keeps the stored digest; entering the box selects it all.
    pw->setText("**********");
    pw->setFocus(Qt::TabFocusReason);
    QCOMPARE(pw->selectedText(), QString("**********"));
    leave();
    QCOMPARE(f.window->passwordHash(), stored);

    // The mask changed in any way is a new password.
    pw->setText("*********");
    pw->setFocus(Qt::TabFocusReason);
    leave();
    QCOMPARE(f.window->passwordHash(), zendry::PasswordDigest("*********"));
    pw->setText("**********x");
    pw->setFocus(Qt::TabFocusReason);
    leave();
    QCOMPARE(f.window->passwordHash(), zendry::PasswordDigest("**********x"));

    // Spaces count; an emptied box clears the digest.
    pw->setText(" secret");
    pw->setFocus(Qt::TabFocusReason);
    leave();
    QVERIFY(f.window->passwordHash() != stored);
    pw->setFocus(Qt::TabFocusReason);
    pw->clear();
    leave();
    QVERIFY(f.window->passwordHash().isEmpty());
}

void TestWindow::losingActivationIsNotLeavingTheField()
{
    WindowFixture f;
    f.showActive();
    QLineEdit *pw = f.edit("PW");
    pw->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(pw, "abc");

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(f.window->passwordHash().isEmpty());

    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(QApplication::focusWidget(), pw);
    QTest::keyClick(pw, Qt::Key_Tab);
    QCOMPARE(f.window->passwordHash(), zendry::PasswordDigest("abc"));
}

void TestWindow::aButtonTakesTheFocusBeforeItsClick_data()
{
    QTest::addColumn<bool>("byAccessKey");
    QTest::newRow("click") << false;
    QTest::newRow("access key") << true;
}

// Refresh with an empty ZDID shows a box; by then the password box has been
// left and its digest made.
void TestWindow::aButtonTakesTheFocusBeforeItsClick()
{
    QFETCH(bool, byAccessKey);
    WindowFixture f;
    f.showActive();
    QString hashWhenBoxShown;
    f.boxes.whileShown = [&](const ScriptedBoxes::Box &) { hashWhenBoxShown = f.window->passwordHash(); };
    QLineEdit *pw = f.edit("PW");
    pw->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(pw, "abc");
    if (byAccessKey)
        QTest::keyClick(f.window.get(), Qt::Key_R, Qt::AltModifier);
    else
        QTest::mouseClick(f.button("Refresh"), Qt::LeftButton);
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
    QCOMPARE(hashWhenBoxShown, zendry::PasswordDigest("abc"));
}

void TestWindow::changeEventsFollowProgramWrites()
{
    WindowFixture f;
    f.edit("ZDID")->setText("ab");
    QCOMPARE(f.edit("Sig")->text(), QString("ab"));
    QCOMPARE(f.edit("Chars")->text(), QString("157"));
    f.control<QPlainTextEdit>("Message")->setPlainText("hello");
    QCOMPARE(f.edit("Chars")->text(), QString("152"));
}

void TestWindow::typedNamesStayOutOfTheList()
{
    WindowFixture f;
    f.showActive();
    auto *to = f.control<QComboBox>("ToName");
    QCOMPARE(to->count(), 1);
    QCOMPARE(to->itemText(0), QString("<new>"));
    QCOMPARE(to->currentText(), QString());
    QTest::keyClicks(to, "Alice");
    QTest::keyClick(to, Qt::Key_Return);
    QCOMPARE(to->count(), 1);
    QCOMPARE(to->currentText(), QString("Alice"));
}

// A screen reader names each control by its caption, or by its label's.
void TestWindow::everyControlHasAnAccessibleName()
{
    WindowFixture f;
    const QList<QWidget *> controls =
            f.window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 28);
    for (QWidget *w : controls) {
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            QCOMPARE(w->accessibleName(), b->text().remove(u'&'));
        if (auto *l = qobject_cast<QLabel *>(w); l && l->buddy())
            QCOMPARE(l->buddy()->accessibleName() + ':', l->text().remove(u'&'));
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
