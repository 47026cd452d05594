#include "windowfixture.h"

#include <QApplication>
#include <QTest>

class TestFields : public QObject
{
    Q_OBJECT

private slots:
    void charactersRemaining_data();
    void charactersRemaining();
    void theSignatureFollowsTheZdid();
    void aBlankSignatureIsRefilled_data();
    void aBlankSignatureIsRefilled();
    void theNumberIsTidiedWhenLeft_data();
    void theNumberIsTidiedWhenLeft();
    void enteringABoxSelectsItsText_data();
    void enteringABoxSelectsItsText();
};

void TestFields::charactersRemaining_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("sig");
    QTest::addColumn<QString>("chars");
    QTest::newRow("both empty") << ""
                                << ""
                                << "159";
    QTest::newRow("159 characters") << QString(159, u'x') << ""
                                    << "0";
    QTest::newRow("160 characters") << QString(160, u'x') << ""
                                    << "-1";
    QTest::newRow("a line break counts one") << "ab\ncd"
                                             << ""
                                             << "154";
    QTest::newRow("two line breaks") << "a\n\nb"
                                     << "s"
                                     << "154";
    QTest::newRow("signature") << ""
                               << "ab"
                               << "157";
    QTest::newRow("far too long") << QString(400, u'x') << "sig"
                                  << "-244";
}

void TestFields::charactersRemaining()
{
    QFETCH(QString, message);
    QFETCH(QString, sig);
    QFETCH(QString, chars);
    WindowFixture f;
    QCOMPARE(f.edit("Chars")->text(), QString("160"));
    f.control<QPlainTextEdit>("Message")->setPlainText(message + "x");
    f.control<QPlainTextEdit>("Message")->setPlainText(message);
    f.edit("Sig")->setText(sig);
    QCOMPARE(f.edit("Chars")->text(), chars);
}

void TestFields::theSignatureFollowsTheZdid()
{
    WindowFixture f;
    f.showActive();
    f.edit("Sig")->setText("typed signature");
    f.edit("ZDID")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("ZDID"), "ab");
    QCOMPARE(f.edit("Sig")->text(), QString("ab"));
    QCOMPARE(f.edit("Chars")->text(), QString("157"));
    QTest::keyClick(f.edit("ZDID"), Qt::Key_Backspace);
    QCOMPARE(f.edit("Sig")->text(), QString("a"));
}

void TestFields::aBlankSignatureIsRefilled_data()
{
    QTest::addColumn<QString>("sig");
    QTest::addColumn<QString>("after");
    QTest::newRow("empty") << ""
                           << " my id ";
    QTest::newRow("spaces") << "   "
                            << " my id ";
    QTest::newRow("a tab is not blank") << "\t"
                                        << "\t";
    QTest::newRow("kept as typed") << "  Bob  "
                                   << "  Bob  ";
}

void TestFields::aBlankSignatureIsRefilled()
{
    QFETCH(QString, sig);
    QFETCH(QString, after);
    WindowFixture f;
    f.showActive();
    f.edit("ZDID")->setText(" my id ");
    f.edit("Sig")->setFocus(Qt::TabFocusReason);
    f.edit("Sig")->setText(sig);
    QTest::keyClick(f.edit("Sig"), Qt::Key_Tab);
    QCOMPARE(f.edit("Sig")->text(), after);
}

void TestFields::theNumberIsTidiedWhenLeft_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("plus and groups") << "+44 7700 900123"
                                     << "447700900123";
    QTest::newRow("plus signs anywhere") << "1+2++3"
                                         << "123";
    QTest::newRow("tabs and hyphens stay") << "+1\t-2 3"
                                           << "1\t-23";
    QTest::newRow("a ZDID") << "some user"
                            << "someuser";
}

void TestFields::theNumberIsTidiedWhenLeft()
{
    QFETCH(QString, typed);
    QFETCH(QString, after);
    WindowFixture f;
    f.showActive();
    QLineEdit *number = f.edit("Number");
    number->setFocus(Qt::TabFocusReason);
    number->setText(typed);
    QCOMPARE(number->text(), typed); // nothing until the box is left
    QTest::keyClick(number, Qt::Key_Tab);
    QCOMPARE(number->text(), after);
}

void TestFields::enteringABoxSelectsItsText_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("byMouse");
    for (const char *box : { "Number", "Sig", "ZDID", "PW" }) {
        QTest::newRow(qPrintable(QString("%1 by Tab").arg(box))) << box << false;
        QTest::newRow(qPrintable(QString("%1 by click").arg(box))) << box << true;
    }
}

void TestFields::enteringABoxSelectsItsText()
{
    QFETCH(QString, box);
    QFETCH(bool, byMouse);
    WindowFixture f;
    f.showActive();
    QLineEdit *edit = f.window->findChild<QLineEdit *>(box);
    edit->setText("4477 text");
    // Come from the control before it in the tab order.
    QWidget *before = edit->previousInFocusChain();
    while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled())
        before = before->previousInFocusChain();
    before->setFocus(Qt::OtherFocusReason);
    if (byMouse)
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), edit);
    QTRY_COMPARE(edit->selectedText(), QString("4477 text"));
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
