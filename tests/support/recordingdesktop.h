#pragma once

#include "platform/desktop.h"

#include <QStringList>

// Records what the window hands to the desktop: "verb target".
class RecordingDesktop : public zendry::Desktop
{
public:
    void open(QWidget *, const QString &verb, const QString &what) override { opened << verb + ' ' + what; }
    QStringList opened;
};
