#include "app/frmmdiquorbelalphabet.h"

using namespace forms;

namespace {

const FormDef &layout()
{
    static const FormDef definition{
        .name = "frmMDIQuorbelAlphabet",
        .caption = "Quorbel Alphabet",
        .kind = WindowKind::MdiFrame,
        .startUpPosition = StartUpPosition::WindowsDefault,
        .clientWidth = 15420,
        .clientHeight = 8145,
        .startMaximized = true,
        .backColor = SystemColors::ApplicationWorkspace,
        .icon = ":/quorbel.ico",
        .accessibleDescription = "Open a lesson from the Learn menu; F10 opens the menus.",
        .menus = {
            {.name = "mnuLearn", .caption = "Learn"},
            {.name = "mnuNumber", .caption = "Number", .parent = "mnuLearn"},
            {.name = "mnuEnglishAlphabet", .caption = "English Alphabet", .parent = "mnuLearn"},
            {.name = "mnuHindiAlphabet",
             .caption = "HindiAlphabet",
             .parent = "mnuLearn",
             .accessibleName = "Hindi Alphabet"},
            {.name = "mnuWindow", .caption = "Window"},
            {.name = "mnuExit", .caption = "Exit", .parent = "mnuWindow"},
        },
    };
    return definition;
}

} // namespace

frmMDIQuorbelAlphabet::frmMDIQuorbelAlphabet()
    : Form(layout())
{
    on("mnuNumber_Click", [this] { mnuNumber_Click(); });
    on("mnuEnglishAlphabet_Click", [this] { mnuEnglishAlphabet_Click(); });
    on("mnuHindiAlphabet_Click", [this] { mnuHindiAlphabet_Click(); });
    on("mnuExit_Click", [this] { mnuExit_Click(); });
}

void frmMDIQuorbelAlphabet::mnuNumber_Click()
{
    instance("frmNumber").Show(vbModal);
}

void frmMDIQuorbelAlphabet::mnuEnglishAlphabet_Click()
{
    instance("frmEnglishAlphabet").Show(vbModal);
}

void frmMDIQuorbelAlphabet::mnuHindiAlphabet_Click()
{
    instance("frmHindiAlphabet").Show(vbModal);
}

void frmMDIQuorbelAlphabet::mnuExit_Click()
{
    End();
}
