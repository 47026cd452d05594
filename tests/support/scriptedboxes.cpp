#include "scriptedboxes.h"

ScriptedBoxes::Answer ScriptedBoxes::show(QWidget *, const QString &title, const QString &text,
                                          Buttons buttons, Answer defaultAnswer)
{
    shown.append({title, text, buttons, defaultAnswer});
    if (whileShown)
        whileShown(shown.last());
    if (!nextAnswers.isEmpty())
        return nextAnswers.takeFirst();
    return defaultAnswer;
}
