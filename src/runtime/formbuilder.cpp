// Builds a window's widgets from its definition, at every load.

#include "form_p.h"

#include "accessibility_p.h"
#include "text.h"
#include "units.h"

#include <QAccessible>
#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace forms {

namespace {

QFont fontFrom(const FontDef &def)
{
    QFont font(installedFace(qs(def.face)));
    font.setPixelSize(pointsToPixels(def.points));
    font.setWeight(QFont::Weight(std::clamp(def.weight, 1, 1000)));
    font.setItalic(def.italic);
    return font;
}

void setColors(QWidget *widget, QPalette::ColorRole backRole, quint32 back,
               QPalette::ColorRole foreRole, quint32 fore)
{
    QPalette palette = widget->palette();
    palette.setColor(backRole, colorFromStored(back));
    palette.setColor(foreRole, colorFromStored(fore));
    widget->setPalette(palette);
}

// A cursor file's hot spot lies in its directory entry; Qt's reader gives only the image.
QCursor cursorFromResource(const char *resourcePath)
{
    QFile file(qs(resourcePath));
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(InvalidPicture,
                           QStringLiteral("Invalid picture: %1").arg(file.fileName()));
    QByteArray bytes = file.readAll();
    if (bytes.size() < 22)
        throw RuntimeError(InvalidPicture,
                           QStringLiteral("Invalid picture: %1").arg(file.fileName()));
    auto word = [&bytes](int at) {
        return int(quint8(bytes.at(at))) | (int(quint8(bytes.at(at + 1))) << 8);
    };
    const int hotX = word(10), hotY = word(12);
    bytes[2] = 1; // read the cursor's image as an icon's
    const QImage image = QImage::fromData(bytes, "ICO");
    if (image.isNull())
        throw RuntimeError(InvalidPicture,
                           QStringLiteral("Invalid picture: %1").arg(file.fileName()));
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

void applyPointer(QWidget *widget, MousePointer pointer, const char *icon)
{
    switch (pointer) {
    case MousePointer::Custom:
        widget->setCursor(cursorFromResource(icon));
        break;
    case MousePointer::Arrow:
        widget->setCursor(Qt::ArrowCursor);
        break;
    case MousePointer::Default:
        break;
    }
}

int standardMenuBarHeight()
{
    static const int height = [] {
        QMenuBar bar;
        bar.addAction(QStringLiteral("Menu"));
        return bar.sizeHint().height();
    }();
    return height;
}

} // namespace

QWidget *Form::Private::buildControl(const ControlDef &c, QWidget *parent, FormWindow *window)
{
    const std::string name = c.name;
    const FontDef font = c.font.value_or(FontDef {});
    QWidget *widget = nullptr;
    switch (c.kind) {
    case ControlKind::Frame: {
        auto *frame = new FrameBox(parent);
        frame->setAutoFillBackground(true);
        setColors(frame, QPalette::Window, c.backColor.value_or(SystemColors::ButtonFace),
                  QPalette::WindowText, c.foreColor.value_or(SystemColors::ButtonText));
        widget = frame;
        break;
    }
    case ControlKind::Label: {
        auto *label = new CaptionLabel(parent);
        label->heading = c.accessibleRole == AccessibleRole::Heading;
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAutoFillBackground(true);
        const Qt::Alignment horizontal = c.alignment == Alignment::Center ? Qt::AlignHCenter
            : c.alignment == Alignment::Right                             ? Qt::AlignRight
                                                                          : Qt::AlignLeft;
        label->setAlignment(horizontal | Qt::AlignTop);
        setColors(label, QPalette::Window, c.backColor.value_or(SystemColors::ButtonFace),
                  QPalette::WindowText, c.foreColor.value_or(SystemColors::ButtonText));
        label->setCaption(qs(c.caption));
        label->onClick = [this, event = name + "_Click"] { fire<void()>(event); };
        widget = label;
        break;
    }
    case ControlKind::TextBox: {
        auto *box = new KeyTextBox(parent);
        setColors(box, QPalette::Base, c.backColor.value_or(SystemColors::WindowBackground),
                  QPalette::Text, c.foreColor.value_or(SystemColors::WindowText));
        const Qt::Alignment horizontal = c.alignment == Alignment::Center ? Qt::AlignHCenter
            : c.alignment == Alignment::Right                             ? Qt::AlignRight
                                                                          : Qt::AlignLeft;
        box->setAlignment(horizontal | Qt::AlignVCenter);
        box->setText(qs(c.caption));
        box->onKeyPress = [this, event = name + "_KeyPress"](Integer &keyAscii) {
            fire<void(Integer &)>(event, keyAscii);
        };
        widget = box;
        break;
    }
    case ControlKind::CommandButton: {
        auto *button = new CommandButton(parent);
        button->graphical = c.graphical;
        button->setText(qs(c.caption));
        button->setAutoDefault(false);
        setColors(button, QPalette::Button, c.backColor.value_or(SystemColors::ButtonFace),
                  QPalette::ButtonText, c.foreColor.value_or(SystemColors::ButtonText));
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, event = name + "_Click"] { fire<void()>(event); });
        if (c.isDefault)
            window->defaultButton = button;
        if (c.isCancel)
            window->cancelButton = button;
        widget = button;
        break;
    }
    case ControlKind::Image: {
        auto *image = new PictureBox(parent);
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        image->onClick = [this, event = name + "_Click"] { fire<void()>(event); };
        widget = image;
        break;
    }
    case ControlKind::Timer: {
        auto *timer = new QTimer(window);
        timer->setInterval(c.interval);
        QObject::connect(timer, &QTimer::timeout, window,
                         [this, event = name + "_Timer"] { fire<void()>(event); });
        if (c.enabled && c.interval > 0)
            timer->start();
        return nullptr;
    }
    }

    widget->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                        twipsToPixels(c.height));
    widget->setFont(fontFrom(font));
    widget->setAttribute(Qt::WA_NoMousePropagation);
    if (*c.toolTip)
        widget->setToolTip(qs(c.toolTip));
    const bool takesFocus = c.kind == ControlKind::TextBox || c.kind == ControlKind::CommandButton;
    widget->setFocusPolicy(takesFocus && c.tabIndex >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    // A control shows the arrow, not its window's pointer, unless it asks for another.
    if (c.kind != ControlKind::TextBox)
        widget->setCursor(Qt::ArrowCursor);
    applyPointer(widget, c.mousePointer, nullptr);
    widget->setEnabled(c.enabled);
    if (*c.accessibleName && !c.accessibleNameFrom)
        widget->setAccessibleName(qs(c.accessibleName));
    if (*c.accessibleDescription)
        widget->setAccessibleDescription(qs(c.accessibleDescription));
    if (c.kind == ControlKind::Image)
        static_cast<PictureBox *>(widget)->setPicture(pictureFromResource(c.picture));
    return widget;
}

