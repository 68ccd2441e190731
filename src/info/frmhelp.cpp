#include "info/frmhelp.h"

#include "info/infotexts.h"

using namespace forms;

namespace {

constexpr quint32 White = 0x00FFFFFF;

const FormDef &layout()
{
    static const FormDef definition{
        .name = "frmHelp",
        .caption = "Help Content",
        .borderStyle = BorderStyle::Sizable,
        .maxButton = false,
        .minButton = true,
        .startUpPosition = StartUpPosition::WindowsDefault,
        .clientWidth = 12285,
        .clientHeight = 9135,
        .backColor = White,
        .icon = ":/quorbel.ico",
        .accessibleDescription = "How the English lesson is used.",
        .controls = {
            {.name = "Label2",
             .kind = ControlKind::Label,
             .left = 720,
             .top = 240,
             .width = 11535,
             .height = 735,
             .tabIndex = 1,
             .caption = "Learn Alphabets and Number by Yourself.",
             .font = FontDef{.face = "BankGothic Md BT", .points = 20.25, .weight = 700},
             .foreColor = 0x000000FF,
             .backColor = White,
             .alignment = Alignment::Left,
             .accessibleRole = AccessibleRole::Heading},
            {.name = "Label1",
             .kind = ControlKind::Label,
             .left = 720,
             .top = 1320,
             .width = 10455,
             .height = 735,
             .tabIndex = 0,
             .caption = info::Dedication,
             .font = FontDef{.face = "BankGothic Md BT", .points = 14.25, .weight = 400},
             .foreColor = SystemColors::ButtonText,
             .backColor = White,
             .alignment = Alignment::Left},
            {.name = "Image1",
             .kind = ControlKind::Image,
             .left = 600,
             .top = 2400,
             .width = 10185,
             .height = 6585,
             .picture = ":/help.jpg",
             .accessibleName = "Picture: how to use the English lesson",
             .accessibleDescription
             = "The English Alphabet window showing the letter A, the word APPLE and an apple. "
               "An arrow points at the pink answer box: Either type here. A ring marks the four "
               "coloured buttons at the lower right: or use buttons to learn."},
        },
    };
    return definition;
}

} // namespace

frmHelp::frmHelp()
    : Form(layout())
{
    on("Form_Load", [this] { Form_Load(); });
}

// The stored place is the window system's choice; the window always opens at the same spot.
void frmHelp::Form_Load()
{
    setLeft(1200);
    setTop(600);
}
