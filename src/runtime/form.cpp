#include "form_p.h"

#include "accessibility_p.h"
#include "text.h"
#include "units.h"
#include "windowsystem_p.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <stdexcept>

namespace forms {

int Form::Private::slotOf(std::string_view name, int index) const
{
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        if (def.controls[i].name == name && def.controls[i].index == index)
            return int(i);
    }
    return -1;
}

const ControlDef *Form::Private::control(std::string_view name) const
{
    for (const ControlDef &c : def.controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const MenuDef *Form::Private::menu(std::string_view name) const
{
    for (const MenuDef &m : def.menus) {
        if (m.name == name)
            return &m;
    }
    return nullptr;
}

void Form::Private::checkHandler(const std::string &name, std::size_t alternative) const
{
    const auto cut = name.rfind('_');
    const std::string object = cut == std::string::npos ? std::string() : name.substr(0, cut);
    const std::string event = cut == std::string::npos ? std::string() : name.substr(cut + 1);
    bool known = false;
    std::size_t expected = 0;
    if (object == "Form") {
        known = event == "Load" || event == "MouseDown";
        expected = event == "MouseDown" ? 2 : 0;
    } else if (const ControlDef *c = control(object)) {
        const bool clicks = c->kind == ControlKind::CommandButton || c->kind == ControlKind::Label
            || c->kind == ControlKind::Image;
        known = (event == "Click" && clicks)
            || (event == "KeyPress" && c->kind == ControlKind::TextBox)
            || (event == "Timer" && c->kind == ControlKind::Timer);
        expected = event == "KeyPress" ? 1 : 0;
    } else if (const MenuDef *m = menu(object)) {
        known = event == "Click" && m->parent;
    }
    if (!known || expected != alternative)
        throw std::logic_error("window " + std::string(def.name) + " has no event for handler "
                               + name);
}

Form::Form(const FormDef &definition)
    : d(std::make_unique<Private>(this, definition))
{ }

Form::~Form()
{
    delete d->window.data();
}

const FormDef &Form::definition() const
{
    return d->def;
}

QString Form::name() const
{
    return qs(d->def.name);
}

bool Form::isLoaded() const
{
    return d->isLoaded();
}

void Form::Load()
{
    if (d->isLoaded())
        return;
    d->build();
    d->loaded = true;
    d->shownBefore = false;
    d->invoke<void()>("Form_Load");
}

void Form::Unload()
{
    if (!d->loaded)
        return;
    d->loaded = false;
    FormWindow *w = d->window;
    d->window = nullptr;
    for (QObject *&object : d->objects) {
        if (auto *timer = qobject_cast<QTimer *>(object))
            timer->stop();
        object = nullptr;
    }
    if (w) {
        w->hide();
        w->deleteLater();
    }
    if (d->modalLoop)
        d->modalLoop->quit();
}

void Form::Hide()
{
    if (!d->isLoaded())
        return;
    d->window->hide();
    if (d->modalLoop)
        d->modalLoop->quit();
}

void Form::Show(int style)
{
    if (style != vbModeless && style != vbModal)
        throw RuntimeError(InvalidProcedureCall,
                           QStringLiteral("Invalid procedure call or argument"));
    Load();
    if (!d->isLoaded())
        return; // Form_Load unloaded the window
    FormWindow *w = d->window;
    if (style == vbModal) {
        if (d->modalLoop)
            throw RuntimeError(400, QStringLiteral("Form already displayed; can't show modally"));
        w->hide(); // modality only changes on a hidden window
        w->setWindowModality(Qt::ApplicationModal);
    }
    if (d->def.startMaximized && !d->shownBefore) {
        // With no window manager, nothing but the program makes the window fill the screen.
        if (!windowManagerPresent())
            w->setGeometry(w->screen()->availableGeometry());
        w->showMaximized();
    } else
        w->show();
    d->shownBefore = true;
    w->raise();
    w->activateWindow();
    if (style != vbModal)
        return;
    QEventLoop loop;
    d->modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    d->modalLoop = nullptr;
}

void Form::setCaption(const QString &caption)
{
    Load();
    d->window->setWindowTitle(caption);
}

QString Form::caption() const
{
    return d->isLoaded() ? d->window->windowTitle() : qs(d->def.caption);
}

void Form::setTop(float twips)
{
    Load();
    d->window->move(d->window->x(), twipsToPixels(twips));
}

void Form::setLeft(float twips)
{
    Load();
    d->window->move(twipsToPixels(twips), d->window->y());
}

float Form::top() const
{
    return d->isLoaded() ? float(pixelsToTwips(d->window->y())) : 0.0f;
}

float Form::left() const
{
    return d->isLoaded() ? float(pixelsToTwips(d->window->x())) : 0.0f;
}

void Form::PopupMenu(const char *menuName)
{
    d->popupMenu(menuName, QCursor::pos());
}

void Form::Private::popupMenu(const char *menuName, QPoint at)
{
    const MenuDef *top = this->menu(menuName);
    if (!top || top->parent)
        throw RuntimeError(ObjectRequired,
                           QStringLiteral("Object required: menu %1").arg(qs(menuName)));
    q->Load();
    // On the heap: a window closed while its menu is up takes the menu with it.
    QPointer<QMenu> menu = new QMenu(window);
    menu->setAccessibleName(*top->accessibleName ? qs(top->accessibleName)
                                                 : displayText(qs(top->caption)));
    for (const MenuDef &item : def.menus) {
        if (!item.parent || std::string_view(item.parent) != top->name || !item.visible)
            continue;
        if (std::string_view(item.caption) == "-") {
            menu->addSeparator();
            continue;
        }
        auto *action = new MenuItemAction(qs(item.caption), qs(item.accessibleName), menu);
        action->setData(qs(item.name));
        menu->addAction(action);
    }
    QString picked;
    // An item picked other than by the mouse or the keys (a screen reader) closes the menu too.
    QObject::connect(menu, &QMenu::triggered, menu, [&picked, menu](QAction *action) {
        picked = action->data().toString();
        menu->hide();
    });
    menu->exec(at);
    if (!menu)
        return; // the window went while its menu was up
    delete menu;
    if (!picked.isEmpty())
        invoke<void()>(picked.toStdString() + "_Click");
}

QPoint Form::Private::keyboardMenuPlace() const
{
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != window.data())
        focus = window->centralWidget();
    return focus->mapToGlobal(focus->rect().center());
}

QWidget *Form::window() const
{
    return d->isLoaded() ? d->window.data() : nullptr;
}

QWidget *Form::controlWidget(const char *name, int index) const
{
    const int slot = d->slotOf(name, index);
    if (slot < 0 || !d->isLoaded())
        return nullptr;
    return qobject_cast<QWidget *>(d->objects[std::size_t(slot)]);
}

void Form::on(const char *handlerName, EventHandler handler)
{
    d->checkHandler(handlerName, 0);
    d->handlers[handlerName] = std::move(handler);
}

void Form::on(const char *handlerName, KeyPressHandler handler)
{
    d->checkHandler(handlerName, 1);
    d->handlers[handlerName] = std::move(handler);
}

void Form::on(const char *handlerName, MouseDownHandler handler)
{
    d->checkHandler(handlerName, 2);
    d->handlers[handlerName] = std::move(handler);
}

} // namespace forms
