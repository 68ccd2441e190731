#pragma once

// The Qt widgets the runtime builds windows from. Windows never see these.

#include "integer.h"
#include "picture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include <functional>

namespace forms {

class Form;

/// Stops the events that controls take for themselves from reaching the surface behind them:
/// a tool tip shows only over the control that has one.
template<class Base> class ControlWidget : public Base
{
public:
    using Base::Base;

protected:
    bool event(QEvent *event) override;
};

/// The window itself: a close box unloads it; Escape and Enter press its cancel and default
/// buttons; F10 opens its first menu; the Menu key and Shift+F10 pop up its keyboard menu.
class FormWindow : public QMainWindow
{
public:
    explicit FormWindow(Form *form);

    QPushButton *defaultButton = nullptr;
    QPushButton *cancelButton = nullptr;
    std::function<void()> onKeyboardMenu; // empty: the window has no keyboard menu

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Form *m_form;
};

/// The client area: its own surface raises MouseDown, with X and Y in twips.
class Surface : public QWidget
{
public:
    using QWidget::QWidget;
    std::function<void(Integer button, Integer shift, float x, float y)> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

/// A frame: a thin etched line along its edges, the top one half a caption line down.
class FrameBox : public ControlWidget<QWidget>
{
public:
    using ControlWidget::ControlWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

/// A label or a picture: a left button pressed and let go over it raises Click. It never takes
/// the focus, so a click leaves the keys with the control that had them.
class ClickableLabel : public ControlWidget<QLabel>
{
public:
    using ControlWidget::ControlWidget;
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

/// A label: its caption with access-key marks resolved, wrapped at words.
class CaptionLabel : public ClickableLabel
{
public:
    using ClickableLabel::ClickableLabel;
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    bool heading = false; // read as a heading
    std::function<void(const QString &shown)> onCaptionChanged; // fills names made from it

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

/// A text box that raises KeyPress before it takes a key.
class KeyTextBox : public ControlWidget<QLineEdit>
{
public:
    using ControlWidget::ControlWidget;
    std::function<void(Integer &keyAscii)> onKeyPress;

    /// The KeyAscii a key press raises, or -1 when it raises none (arrows, Tab, bare modifiers).
    static int keyAsciiOf(const QKeyEvent *event);
    /// The KeyAscii a typed character raises: beyond the program's character set, "?".
    static int keyAsciiOf(char32_t character);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};

/// A command button; a graphical one paints its face in its back colour.
class CommandButton : public ControlWidget<QPushButton>
{
public:
    using ControlWidget::ControlWidget;
    bool graphical = false;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

/// A picture control that takes the natural size of the picture it holds.
class PictureBox : public ClickableLabel
{
public:
    using ClickableLabel::ClickableLabel;
    void setPicture(const Picture &picture);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace forms
