#include "app/starstyle.h"

#include <QApplication>
#include <QStyleFactory>

namespace zendry {

StarStyle::StarStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) { }

int StarStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                         QStyleHintReturn *returnData) const
{
    if (hint == SH_LineEdit_PasswordCharacter)
        return u'*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

} // namespace zendry
