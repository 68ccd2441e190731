#include "lessons/hindi/frmhindialphabet.h"

using namespace forms;

namespace {

const FormDef &layout()
{
    static const FormDef definition {
        .name = "frmHindiAlphabet",
        .caption = "Hindi Alpphabet",
        .clientLeft = 120,
        .clientTop = 450,
        .clientWidth = 12690,
        .clientHeight = 6555,
        .icon = ":/quorbel.ico",
        .accessibleName = "Hindi Alphabet",
        .accessibleDescription = "This window is empty.",
    };
    return definition;
}

} // namespace

frmHindiAlphabet::frmHindiAlphabet()
    : Form(layout())
{ }
