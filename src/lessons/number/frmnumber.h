#pragma once

#include "runtime/forms.h"

/// The Number lesson: a digit typed into the answer box shows that digit's numeral and word.
class frmNumber : public forms::Form
{
public:
    frmNumber();

    void Form_Load();
    void txtAnswer_KeyPress(forms::Integer &KeyAscii);
    void Form_MouseDown(forms::Integer Button, forms::Integer Shift, float X, float Y);

private:
    forms::Label lblNum1 {this, "lblNum1"};
    forms::Label lblNum2 {this, "lblNum2"};
    forms::TextBox txtAnswer {this, "txtAnswer"};
};
