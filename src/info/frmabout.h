#pragma once

#include "runtime/form.h"

#include <QString>

/// The About window: the program's lines on dark red, a title line typed out by the timer and an
/// OK button that closes it.
class frmabout : public forms::Form
{
public:
    frmabout();

    void Form_Load();
    void Timer1_Timer();
    void cmdok_Click();

private:
    forms::Label Label1 {this, "Label1", 0};

    QString tickerText;
    forms::Integer tickerLength;
    int tickerPos = 0;
};
