#include "controls_p.h"

#include "bigtext_p.h"

#include "form.h"
#include "text.h"
#include "units.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace forms {

template<class Base> bool ControlWidget<Base>::event(QEvent *event)
{
    // A control without a tool tip of its own shows none, rather than its container's.
    if (event->type() == QEvent::ToolTip && this->toolTip().isEmpty()) {
        event->accept();
        return true;
    }
    // Where the window has a keyboard menu, the Menu key's own press opens it, not this control's.
    if (event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        if (auto *window = dynamic_cast<FormWindow *>(this->window());
            window && window->onKeyboardMenu) {
            event->accept();
            return true;
        }
    }
    return Base::event(event);
}

template class ControlWidget<QWidget>;
template class ControlWidget<QLabel>;
template class ControlWidget<QLineEdit>;
template class ControlWidget<QPushButton>;

FormWindow::FormWindow(Form *form)
    : m_form(form)
{ }

void FormWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_form->Unload();
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape && cancelButton && cancelButton->isEnabled()) {
        cancelButton->click();
        return;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && defaultButton
        && defaultButton->isEnabled()) {
        defaultButton->click();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (onKeyboardMenu
        && (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier))) {
        event->accept();
        onKeyboardMenu();
        return;
    }
    if (key == Qt::Key_F10 && modifiers == Qt::NoModifier) {
        // As Alt does: the menu bar takes the keys, its first menu open.
        QMenuBar *bar = menuWidget() ? menuBar() : nullptr;
        for (QAction *menu : bar ? bar->actions() : QList<QAction *>()) {
            if (menu->isVisible() && menu->isEnabled()) {
                event->accept();
                bar->setActiveAction(menu);
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(event);
}

void Surface::mousePressEvent(QMouseEvent *event)
{
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        break;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int shift = (modifiers & Qt::ShiftModifier ? 1 : 0)
        | (modifiers & Qt::ControlModifier ? 2 : 0) | (modifiers & Qt::AltModifier ? 4 : 0);
    event->accept();
    if (button && onMouseDown)
        onMouseDown(button, shift, float(pixelsToTwips(event->position().x())),
                    float(pixelsToTwips(event->position().y())));
}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    if (m_pressed)
        event->accept();
    else
        QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    event->accept();
    // Let go elsewhere, the press is taken back.
    if (rect().contains(event->position().toPoint()) && onClick)
        onClick();
}

void FrameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The empty caption band still takes half a line of the frame's font above the border.
    const int top = fontMetrics().height() / 2;
    const QRect box = rect().adjusted(0, top, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));
}

void CaptionLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    setText(displayText(caption));
    if (onCaptionChanged)
        onCaptionChanged(text());
}

void CaptionLabel::paintEvent(QPaintEvent *event)
{
    if (font().pixelSize() <= LargestCachedGlyph) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawBigText(painter, contentsRect(), text(), font(), palette().color(QPalette::WindowText),
                alignment());
}

int KeyTextBox::keyAsciiOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    return keyAsciiOf(char32_t(text.at(0).unicode()));
}

int KeyTextBox::keyAsciiOf(char32_t character)
{
    // Characters beyond the program's character set arrive as "?".
    return character < 256 ? int(character) : int(u'?');
}

void KeyTextBox::keyPressEvent(QKeyEvent *event)
{
    const int ascii = keyAsciiOf(event);
    if (ascii < 0 || !onKeyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    Integer keyAscii = ascii;
    QPointer<KeyTextBox> self(this);
    onKeyPress(keyAscii);
    if (!self)
        return;
    if (keyAscii == 0) {
        event->accept(); // the handler discarded the key
        return;
    }
    if (keyAscii != ascii) {
        event->accept();
        if (keyAscii == 8)
            backspace();
        else if (keyAscii >= 32 && keyAscii < 256)
            insert(QString(QChar(char16_t(int(keyAscii)))));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Text an input method commits (an on-screen keyboard, a compose or dead key) is typed one
// character at a time, each raising KeyPress as its key would; text still being composed raises
// nothing.
void KeyTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty() || !onKeyPress) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QPointer<KeyTextBox> self(this);
    // The text being composed goes, and so do the characters the input method replaces.
    QInputMethodEvent replacing;
    if (event->replacementLength() > 0)
        replacing.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replacing);
    for (const char32_t character : event->commitString().toUcs4()) {
        const int ascii = keyAsciiOf(character);
        Integer keyAscii = ascii;
        onKeyPress(keyAscii);
        if (!self)
            return;
        if (keyAscii == 0)
            continue; // the handler discarded the character
        if (keyAscii != ascii) {
            if (keyAscii == 8)
                backspace();
            else if (keyAscii >= 32 && keyAscii < 256)
                insert(QString(QChar(char16_t(int(keyAscii)))));
            continue;
        }
        if (ascii == 8)
            backspace();
        else if (character >= 32 && character != 127)
            insert(QString::fromUcs4(&character, 1));
    }
    // What is left is the text still being composed, if any.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&rest);
    event->accept();
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    if (!graphical) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    const bool down = isDown();
    // The classic raised bevel; a focused button also wears a black outline.
    if (hasFocus()) {
        painter.setPen(Qt::black);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    const QColor light = Qt::white, midlight = QColor(223, 223, 223),
                 shadow = QColor(128, 128, 128), dark = Qt::black;
    auto bevel = [&painter](const QRect &box, const QColor &topLeft, const QColor &bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    if (down) {
        bevel(r, shadow, shadow);
    } else {
        bevel(r, light, dark);
        bevel(r.adjusted(1, 1, -1, -1), midlight, shadow);
    }
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.setFont(font());
    const QRect textBox = down ? r.translated(1, 1) : r;
    painter.drawText(textBox, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QPen dots(Qt::black, 1, Qt::DotLine);
        painter.setPen(dots);
        painter.drawRect(r.adjusted(3, 3, -4, -4));
    }
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the button that has the focus, as Space does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PictureBox::setPicture(const Picture &picture)
{
    if (picture.isEmpty()) {
        clear();
        return;
    }
    const QPixmap pixmap = QPixmap::fromImage(picture.image());
    setPixmap(pixmap);
    resize(pixmap.deviceIndependentSize().toSize());
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    const QPixmap shown = pixmap();
    if (shown.isNull() || !isEnabled() || devicePixelRatioF() == shown.devicePixelRatioF()) {
        QLabel::paintEvent(event);
        return;
    }
    // On a scaled screen QLabel smooth-scales the whole picture again at every paint; the
    // painter's own filtering draws it at the same size in half the time.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(contentsRect().topLeft(), shown);
}

} // namespace forms
