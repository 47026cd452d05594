#pragma once

#include <QValidator>

namespace zendry {

// Keeps a single-line box to one line, whatever is typed, pasted, dropped or
// set into it.
class SingleLineValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace zendry
