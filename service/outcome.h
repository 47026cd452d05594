#pragma once

#include <QString>

namespace zendry {

// The window's fields that an outcome can send the user to.
enum class Field { None, Zdid, Password, Number, Message, Send };

// What the user sees when Send or Refresh is refused or an exchange ends, in
// the order the window applies it: the credit boxes, the box (and, for Yes,
// the purchase page), the focus, then the selection in the focused field.
struct Outcome
{
    enum class Select {
        Nothing,
        All, // the whole text, ready to be typed over
        Range, // `start` and `length`
        End, // the caret after the last character
    };

    bool setsCredits = false;
    // Whole numbers in decimal, as the credit boxes show them; a balance may
    // run past any integer type.
    QString freeCredits;
    QString purchasedCredits;
    QString title; // empty: no box
    QString text;
    bool yesNo = false; // Yes and No, and Yes opens the purchase page
    Field focus = Field::None;
    // Let pending window events run between the focus and the selection, so
    // that the focus change has taken effect.
    bool settle = false;
    Select select = Select::Nothing;
    int start = 0;
    int length = 0;
};

} // namespace zendry
