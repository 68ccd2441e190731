#include "lessons/english/frmenglishalphabet.h"

#include "lessons/english/lettercards.h"
#include "lessons/lessonlook.h"
#include "lessons/spokencards.h"
#include "runtime/forms.h"

using namespace forms;
using namespace lessons;

namespace {

ControlDef moveButton(const char *name, const char *caption, int left, int tabIndex, quint32 face,
                      const char *accessibleName)
{
    return {.name = name,
            .kind = ControlKind::CommandButton,
            .container = "Frame1",
            .left = left,
            .top = 8160,
            .width = 495,
            .height = 375,
            .tabIndex = tabIndex,
            .caption = caption,
            .font = FontDef {.face = "Verdana", .points = 8.25, .weight = 700},
            .backColor = face,
            .graphical = true,
            .accessibleName = accessibleName};
}

const FormDef &layout()
{
    static const FormDef definition{
        .name = "frmEnglishAlphabet",
        .caption = "English Alphabet",
        .borderStyle = BorderStyle::FixedSingle,
        .maxButton = false,
        .clientLeft = 975,
        .clientTop = 1350,
        .clientWidth = 16755,
        .clientHeight = 9030,
        .backColor = DarkRed,
        .mousePointer = MousePointer::Custom,
        .mouseIcon = ":/click.cur",
        .icon = WindowIcon,
        .accessibleDescription = "Type a letter to see its card, or step through the cards with "
                                 "the four buttons. The Menu key opens Help and About.",
        .keyboardMenu = "mnuContents",
        .menus = {
            {.name = "mnuContents", .caption = "Contents", .visible = false,
             .accessibleName = "Help and About"},
            {.name = "mnuHelp", .caption = "&Help", .parent = "mnuContents"},
            {.name = "mnua", .caption = "-", .parent = "mnuContents"},
            {.name = "mnuAbout", .caption = "&About", .parent = "mnuContents"},
        },
        .controls = {
            lessonFrame(360, 0, 15495, 8655, 1, "Letter card",
                        "Right-click outside the border, or press the Menu key, for Help and About."),
            moveButton("cmdMoveNext", ">", 14280, 7, Yellow, "Next card"),
            moveButton("cmdMovePrevious", "<", 13680, 6, Blue, "Previous card"),
            moveButton("cmdMoveLast", ">>|", 14880, 5, Green, "Last card"),
            moveButton("cmdMoveFirst", "|<<", 13080, 4, Red, "First card"),
            answerBox("A", 120, 7320, 0, "Type a letter"),
            {.name = "Image1",
             .kind = ControlKind::Image,
             .container = "Frame1",
             .left = 5160,
             .top = 2640,
             .width = 5370,
             .height = 5355,
             .picture = ":/apple.jpg",
             .accessibleName = "Picture: %1",
             .accessibleNameFrom = "lblNum2"},
            cardLabel("lblNum2", "APPLE", 120, 360, 15135, 2415, 3, 99.75, Green),
            cardLabel("lblNum1", "A", 240, 2880, 3255, 3495, 2, 150, Magenta),
        },
    };
    return definition;
}

} // namespace

frmEnglishAlphabet::frmEnglishAlphabet()
    : Form(layout())
{
    on("Form_Load", [this] { Form_Load(); });
    on("cmdMoveFirst_Click", [this] { cmdMoveFirst_Click(); });
    on("cmdMovePrevious_Click", [this] { cmdMovePrevious_Click(); });
    on("cmdMoveNext_Click", [this] { cmdMoveNext_Click(); });
    on("cmdMoveLast_Click", [this] { cmdMoveLast_Click(); });
    on("txtAnswer_KeyPress", [this](Integer &KeyAscii) { txtAnswer_KeyPress(KeyAscii); });
    on("Image1_Click", [this] { sayShownCard(); });
    on("lblNum1_Click", [this] { sayShownCard(); });
    on("lblNum2_Click", [this] { sayShownCard(); });
    on("Form_MouseDown", [this](Integer Button, Integer Shift, float X, float Y) {
        Form_MouseDown(Button, Shift, X, Y);
    });
    on("mnuHelp_Click", [this] { mnuHelp_Click(); });
    on("mnuAbout_Click", [this] { mnuAbout_Click(); });
}

void frmEnglishAlphabet::Form_Load()
{
    setTop(10);
    setLeft(10);
    txtAnswer.setText(QString());
    LetterCode = 65;
    // The layout already shows the card of A: say it as the lesson opens.
    speak(spokenLetter(firstLetterCard().letter));
}

void frmEnglishAlphabet::UsingButton()
{
    if (const LetterCard *card = letterCardByCode(LetterCode)) {
        lblNum1.setCaption(card->letter);
        lblNum2.setCaption(card->word);
        PicturePath = letterPicturePath(App::Path(), *card);
        speak(spokenLetter(card->letter));
    }
    txtAnswer.setText(lblNum1.caption());
    loadCardPicture();
}

void frmEnglishAlphabet::cmdMoveFirst_Click()
{
    showEndCard(firstLetterCard());
}

void frmEnglishAlphabet::cmdMovePrevious_Click()
{
    if (LetterCode != 65)
        LetterCode = LetterCode - 1;
    UsingButton();
}

void frmEnglishAlphabet::cmdMoveNext_Click()
{
    if (LetterCode != 90)
        LetterCode = LetterCode + 1;
    UsingButton();
}

void frmEnglishAlphabet::cmdMoveLast_Click()
{
    showEndCard(lastLetterCard());
}

void frmEnglishAlphabet::txtAnswer_KeyPress(Integer &KeyAscii)
{
    // Space and Enter only say the card again: nothing goes into the box.
    if (KeyAscii == 32 || KeyAscii == 13) {
        KeyAscii = 0;
        sayShownCard();
        return;
    }
    // Typing only picks the card to look at; LetterCode stays where the buttons left it.
    if (const LetterCard *card = letterCardByKey(KeyAscii)) {
        lblNum1.setCaption(card->letter);
        lblNum2.setCaption(card->word);
        PicturePath = letterPicturePath(App::Path(), *card);
        speak(spokenLetter(card->letter));
    }
    loadCardPicture();
}

// The card on the screen, which a typed letter may have brought up away from LetterCode.
void frmEnglishAlphabet::sayShownCard()
{
    speak(spokenLetter(lblNum1.caption().toLatin1().constData()));
}

void frmEnglishAlphabet::Form_MouseDown(Integer Button, Integer, float, float)
{
    if (Button == 2)
        PopupMenu("mnuContents");
}

void frmEnglishAlphabet::mnuHelp_Click()
{
    instance("frmHelp").Show(vbModal);
}

void frmEnglishAlphabet::mnuAbout_Click()
{
    instance("frmabout").Show(vbModal);
}

void frmEnglishAlphabet::showEndCard(const LetterCard &card)
{
    LetterCode = card.code;
    txtAnswer.setText(card.letter);
    lblNum1.setCaption(card.letter);
    lblNum2.setCaption(card.word);
    PicturePath = letterPicturePath(App::Path(), card);
    speak(spokenLetter(card.letter));
    loadCardPicture();
}

// A missing or broken picture must not end the child's lesson: the card shows without it.
void frmEnglishAlphabet::loadCardPicture()
{
    try {
        Image1.setPicture(LoadPicture(letterPictureFile(PicturePath)));
    } catch (const RuntimeError &error) {
        Image1.setPicture({});
        reportError(error);
    }
}
