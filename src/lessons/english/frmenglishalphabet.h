#pragma once

#include "runtime/form.h"

#include <QString>

namespace lessons {
struct LetterCard;
}

/// The English alphabet lesson: one letter card at a time, chosen with the four move buttons or
/// by typing a letter into the answer box; a right click on the margin opens Help and About.
class frmEnglishAlphabet : public forms::Form
{
public:
    frmEnglishAlphabet();

    void Form_Load();
    /// Shows the card of LetterCode and puts its letter into the answer box.
    void UsingButton();
    void cmdMoveFirst_Click();
    void cmdMovePrevious_Click();
    void cmdMoveNext_Click();
    void cmdMoveLast_Click();
    /// Letters show their card; Space and Enter say the card shown again.
    void txtAnswer_KeyPress(forms::Integer &KeyAscii);
    /// A click on the picture, the letter or the word says the card again.
    void sayShownCard();
    void Form_MouseDown(forms::Integer Button, forms::Integer Shift, float X, float Y);
    void mnuHelp_Click();
    void mnuAbout_Click();

    /// The code of the card the move buttons last chose.
    forms::Integer letterCode() const { return LetterCode; }
    /// The picture path of the card shown last; empty until a card has been shown.
    QString picturePath() const { return PicturePath; }

private:
    void showEndCard(const lessons::LetterCard &card);
    void loadCardPicture();

    forms::Integer LetterCode;
    QString PicturePath;

    forms::Label lblNum1 {this, "lblNum1"};
    forms::Label lblNum2 {this, "lblNum2"};
    forms::Image Image1 {this, "Image1"};
    forms::TextBox txtAnswer {this, "txtAnswer"};
};
