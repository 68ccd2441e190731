#include "app/windowclasses.h"

#include "app/frmmdiquorbelalphabet.h"
#include "info/frmabout.h"
#include "info/frmhelp.h"
#include "lessons/english/frmenglishalphabet.h"
#include "lessons/hindi/frmhindialphabet.h"
#include "lessons/number/frmnumber.h"

namespace QuorbelAlphabet {

namespace {

template<class Window> std::unique_ptr<forms::Form> create()
{
    return std::make_unique<Window>();
}

} // namespace

const forms::ProjectDescription &project()
{
    static const forms::ProjectDescription description{
        .name = "QuorbelAlphabet",
        .startupObject = "frmMDIQuorbelAlphabet",
        .soundFolder = "sounds",
        .dataFolder = "quorbel-alphabet",
        .displayName = "Quorbel Alphabet",
        .iconName = "org.quorbel.Alphabet",
        .windowClasses = {
            {"frmEnglishAlphabet", create<frmEnglishAlphabet>},
            {"frmabout", create<frmabout>},
            {"frmMDIQuorbelAlphabet", create<frmMDIQuorbelAlphabet>},
            {"frmNumber", create<frmNumber>},
            {"frmHindiAlphabet", create<frmHindiAlphabet>},
            {"frmHelp", create<frmHelp>},
        },
    };
    return description;
}

} // namespace QuorbelAlphabet
