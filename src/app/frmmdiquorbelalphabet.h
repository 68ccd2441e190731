#pragma once

#include "runtime/form.h"

/// The main frame: its Learn menu opens each lesson modally; Exit ends the program.
class frmMDIQuorbelAlphabet : public forms::Form
{
public:
    frmMDIQuorbelAlphabet();

    void mnuNumber_Click();
    void mnuEnglishAlphabet_Click();
    void mnuHindiAlphabet_Click();
    void mnuExit_Click();
};
