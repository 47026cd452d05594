#pragma once

#include <QProxyStyle>

namespace zendry {

// The application's style, but a password box shows a star for each
// character, as on the desktop the program was made for. A style sheet could
// say the same, but a widget with a style sheet no longer takes its font
// from the window.
class StarStyle : public QProxyStyle
{
    Q_OBJECT

public:
    StarStyle();

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};

} // namespace zendry
