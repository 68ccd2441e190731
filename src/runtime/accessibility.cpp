#include "accessibility_p.h"

#include "controls_p.h"
#include "text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

namespace forms {

MenuItemAction::MenuItemAction(const QString &caption, const QString &accessibleName,
                               QWidget *owner)
    : QAction(caption, owner)
    , m_accessibleName(accessibleName)
    , m_owner(owner)
{ }

namespace {

/// A label read as a heading: its name is its caption unless the definition gives one.
class HeadingAccessible : public QAccessibleWidget
{
public:
    explicit HeadingAccessible(QWidget *label)
        : QAccessibleWidget(label, QAccessible::Heading)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const CaptionLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

/// A menu item whose press only queues the item's activation: a screen reader's call returns at
/// once, even when the item's Click opens a modal window that runs until it closes.
class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit MenuItemAccessible(MenuItemAction *item)
        : m_item(item)
    { }

    bool isValid() const override { return m_item && m_item->owner(); }
    QObject *object() const override { return m_item; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_item->owner());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return m_item->accessibleName().isEmpty() ? displayText(m_item->text())
                                                      : m_item->accessibleName();
        case QAccessible::Accelerator: {
            const QKeySequence key = QKeySequence::mnemonic(m_item->text());
            return key.isEmpty() ? QString() : key.toString(QKeySequence::NativeText);
        }
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (auto *menu = qobject_cast<QMenu *>(m_item->owner())) {
            return menu->actionGeometry(m_item).translated(menu->mapToGlobal(QPoint(0, 0)));
        }
        return QRect();
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        QWidget *owner = m_item->owner();
        if (!owner->isVisible() || !m_item->isVisible())
            s.invisible = true;
        if (auto *menu = qobject_cast<QMenu *>(owner); menu && menu->activeAction() == m_item)
            s.focused = true;
        if (!m_item->isEnabled())
            s.disabled = true;
        if (owner->style()->styleHint(QStyle::SH_Menu_MouseTracking))
            s.hotTracked = true;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction() || !m_item->isEnabled())
            return;
        QMetaObject::invokeMethod(m_item, &QAction::trigger, Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<MenuItemAction> m_item;
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    if (auto *item = dynamic_cast<MenuItemAction *>(object))
        return new MenuItemAccessible(item);
    if (auto *frame = dynamic_cast<FrameBox *>(object))
        return new QAccessibleWidget(frame, QAccessible::Grouping);
    // A picture stays a graphic while it is blank.
    if (auto *picture = dynamic_cast<PictureBox *>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto *label = dynamic_cast<CaptionLabel *>(object); label && label->heading)
        return new HeadingAccessible(label);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace forms
