#pragma once

#include "layout.h"
#include "picture.h"

#include <QString>

class QWidget;

namespace forms {

class Form;

/// A window's control as its handlers see it. Using a control of an unloaded window loads it.
class ControlHandle
{
protected:
    ControlHandle(Form *form, const char *name, int index, ControlKind kind);
    QWidget *widget() const;

private:
    Form *m_form;
    int m_slot;
};

class Label : public ControlHandle
{
public:
    Label(Form *form, const char *name, int index = -1);
    void setCaption(const QString &caption);
    QString caption() const;
};

class TextBox : public ControlHandle
{
public:
    TextBox(Form *form, const char *name, int index = -1);
    void setText(const QString &text);
    QString text() const;
};

class Image : public ControlHandle
{
public:
    Image(Form *form, const char *name, int index = -1);
    /// Shows the picture at its natural size from the control's top-left corner; an empty
    /// picture blanks the control.
    void setPicture(const Picture &picture);
};

} // namespace forms
