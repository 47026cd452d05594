#include "windowfixture.h"

#include <QApplication>
#include <QFile>
#include <QTcpSocket>
#include <QTest>

// The folder holds what the program ships beside itself.
WindowFixture::WindowFixture(quint16 port, int timeoutMs, bool startNow) : port(port), timeoutMs(timeoutMs)
{
    QFile::copy(ZENDRY_SOURCE_DIR "/banner/Vorral.gif", folder.filePath("Vorral.gif"));
    if (startNow)
        start();
}

void WindowFixture::start(zendry::Termination *termination)
{
    zendry::MainSetup setup{ realBoxes ? &desktopBoxes : static_cast<zendry::MessageBoxes *>(&boxes),
                             &desktop, folder.path() };
    setup.endpoints = { serviceHost, adHost, "www.test.example", port, "http://www.test.example/" };
    setup.resolver = resolver;
    setup.exchangeTimeoutMs = timeoutMs;
    setup.adTickMs = 0; // tests tick AdTimer themselves
    setup.termination = termination;
    window = std::make_unique<zendry::Main>(setup);
}

void WindowFixture::showActive()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void WindowFixture::put(const QString &name, const QByteArray &bytes) const
{
    QFile f(folder.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray WindowFixture::bytes(const QString &name) const
{
    QFile f(folder.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WindowFixture::fill(const QString &zdid, const QString &pw, const QString &number, const QString &text)
{
    edit("ZDID")->setText(zdid);
    edit("PW")->setText(pw);
    edit("Number")->setText(number);
    control<QPlainTextEdit>("Message")->setPlainText(text);
}

bool WindowFixture::idle() const
{
    return window->isEnabled() && !window->exchangeInProgress() && !QApplication::overrideCursor()
            && window->serviceSocket()->state() == QAbstractSocket::UnconnectedState;
}

QString WindowFixture::focused() const
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

QString selection()
{
    if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        return QString("%1+%2")
                .arg(edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition())
                .arg(edit->selectedText().size());
    const QTextCursor c = static_cast<QPlainTextEdit *>(QApplication::focusWidget())->textCursor();
    return QString("%1+%2").arg(c.selectionStart()).arg(c.selectedText().size());
}
