#pragma once

#include "platform/messageboxes.h"

#include <QList>
#include <QWidget>

// Records every box and answers as told: a Yes/No box with the next queued
// answer, else with its default button; an OK box with OK.
class ScriptedBoxes : public zendry::MessageBoxes
{
public:
    struct Box
    {
        QString title;
        QString text;
        bool ownerVisible; // whether the window was on screen when asked
    };

    Answer show(QWidget *owner, const QString &title, const QString &text, Buttons buttons,
                Answer defaultAnswer) override
    {
        shown.append({ title, text, owner && owner->isVisible() });
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return nextAnswers.isEmpty() ? defaultAnswer : nextAnswers.takeFirst();
    }

    QList<Box> shown;
    QList<Answer> nextAnswers;
};
