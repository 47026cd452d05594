#pragma once

#include "platform/desktop.h"

#include <QList>
#include <QPair>

class RecordingDesktop : public zendry::Desktop
{
public:
    void open(QWidget *, const QString &verb, const QString &target) override
    {
        opened.append({ verb, target });
    }
    QList<QPair<QString, QString>> opened; // verb, target
};
