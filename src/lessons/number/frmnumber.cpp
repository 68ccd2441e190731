#include "lessons/number/frmnumber.h"

#include "lessons/lessonlook.h"
#include "lessons/spokencards.h"

using namespace forms;

namespace {

const FormDef &layout()
{
    // The card of 1 is already in place before any handler runs.
    static const FormDef definition{
        .name = "frmNumber",
        .caption = "Number",
        .borderStyle = BorderStyle::Sizable,
        .maxButton = false,
        .clientLeft = 3450,
        .clientTop = 1875,
        .clientWidth = 14340,
        .clientHeight = 9465,
        .backColor = lessons::DarkRed,
        .icon = lessons::WindowIcon,
        .accessibleDescription = "Type a digit to see its number; 0 shows ten.",
        .controls = {
            lessons::lessonFrame(1080, 240, 12495, 8535, 0, "Number card",
                                 "Type a digit to see its number."),
            lessons::answerBox("1", 120, 7200, 1, "Type a digit"),
            lessons::cardLabel("lblNum1", "1", 240, 360, 3855, 3975, 3, 200.25, lessons::Green),
            lessons::cardLabel("lblNum2", "ONE", 3480, 3840, 8895, 3375, 2, 125.25, lessons::Green),
        },
    };
    return definition;
}

struct NumberCard
{
    int keyAscii;
    const char *numeral;
    const char *word;
};

// In the order the keys are tried: 1 to 9, then 0, which stands for 10.
constexpr NumberCard numberCards[] = {
    {'1', "1", "ONE"},  {'2', "2", "TWO"},  {'3', "3", "THREE"}, {'4', "4", "FOUR"},
    {'5', "5", "FIVE"}, {'6', "6", "SIX"},  {'7', "7", "SEVEN"}, {'8', "8", "EIGHT"},
    {'9', "9", "NINE"}, {'0', "10", "TEN"},
};

} // namespace

frmNumber::frmNumber()
    : Form(layout())
{
    on("Form_Load", [this] { Form_Load(); });
    on("txtAnswer_KeyPress", [this](Integer &KeyAscii) { txtAnswer_KeyPress(KeyAscii); });
    on("lblNum1_Click", [this] { sayShownCard(); });
    on("lblNum2_Click", [this] { sayShownCard(); });
    on("Form_MouseDown", [this](Integer Button, Integer Shift, float X, float Y) {
        Form_MouseDown(Button, Shift, X, Y);
    });
}

void frmNumber::Form_Load()
{
    setTop(800);
    setLeft(1200);
    txtAnswer.setText(QString());
    // The layout already shows the card of 1: say it as the lesson opens.
    lessons::speak(lessons::spokenNumber("1"));
}

void frmNumber::txtAnswer_KeyPress(Integer &KeyAscii)
{
    // Space and Enter only say the card again: the box keeps what it holds.
    if (KeyAscii == 32 || KeyAscii == 13) {
        KeyAscii = 0;
        sayShownCard();
        return;
    }
    for (const NumberCard &card : numberCards) {
        if (KeyAscii == card.keyAscii) {
            lblNum1.setCaption(QString::fromLatin1(card.numeral));
            lblNum2.setCaption(QString::fromLatin1(card.word));
            lessons::speak(lessons::spokenNumber(card.numeral));
            break;
        }
    }
    // Emptied before the text box takes the key, so the box ends up holding just that key.
    txtAnswer.setText(QString());
}

void frmNumber::sayShownCard()
{
    lessons::speak(lessons::spokenNumber(lblNum1.caption().toLatin1().constData()));
}

// The window has no pop-up menu: a click on its surface does nothing.
void frmNumber::Form_MouseDown(Integer, Integer, float, float) { }