void Form::Private::buildMenus(FormWindow *window)
{
    if (def.menus.empty())
        return;
    QMenuBar *bar = window->menuBar();
    bool anyShown = false;
    for (const MenuDef &top : def.menus) {
        if (top.parent)
            continue;
        QMenu *menu = bar->addMenu(qs(top.caption));
        menu->menuAction()->setVisible(top.visible);
        // Qt reads a menu's title on its item in the bar only; the open menu needs a name too.
        menu->setAccessibleName(*top.accessibleName ? qs(top.accessibleName)
                                                    : displayText(qs(top.caption)));
        anyShown = anyShown || top.visible;
        for (const MenuDef &item : def.menus) {
            if (!item.parent || std::string_view(item.parent) != top.name)
                continue;
            if (std::string_view(item.caption) == "-") {
                menu->addSeparator();
                continue;
            }
            auto *action = new MenuItemAction(qs(item.caption), qs(item.accessibleName), menu);
            menu->addAction(action);
            action->setVisible(item.visible);
            QObject::connect(
                action, &QAction::triggered, window,
                [this, event = std::string(item.name) + "_Click"] { fire<void()>(event); });
        }
    }
    // A window whose menus are all hidden keeps an empty menu bar strip.
    if (!anyShown)
        bar->setFixedHeight(standardMenuBarHeight());
}

// A name made from a label's caption follows every change of that caption.
void Form::Private::nameAfterCaptions()
{
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        const ControlDef &c = def.controls[i];
        if (!c.accessibleNameFrom)
            continue;
        const int from = slotOf(c.accessibleNameFrom, -1);
        if (from < 0 || def.controls[std::size_t(from)].kind != ControlKind::Label)
            throw std::logic_error("control " + std::string(c.name) + " takes its name from "
                                   + c.accessibleNameFrom + ", which is no label");
        auto *source = static_cast<CaptionLabel *>(objects[std::size_t(from)]);
        const QPointer<QWidget> named = qobject_cast<QWidget *>(objects[i]);
        const QString pattern = qs(c.accessibleName);
        named->setAccessibleName(pattern.arg(source->text()));
        source->onCaptionChanged = [earlier = std::move(source->onCaptionChanged), named,
                                    pattern](const QString &shown) {
            if (earlier)
                earlier(shown);
            if (!named)
                return;
            named->setAccessibleName(pattern.arg(shown));
            // Qt's widgets announce a new name of their text, not one set for them.
            QAccessibleEvent event(named.data(), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        };
    }
}

