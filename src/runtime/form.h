#pragma once

#include "application.h"
#include "controlhandles.h"
#include "integer.h"
#include "layout.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace forms {

/// A window class's program-wide object: it holds the window's fields and handlers and lives
/// until the program ends, while the window's widgets are built from its definition at every
/// load and destroyed at every unload.
class Form
{
public:
    explicit Form(const FormDef &definition);
    virtual ~Form();
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    const FormDef &definition() const;
    QString name() const;

    /// Loads the window when it is not loaded, then shows it. vbModal runs a nested event loop
    /// that returns once the window is unloaded or hidden; meanwhile no other window takes input.
    void Show(int style = vbModeless);
    /// Builds the widgets from the definition, then runs Form_Load. Does nothing when loaded.
    void Load();
    /// Destroys the widgets; the object's fields keep their values.
    void Unload();
    /// Hides the window without unloading it.
    void Hide();
    bool isLoaded() const;

    void setCaption(const QString &caption);
    QString caption() const;
    /// The window's outer top and left edges on the screen, in twips.
    void setTop(float twips);
    void setLeft(float twips);
    float top() const;
    float left() const;

    /// Pops up a menu of the window at the mouse position; returns after a pick or a
    /// dismissal, once the picked item's Click handler has run.
    void PopupMenu(const char *menuName);

    /// The top-level widget while the window is loaded, else nullptr.
    QWidget *window() const;
    /// The widget built for a control while the window is loaded, else nullptr.
    QWidget *controlWidget(const char *name, int index = -1) const;

protected:
    using EventHandler = std::function<void()>;
    using KeyPressHandler = std::function<void(Integer &KeyAscii)>;
    using MouseDownHandler = std::function<void(Integer Button, Integer Shift, float X, float Y)>;

    /// Routes an event to a handler named after the object and the event, "cmdOK_Click",
    /// "Form_Load". A name that matches no event of the definition is a programming error.
    /// Buttons, labels and pictures raise Click; a label or picture only for the left button.
    void on(const char *handlerName, EventHandler handler);
    void on(const char *handlerName, KeyPressHandler handler);
    void on(const char *handlerName, MouseDownHandler handler);

private:
    friend class ControlHandle;
    friend class FormWindow;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace forms
