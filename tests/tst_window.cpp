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
    void everyControlIsNamedAndItsCaptionFits();
    void tabOrderAndAccessKeys();
    void whatTheBoxesTake();
    void passwordStates();
    void losingActivationIsNotLeavingTheField();
    void aButtonTakesTheFocusBeforeItsClick_data();
    void aButtonTakesTheFocusBeforeItsClick();
};

// Every caption fits its rectangle in the font the window chose, and a
// screen reader can name every control.
void TestWindow::everyControlIsNamedAndItsCaptionFits()
{
    WindowFixture f;
    const QList<QWidget *> controls =
            f.window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 28);
    const QFontMetrics fm(f.window->font());
    for (const QWidget *w : controls) {
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        const auto *b = qobject_cast<const QAbstractButton *>(w);
        const auto *l = qobject_cast<const QLabel *>(w);
        const QString text = (b ? b->text() : l ? l->text() : QString()).remove(u'&');
        const QRect need = fm.boundingRect(w->rect(), l && l->wordWrap() ? Qt::TextWordWrap : 0, text);
        QVERIFY2(need.width() <= w->width() && need.height() <= w->height(), qPrintable(w->objectName()));
    }
    QCOMPARE(f.window->windowTitle(), QString("Zendry SMS"));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QCOMPARE(f.control("Banner")->size(), QSize(468, 60));
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

void TestWindow::whatTheBoxesTake()
{
    WindowFixture f;
    QStyleOptionFrame option;
    option.initFrom(f.edit("PW"));
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
