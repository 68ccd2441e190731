#pragma once

// A window object's private state, shared by the builder that makes its widgets, the window's
// life and events, and the control handles.

#include "controls_p.h"
#include "form.h"
#include "runtimeerror.h"

#include <QEventLoop>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace forms {

class FormWindow;

using Handler = std::variant<std::function<void()>, std::function<void(Integer &)>,
                             std::function<void(Integer, Integer, float, float)>>;

struct Form::Private
{
    Private(Form *form, const FormDef &definition)
        : q(form)
        , def(definition)
        , objects(definition.controls.size(), nullptr)
    { }

    Form *q;
    const FormDef &def;
    QPointer<FormWindow> window;
    std::vector<QObject *> objects; // the built control of each slot, while loaded
    std::map<std::string, Handler> handlers;
    QEventLoop *modalLoop = nullptr;
    bool loaded = false;
    bool shownBefore = false;

    bool isLoaded() const { return loaded && window; }
    int slotOf(std::string_view name, int index) const;
    const ControlDef *control(std::string_view name) const;
    const MenuDef *menu(std::string_view name) const;
    void checkHandler(const std::string &name, std::size_t alternative) const;

    void build();
    QWidget *buildControl(const ControlDef &control, QWidget *parent, FormWindow *window);
    void buildMenus(FormWindow *window);
    void nameAfterCaptions();

    /// Pops up a top-level menu at a point of the screen; runs the picked item's Click.
    void popupMenu(const char *menuName, QPoint at);
    /// Where the keyboard menu pops up: at the control that has the focus.
    QPoint keyboardMenuPlace() const;

    // invoke runs a handler inside the caller's own error boundary; fire is an event's boundary.
    template<class Signature, class... Args> void invoke(const std::string &name, Args &&...args);
    template<class Signature, class... Args> void fire(const std::string &name, Args &&...args);
};

inline QString qs(const char *text)
{
    return QString::fromUtf8(text ? text : "");
}

template<class Signature, class... Args>
void Form::Private::invoke(const std::string &name, Args &&...args)
{
    const auto found = handlers.find(name);
    if (found != handlers.end())
        std::get<std::function<Signature>>(found->second)(std::forward<Args>(args)...);
}

template<class Signature, class... Args>
void Form::Private::fire(const std::string &name, Args &&...args)
{
    if (!isLoaded())
        return;
    runHandler([&] { invoke<Signature>(name, std::forward<Args>(args)...); });
}

} // namespace forms
