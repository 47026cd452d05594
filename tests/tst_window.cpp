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
    void controlsStandWhereTheFormPutsThem();
    void tabOrderAndAccessKeys();
    void designTimeState();
    void passwordStates();
    void losingActivationIsNotLeavingTheField();
    void aButtonTakesTheFocusBeforeItsClick_data();
    void aButtonTakesTheFocusBeforeItsClick();
};

// Name, caption, and Left, Top, Width, Height in twips (15 to a pixel).
void TestWindow::controlsStandWhereTheFormPutsThem()
{
    const struct
    {
        const char *name, *caption;
        int l, t, w, h;
    } form[] = {
        { "CreateZDID", "&Create ZDID", 1140, 180, 1575, 315 },
        { "Purchase", "&Purchase Credits", 2880, 180, 1575, 315 },
        { "HelpButton", "&Help", 4620, 180, 1575, 315 },
        { "ZDIDLabel", "&ZDID:", 360, 720, 615, 195 },
        { "ZDID", "", 1080, 660, 1695, 315 },
        { "PWLabel", "P&assword:", 2880, 720, 795, 195 },
        { "PW", "", 3780, 660, 1695, 315 },
        { "SavePW", "Sa&ve details", 5640, 720, 1335, 195 },
        { "CredLabel", "Credits:", 480, 1200, 675, 195 },
        { "FreeLabel", "Free:", 1260, 1200, 435, 195 },
        { "FreeCredits", "", 1800, 1140, 495, 315 },
        { "PurchasedLabel", "Purchased:", 2400, 1200, 855, 195 },
        { "Credits", "", 3360, 1140, 495, 315 },
        { "Refresh", "&Refresh", 4020, 1140, 795, 315 },
        { "AutoRefresh", "R&efresh on start-up", 4980, 1200, 1695, 195 },
        { "ToLabel", "&To:", 540, 1740, 375, 195 },
        { "ToName", "", 1020, 1680, 1695, 315 },
        { "NumLabel", "&Number or ZDID:", 2880, 1620, 675, 375 },
        { "Number", "", 3660, 1680, 1695, 315 },
        { "DeleteContact", "&Delete Contact", 5520, 1680, 1515, 315 },
        { "MsgLabel", "&Message:", 120, 2100, 795, 195 },
        { "Message", "", 1020, 2100, 6015, 675 },
        { "SigLabel", "Si&gnature:", 120, 2940, 795, 195 },
        { "Sig", "", 1020, 2880, 1695, 315 },
        { "CharsLabel", "Characters remaining:", 2820, 2940, 1635, 195 },
        { "Chars", "160", 4560, 2880, 435, 315 },
        { "Send", "&Send", 5220, 2880, 1815, 315 },
        { "Banner", "", 120, 3420, 7020, 900 },
    };
    WindowFixture f;
    QCOMPARE(f.window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 28);
    const QFontMetrics fm(f.window->font());
    for (const auto &c : form) {
        QWidget *w = f.control(c.name);
        QVERIFY2(w, c.name);
        QCOMPARE(w->geometry(), QRect(c.l / 15, c.t / 15, c.w / 15, c.h / 15));
        const auto *b = qobject_cast<QAbstractButton *>(w);
        const auto *l = qobject_cast<QLabel *>(w);
        const auto *e = qobject_cast<QLineEdit *>(w);
        const QString text = b ? b->text() : l ? l->text() : e ? e->text() : QString();
        QCOMPARE(text, QString(c.caption));
        // Every caption fits its rectangle, and a screen reader can name every control.
        const QRect need = fm.boundingRect(w->rect(), l && l->wordWrap() ? Qt::TextWordWrap : 0,
                                           text.mid(0).remove(u'&'));
        QVERIFY2(!l || (need.width() <= w->width() && need.height() <= w->height()), c.name);
        QVERIFY2(!w->accessibleName().isEmpty(), c.name);
    }
    QCOMPARE(f.window->windowTitle(), QString("Zendry SMS"));
    QCOMPARE(f.window->size(), QSize(485, 297));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QCOMPARE(f.window->windowIcon().pixmap(32).size(), QSize(32, 32));
    QCOMPARE(f.window->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(f.window->palette().color(QPalette::WindowText), QColor(0, 153, 255));
    QCOMPARE(f.window->palette().color(QPalette::Disabled, QPalette::Window), QColor(Qt::black));
}

void TestWindow::tabOrderAndAccessKeys()
{
    WindowFixture f;
    f.showActive();
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ToName"));
    QStringList visited;
    for (int i = 0; i < 16; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // AutoRefresh is skipped while disabled.
    QCOMPARE(visited,
             QString("Number DeleteContact Message Sig Chars Send CreateZDID Purchase HelpButton ZDID PW "
                     "SavePW FreeCredits Credits Refresh ToName")
                     .split(' '));
    // A label's access key moves the focus to its field.
    QStringList reached;
    for (Qt::Key key : { Qt::Key_Z, Qt::Key_A, Qt::Key_T, Qt::Key_N, Qt::Key_M, Qt::Key_G }) {
        QTest::keyClick(f.window.get(), key, Qt::AltModifier);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached, QString("ZDID PW ToName Number Message Sig").split(' '));
}

void TestWindow::designTimeState()
{
    WindowFixture f;
    QVERIFY(!f.control("AutoRefresh")->isEnabled());
    QVERIFY(f.control<QLabel>("Banner")->pixmap().isNull());
    QCOMPARE(f.control("Banner")->cursor().shape(), Qt::PointingHandCursor);
    for (const char *name : { "FreeCredits", "Credits", "Chars" })
        QVERIFY2(f.edit(name)->isReadOnly(), name);
    QStyleOptionFrame option;
    option.initFrom(f.edit("PW"));
    QCOMPARE(f.edit("PW")->echoMode(), QLineEdit::Password);
    QCOMPARE(f.edit("PW")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, &option, f.edit("PW")),
             int('*'));
    // No box limits its length.
    const QString longText(40000, u'x');
    f.control<QComboBox>("ToName")->setEditText(longText);
    f.edit("Sig")->setText(longText);
    QCOMPARE(f.control<QComboBox>("ToName")->currentText().size() + f.edit("Sig")->text().size(), 80000);

    // Enter is a line break in Message, which counts as CR LF; Tab moves on.
    f.showActive();
    auto *message = f.control<QPlainTextEdit>("Message");
    message->setFocus();
    QTest::keyClicks(message, "ab");
    QTest::keyClick(message, Qt::Key_Return);
    QTest::keyClicks(message, "c");
    QCOMPARE(f.window->messageText(), QString("ab\r\nc"));
    QTest::keyClick(message, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("Sig"));
    // Typed names are not added to the list.
    auto *to = f.control<QComboBox>("ToName");
    to->setFocus();
    to->setEditText("Alice");
    QTest::keyClick(to, Qt::Key_Return);
    QCOMPARE(to->count(), 1);
    QCOMPARE(to->itemText(0), QString("<new>"));
}

void TestWindow::passwordStates()
{
    WindowFixture f;
    f.showActive();
    QLineEdit *pw = f.edit("PW");
    auto enterTypeLeave = [&](const QString &text, bool typed = false) {
        pw->setFocus(Qt::TabFocusReason);
        if (typed)
            QTest::keyClicks(pw, text);
        else
            pw->setText(text);
        QTest::keyClick(pw, Qt::Key_Tab);
        return f.window->passwordHash();
    };
    const QString stored = enterTypeLeave("secret", true);
    QCOMPARE(stored, zendry::PasswordDigest("secret"));
    pw->setText("**********");
    pw->setFocus(Qt::TabFocusReason);
    QCOMPARE(pw->selectedText(), QString("**********")); // entering the box selects it all
    QCOMPARE(enterTypeLeave("**********"), stored); // the mask keeps the stored digest
    QCOMPARE(enterTypeLeave("*********"), zendry::PasswordDigest("*********"));
    QCOMPARE(enterTypeLeave("**********x"), zendry::PasswordDigest("**********x"));
    QCOMPARE(enterTypeLeave(" secret"), zendry::PasswordDigest(" secret"));
    QVERIFY(enterTypeLeave("").isEmpty());
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
    // clang-format off
    QTest::addColumn<bool>("byAccessKey");
    QTest::newRow("click") << false;
    QTest::newRow("access key") << true;
    // clang-format on
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
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "abc");
    if (byAccessKey)
        QTest::keyClick(f.window.get(), Qt::Key_R, Qt::AltModifier);
    else
        QTest::mouseClick(f.button("Refresh"), Qt::LeftButton);
    QTRY_COMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
    QCOMPARE(hashWhenBoxShown, zendry::PasswordDigest("abc"));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
