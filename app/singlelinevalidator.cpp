#include "app/singlelinevalidator.h"

#include "app/fieldrules.h"

namespace zendry {

QValidator::State SingleLineValidator::validate(QString &input, int &pos) const
{
    input = FieldRules::singleLine(input, &pos);
    return Acceptable;
}

} // namespace zendry
