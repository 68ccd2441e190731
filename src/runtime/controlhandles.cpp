#include "form_p.h"

#include <stdexcept>

namespace forms {

ControlHandle::ControlHandle(Form *form, const char *name, int index, ControlKind kind)
    : m_form(form)
    , m_slot(form->d->slotOf(name, index))
{
    if (m_slot < 0 || form->d->def.controls[std::size_t(m_slot)].kind != kind)
        throw std::logic_error("window " + std::string(form->d->def.name) + " has no such control "
                               + std::string(name));
}

QWidget *ControlHandle::widget() const
{
    m_form->Load();
    return static_cast<QWidget *>(m_form->d->objects[std::size_t(m_slot)]);
}

Label::Label(Form *form, const char *name, int index)
    : ControlHandle(form, name, index, ControlKind::Label)
{ }

void Label::setCaption(const QString &caption)
{
    static_cast<CaptionLabel *>(widget())->setCaption(caption);
}

QString Label::caption() const
{
    return static_cast<CaptionLabel *>(widget())->caption();
}

TextBox::TextBox(Form *form, const char *name, int index)
    : ControlHandle(form, name, index, ControlKind::TextBox)
{ }

void TextBox::setText(const QString &text)
{
    static_cast<KeyTextBox *>(widget())->setText(text);
}

QString TextBox::text() const
{
    return static_cast<KeyTextBox *>(widget())->text();
}

Image::Image(Form *form, const char *name, int index)
    : ControlHandle(form, name, index, ControlKind::Image)
{ }

void Image::setPicture(const Picture &picture)
{
    static_cast<PictureBox *>(widget())->setPicture(picture);
}

} // namespace forms
