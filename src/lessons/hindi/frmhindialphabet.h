#pragma once

#include "runtime/form.h"

/// The Hindi alphabet window: a caption and an icon, nothing in it yet.
class frmHindiAlphabet : public forms::Form
{
public:
    frmHindiAlphabet();
};
