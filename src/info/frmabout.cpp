#include "info/frmabout.h"

#include "info/infotexts.h"
#include "runtime/text.h"

using namespace forms;

namespace {

constexpr quint32 DarkRed = 0x00000080;

FontDef sansSerif()
{
    return {.face = "MS Sans Serif", .points = 9.75, .weight = 400};
}

const FormDef &layout()
{
    static const FormDef definition{
        .name = "frmabout",
        .caption = "About",
        .borderStyle = BorderStyle::FixedSingle,
        .maxButton = false,
        .minButton = false,
        .clientWidth = 7875,
        .clientHeight = 4725,
        .backColor = DarkRed,
        .icon = ":/clock.ico",
        .accessibleName = "About Quorbel Alphabet",
        .controls = {
            {.name = "Frame1",
             .kind = ControlKind::Frame,
             .left = 5520,
             .top = 2760,
             .width = 1695,
             .height = 1575,
             .tabIndex = 0,
             .backColor = DarkRed,
             .accessibleName = "Close"},
            {.name = "cmdok",
             .kind = ControlKind::CommandButton,
             .container = "Frame1",
             .left = 480,
             .top = 480,
             .width = 855,
             .height = 735,
             .tabIndex = 1,
             .caption = "&OK",
             .font = FontDef{.face = "MS Serif", .points = 9.75, .weight = 400},
             .backColor = 0x00FF00FF,
             .graphical = true,
             .isCancel = true,
             .toolTip = "Close this Window"},
            {.name = "Timer1", .kind = ControlKind::Timer, .interval = 170, .enabled = true},
            {.name = "Label3",
             .kind = ControlKind::Label,
             .index = 0,
             .left = 1920,
             .top = 600,
             .width = 4095,
             .height = 1335,
             .tabIndex = 6,
             .caption = info::ContactLine,
             .font = FontDef{.face = "Verdana", .points = 9, .weight = 400},
             .foreColor = 0x00C0FFFF,
             .backColor = DarkRed,
             .alignment = Alignment::Center},
            {.name = "Label5",
             .kind = ControlKind::Label,
             .index = 1,
             .left = 240,
             .top = 3360,
             .width = 4215,
             .height = 975,
             .tabIndex = 5,
             .caption = info::RightsNotice,
             .font = sansSerif(),
             .foreColor = 0x00C0FFC0,
             .backColor = DarkRed,
             .alignment = Alignment::Left},
            {.name = "Label4",
             .kind = ControlKind::Label,
             .index = 1,
             .left = 840,
             .top = 2040,
             .width = 6135,
             .height = 375,
             .tabIndex = 4,
             .caption = info::CopyrightLine,
             .font = sansSerif(),
             .foreColor = 0x00FFFF80,
             .backColor = DarkRed,
             .alignment = Alignment::Center},
            {.name = "Label1",
             .kind = ControlKind::Label,
             .index = 0,
             .left = 1080,
             .top = 120,
             .width = 5655,
             .height = 375,
             .tabIndex = 3,
             .caption = "Learn Alphabets and Number by Yourself",
             .font = FontDef{.face = "Monotype Corsiva", .points = 15.75, .weight = 400, .italic = true},
             .foreColor = 0x0000FF00,
             .backColor = DarkRed,
             .alignment = Alignment::Center,
             // A fixed name: the line types itself out every 170 ms and must not chatter.
             .accessibleName = "Learn Alphabets and Number by Yourself",
             .accessibleRole = AccessibleRole::Heading},
            {.name = "Label6",
             .kind = ControlKind::Label,
             .index = 1,
             .left = 240,
             .top = 2640,
             .width = 4815,
             .height = 495,
             .tabIndex = 2,
             .caption = info::Dedication,
             .font = sansSerif(),
             .foreColor = 0x0000FFFF,
             .backColor = DarkRed,
             .alignment = Alignment::Left},
        },
    };
    return definition;
}

} // namespace

frmabout::frmabout()
    : Form(layout())
{
    on("Form_Load", [this] { Form_Load(); });
    on("Timer1_Timer", [this] { Timer1_Timer(); });
    on("cmdok_Click", [this] { cmdok_Click(); });
}

void frmabout::Form_Load()
{
    setLeft(2200);
    setTop(1000);
    tickerPos = 0;
    tickerText = QStringLiteral("Learn Alphabet && Number Yourself");
    tickerLength = forms::Len(tickerText);
}

// Types the title out one more character a tick; the whole text stands for two ticks before the
// line starts over.
void frmabout::Timer1_Timer()
{
    tickerPos = tickerPos + 1;
    Label1.setCaption(forms::Left(tickerText, tickerPos));
    if (tickerPos > tickerLength)
        tickerPos = 0;
}

void frmabout::cmdok_Click()
{
    Unload();
}
