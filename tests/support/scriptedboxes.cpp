#include <QWidget>
#include "scriptedboxes.h"

ScriptedBoxes::Answer ScriptedBoxes::show(QWidget *owner, const QString &title, const QString &text,
                                          Buttons buttons, Answer defaultAnswer)
{
    shown.append({ title, text, buttons, defaultAnswer, owner && owner->isVisible() });
    if (whileShown)
        whileShown(shown.last());
    if (!nextAnswers.isEmpty())
        return nextAnswers.takeFirst();
    return defaultAnswer;
}
