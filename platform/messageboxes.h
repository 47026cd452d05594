#pragma once

#include <QString>

class QWidget;

namespace zendry {

// Modal message boxes: a title, a plain text, OK or Yes/No, no icon.
class MessageBoxes
{
public:
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes();

    // Shows the box and returns the button pressed. A CR LF in the text is a
    // line break; the text is never read as markup.
    virtual Answer show(QWidget *owner, const QString &title, const QString &text, Buttons buttons,
                        Answer defaultAnswer) = 0;

    Answer ok(QWidget *owner, const QString &title, const QString &text)
    {
        return show(owner, title, text, Buttons::Ok, Answer::Ok);
    }
};

} // namespace zendry
