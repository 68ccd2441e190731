#pragma once

#include "runtime/form.h"

/// The Help window: the program's title, the dedication and a picture of the English lesson
/// with notes on how to use it.
class frmHelp : public forms::Form
{
public:
    frmHelp();

    void Form_Load();
};
