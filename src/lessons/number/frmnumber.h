#pragma once

#include "runtime/forms.h"

/// The Number lesson: a digit typed into the answer box shows that digit's numeral and word.
class frmNumber : public forms::Form
{
public:
    frmNumber();

    void Form_Load();
    /// Digits show their card; Space and Enter say the card shown again.
    void txtAnswer_KeyPress(forms::Integer &KeyAscii);
    /// A click on the numeral or the word says the card again.
    void sayShownCard();
    void Form_MouseDown(forms::Integer Button, forms::Integer Shift, float X, float Y);

private:
    forms::Label lblNum1 {this, "lblNum1"};
    forms::Label lblNum2 {this, "lblNum2"};
    forms::TextBox txtAnswer {this, "txtAnswer"};
};
