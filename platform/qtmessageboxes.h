#pragma once

#include "platform/messageboxes.h"

namespace zendry {

// The desktop's boxes, through QMessageBox.
class QtMessageBoxes : public MessageBoxes
{
public:
    Answer show(QWidget *owner, const QString &title, const QString &text, Buttons buttons,
                Answer defaultAnswer) override;
};

} // namespace zendry
