#include "platform/qtmessageboxes.h"

#include "platform/fittingtext.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <limits>

namespace zendry {

namespace {

// What a box needs beside its text, with room to spare: the title bar and
// frame, the margins and the row of buttons; and across, the margins.
constexpr int boxChromeHeight = 200;
constexpr int boxChromeWidth = 60;

// The box grows with its text; the desktop's own boxes never grow past the
// screen but show what fits, and "…" where the rest is cut off. The box wraps
// its text at about half the screen's width (500 pixels at most, margins
// included), by words or, for a word longer than a line, anywhere; whichever
// gives the taller text decides.
QString fitToScreen(const QMessageBox &box, const QString &text)
{
    const QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return text;
    const QRect area = screen->availableGeometry();
    const QRect room(0, 0, qMin(area.width() / 2, 500) - boxChromeWidth, std::numeric_limits<int>::max() / 2);
    const int height = area.height() - boxChromeHeight;
    const QFontMetrics metrics(box.font());
    const QString fitting = fittingText(text, [&](const QString &start) {
        for (int wrap : { Qt::TextWordWrap, Qt::TextWrapAnywhere }) {
            if (metrics.boundingRect(room, wrap, start).height() > height)
                return false;
        }
        return true;
    });
    return brokenLongWords(fitting, [&](QStringView word) {
        return metrics.horizontalAdvance(word.toString()) <= room.width();
    });
}

// A box is as wide as its text asks, and a short text leaves no room for the
// title beside the title bar's buttons; Qt widens it for the title on Windows
// alone, and too little for the buttons there.
void makeRoomForTitle(QMessageBox &box, const QString &title)
{
    constexpr int titleBarButtons = 150;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int width = QFontMetrics(box.font()).horizontalAdvance(title) + titleBarButtons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

MessageBoxes::Answer QtMessageBoxes::show(QWidget *owner, const QString &title, const QString &text,
                                          Buttons buttons, Answer defaultAnswer)
{
    QMessageBox box(owner);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title);
    makeRoomForTitle(box, title);
    box.setTextFormat(Qt::PlainText);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    box.setText(fitToScreen(box, shown));
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace zendry
