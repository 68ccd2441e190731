#pragma once

// What window tests use to meet a window as a screen reader, an input method or the keyboard do.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTimer>

#include <functional>

namespace a11ytest {

inline QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

inline QString nameOf(QObject *object)
{
    return accessible(object)->text(QAccessible::Name);
}

inline QMenu *popup()
{
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// Presses the accessible child named name, as a screen reader does; false if there is none.
inline bool pressChild(QObject *parent, const QString &name)
{
    QAccessibleInterface *iface = accessible(parent);
    for (int i = 0; i < iface->childCount(); ++i) {
        if (iface->child(i)->text(QAccessible::Name) == name) {
            iface->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            return true;
        }
    }
    return false;
}

// What an input method sends: text still being composed, and text committed in place of the
// length characters from the caret's offset from.
inline void sendInputMethod(QWidget *box, const QString &preedit, const QString &commit,
                            int from = 0, int length = 0)
{
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit, from, length);
    QApplication::sendEvent(box, &event);
}

// Runs step once ready() holds, polling from whatever event loop runs (a menu's, a modal
// window's); the poll belongs to owner and ends with it.
inline void when(QObject *owner, const std::function<bool()> &ready,
                 const std::function<void()> &step)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ready, step] {
        if (!ready())
            return;
        timer->stop();
        timer->deleteLater();
        step();
    });
    timer->start(5);
}

} // namespace a11ytest