void Form::Private::build()
{
    installAccessibleInterfaces();
    if (def.keyboardMenu) {
        if (const MenuDef *top = menu(def.keyboardMenu); !top || top->parent)
            throw std::logic_error("window " + std::string(def.name) + " has no menu "
                                   + def.keyboardMenu);
    }
    // A definition found wrong half way leaves nothing of the window behind.
    auto owner = std::make_unique<FormWindow>(q);
    FormWindow *w = owner.get();
    w->setObjectName(qs(def.name));
    w->setWindowTitle(qs(def.caption));
    if (*def.accessibleName)
        w->setAccessibleName(qs(def.accessibleName));
    if (*def.accessibleDescription)
        w->setAccessibleDescription(qs(def.accessibleDescription));
    if (def.keyboardMenu) {
        w->onKeyboardMenu
            = [this] { runHandler([this] { popupMenu(def.keyboardMenu, keyboardMenuPlace()); }); };
    }
    if (*def.icon)
        w->setWindowIcon(QIcon(qs(def.icon)));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (def.minButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (def.maxButton)
        flags |= Qt::WindowMaximizeButtonHint;
    w->setWindowFlags(flags);
    buildMenus(w);

    QWidget *client = nullptr;
    if (def.kind == WindowKind::MdiFrame) {
        auto *area = new QMdiArea(w);
        area->setBackground(colorFromStored(def.backColor));
        client = area;
    } else {
        auto *surface = new Surface(w);
        surface->setAutoFillBackground(true);
        QPalette palette = surface->palette();
        palette.setColor(QPalette::Window, colorFromStored(def.backColor));
        surface->setPalette(palette);
        applyPointer(surface, def.mousePointer, def.mouseIcon);
        surface->onMouseDown = [this](Integer button, Integer shift, float x, float y) {
            fire<void(Integer, Integer, float, float)>("Form_MouseDown", button, shift, x, y);
        };
        client = surface;
    }
    w->setCentralWidget(client);

    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        const ControlDef &c = def.controls[i];
        QWidget *parent = client;
        if (c.container) {
            const int container = slotOf(c.container, -1);
            if (container < 0 || !objects[std::size_t(container)]->isWidgetType())
                throw std::logic_error("control " + std::string(c.name) + " has no container "
                                       + c.container);
            parent = static_cast<QWidget *>(objects[std::size_t(container)]);
        }
        QWidget *widget = buildControl(c, parent, w);
        objects[i] = widget;
        if (!widget) // a timer: find it among the window's children
            objects[i] = w->findChildren<QTimer *>(Qt::FindDirectChildrenOnly).constLast();
    }
    nameAfterCaptions();
    // Where controls overlap, the one defined first is drawn above.
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        if ((*it)->isWidgetType())
            static_cast<QWidget *>(*it)->raise();
    }
    // One tab order for the whole window, by TabIndex; the lowest takes the focus first.
    std::vector<std::pair<int, QWidget *>> tabStops;
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        auto *widget = qobject_cast<QWidget *>(objects[i]);
        if (widget && widget->focusPolicy() != Qt::NoFocus)
            tabStops.emplace_back(def.controls[i].tabIndex, widget);
    }
    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
    for (const auto &stop : tabStops) {
        if (stop.second->isEnabled()) {
            stop.second->setFocus();
            break;
        }
    }

    const QSize clientSize(twipsToPixels(def.clientWidth), twipsToPixels(def.clientHeight));
    int barHeight = 0;
    if (!def.menus.empty()) {
        // The height the window's layout will give the menu bar at the client's width.
        const QMenuBar *bar = w->menuBar();
        const int wanted = bar->hasHeightForWidth() ? bar->heightForWidth(clientSize.width())
                                                    : bar->sizeHint().height();
        barHeight = std::clamp(wanted, bar->minimumHeight(), bar->maximumHeight());
    }
    const QSize windowSize = clientSize + QSize(0, barHeight);
    if (def.startUpPosition == StartUpPosition::Manual)
        w->setGeometry(
            QRect(QPoint(twipsToPixels(def.clientLeft), twipsToPixels(def.clientTop)), windowSize));
    else
        w->resize(windowSize);
    if (def.borderStyle != BorderStyle::Sizable)
        w->setFixedSize(windowSize);
    w->layout()->activate(); // controls have their places before the window first shows
    window = owner.release();
}

} // namespace forms
