#include "windowfixture.h"

#include <QApplication>
#include <QTest>

class TestFields : public QObject
{
    Q_OBJECT

private slots:
    void charactersRemaining_data();
    void charactersRemaining();
    void leavingAField_data();
    void leavingAField();
    void enteringABoxSelectsItsText();
};

void TestFields::charactersRemaining_data()
{
    // clang-format off
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("sig");
    QTest::addColumn<QString>("chars");
    QTest::newRow("both empty") << "" << "" << "159";
    QTest::newRow("159 characters") << QString(159, u'x') << "" << "0";
    QTest::newRow("160 characters") << QString(160, u'x') << "" << "-1";
    QTest::newRow("a line break counts one") << "ab\ncd" << "" << "154";
    QTest::newRow("signature") << "a\n\nb" << "sig" << "152";
    // clang-format on
}

// The counter follows every change, the program's own writes included.
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
    // The signature follows the ZDID, typed or set, whatever it held.
    f.edit("ZDID")->setText("ab");
    QCOMPARE(f.edit("Sig")->text(), QString("ab"));
    QCOMPARE(f.edit("Chars")->text(), QString::number(chars.toInt() + sig.size() - 2));
}

void TestFields::leavingAField_data()
{
    // clang-format off
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("number: plus and groups") << "Number" << "+44 7700 900123" << "447700900123";
    QTest::newRow("number: tabs and hyphens stay") << "Number" << "+1\t-2 3+" << "1\t-23";
    QTest::newRow("signature: empty") << "Sig" << "" << " my id ";
    QTest::newRow("signature: spaces") << "Sig" << "   " << " my id ";
    QTest::newRow("signature: a tab is not blank") << "Sig" << "\t" << "\t";
    QTest::newRow("signature: kept as typed") << "Sig" << "  Bob  " << "  Bob  ";
    // clang-format on
}

void TestFields::leavingAField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    WindowFixture f;
    f.showActive();
    f.edit("ZDID")->setText(" my id ");
    QLineEdit *edit = f.edit(qPrintable(field));
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(typed);
    QCOMPARE(edit->text(), typed); // nothing until the box is left
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->text(), after);
}

void TestFields::enteringABoxSelectsItsText()
{
    WindowFixture f;
    f.showActive();
    for (const char *box : { "Number", "Sig", "ZDID", "PW" }) {
        QLineEdit *edit = f.edit(box);
        for (bool byMouse : { false, true }) {
            QWidget *before = edit->previousInFocusChain();
            while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled())
                before = before->previousInFocusChain();
            before->setFocus(Qt::OtherFocusReason);
            edit->setText("4477 text");
            if (byMouse)
                QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), edit);
            QTRY_COMPARE(edit->selectedText(), QString("4477 text"));
        }
    }
}

QTEST_MAIN(TestFields)
#include "tst_fields.moc"
