#pragma once

// What a screen reader is told about the widgets the runtime builds, where Qt's own answers fall
// short: the roles of frames, pictures and headings, and menu items named by the window's
// definition whose activation returns before their Click runs.

#include <QAction>
#include <QPointer>
#include <QString>

namespace forms {

/// A menu item built from a window's definition.
class MenuItemAction : public QAction
{
public:
    /// owner is the menu the item is shown in; an empty accessibleName reads the caption.
    MenuItemAction(const QString &caption, const QString &accessibleName, QWidget *owner);
    QString accessibleName() const { return m_accessibleName; }
    QWidget *owner() const { return m_owner; }

private:
    QString m_accessibleName;
    QPointer<QWidget> m_owner;
};

/// Lets assistive tools reach the runtime's own accessible interfaces; safe to call often.
void installAccessibleInterfaces();

} // namespace forms
