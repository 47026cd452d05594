#include "app/fontfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace zendry {

namespace {

bool fits(const QWidget &w, const QFontMetrics &fm, int indicator)
{
    const QRect r = w.geometry();
    if (auto *label = qobject_cast<const QLabel *>(&w)) {
        const QString text = label->text().remove(u'&');
        if (label->wordWrap()) {
            const QRect need = fm.boundingRect(QRect(0, 0, r.width(), 1000), Qt::TextWordWrap, text);
            return need.width() <= r.width() && need.height() <= r.height();
        }
        return text.isEmpty() || (fm.horizontalAdvance(text) <= r.width() && fm.height() <= r.height());
    }
    if (auto *check = qobject_cast<const QCheckBox *>(&w))
        return indicator + fm.horizontalAdvance(check->text().remove(u'&')) <= r.width()
                && fm.height() <= r.height() + 2;
    if (auto *button = qobject_cast<const QPushButton *>(&w))
        return fm.horizontalAdvance(button->text().remove(u'&')) + 8 <= r.width();
    if (qobject_cast<const QLineEdit *>(&w) || qobject_cast<const QComboBox *>(&w))
        return fm.height() + 6 <= r.height();
    return true;
}

} // namespace

QFont fittedFont(const QWidget &form)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QStyle *st = form.style();
    const int indicator =
            st->pixelMetric(QStyle::PM_IndicatorWidth) + st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    const QList<QWidget *> controls = form.findChildren<QWidget *>();
    // Start at the size the widest one-line caption allows, scaled from the
    // largest, so that few sizes are tried: each one loads a font engine.
    int pixels = largestFontPixels;
    font.setPixelSize(pixels);
    const QFontMetrics reference(font);
    for (const QLabel *label : form.findChildren<QLabel *>()) {
        const int needed = reference.horizontalAdvance(label->text().remove(u'&'));
        if (!label->wordWrap() && needed > label->width())
            pixels = std::min(pixels, largestFontPixels * label->width() / needed);
    }
    for (; pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics fm(font);
        if (std::all_of(controls.begin(), controls.end(),
                        [&](const QWidget *w) { return fits(*w, fm, indicator); }))
            break;
    }
    return font;
}

} // namespace zendry
