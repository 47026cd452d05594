#pragma once

#include "platform/messageboxes.h"

#include <QList>
#include <functional>

// Records every box and answers as told: the next queued answer, else the
// box's default button. A hook may run while the box is "up".
class ScriptedBoxes : public zendry::MessageBoxes
{
public:
    struct Box
    {
        QString title;
        QString text;
        Buttons buttons;
        Answer defaultAnswer;
        bool ownerVisible; // whether the window was on screen when asked
    };

    Answer show(QWidget *owner, const QString &title, const QString &text, Buttons buttons,
                Answer defaultAnswer) override;

    QList<Box> shown;
    QList<Answer> nextAnswers;
    std::function<void(const Box &)> whileShown;
};
