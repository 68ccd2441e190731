#pragma once

// A window's definition: plain data, in the units the windows are designed in, from which the
// runtime builds the window's widgets at every load.
//
// Units: positions and sizes in twips (15 to a device-independent pixel); a control's Left and
// Top count from its container's top-left corner. Colours are 0x00BBGGRR, or 0x800000nn for
// system colour nn. Fonts are a face, a size in points, a weight (400 regular, 700 bold), an
// italic flag and a character set. Captions use "&" to mark an access key ("&&" draws one "&").
// Controls are listed containers first; where two overlap, the earlier one is drawn above.
//
// Accessible names are what a screen reader reads for a window, a control or a menu; an empty
// one leaves the caption to be read. A name that holds "%1" is a template: the runtime puts the
// caption of the label named by accessibleNameFrom into it, again at every change of that caption.

#include <QtGlobal>

#include <optional>
#include <vector>

namespace forms {

namespace SystemColors {
inline constexpr quint32 ApplicationWorkspace = 0x8000000C;
inline constexpr quint32 ButtonFace = 0x8000000F;
inline constexpr quint32 ButtonText = 0x80000012;
inline constexpr quint32 WindowBackground = 0x80000005;
inline constexpr quint32 WindowText = 0x80000008;
} // namespace SystemColors

enum class ControlKind { Frame, Label, TextBox, CommandButton, Image, Timer };

enum class Alignment { Left = 0, Right = 1, Center = 2 };

enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2 };

enum class MousePointer { Default = 0, Arrow = 1, Custom = 99 };

enum class WindowKind { Form, MdiFrame };

enum class StartUpPosition { Manual = 0, WindowsDefault = 3 };

/// What a screen reader calls a control. ByKind: a frame is a grouping, a label static text, a
/// text box editable text, a button a button and an image a graphic.
enum class AccessibleRole { ByKind, Heading };

struct FontDef
{
    const char *face = "MS Sans Serif";
    double points = 8.25;
    int weight = 400;
    bool italic = false;
    int charset = 0;
};

struct ControlDef
{
    const char *name = "";
    ControlKind kind = ControlKind::Label;
    const char *container = nullptr; // nullptr: the window itself
    int index = -1; // element of a control array, -1 for a plain control
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = -1; // -1: takes no part in the tab order
    const char *caption = ""; // caption, or a text box's text
    std::optional<FontDef> font {};
    std::optional<quint32> foreColor {};
    std::optional<quint32> backColor {};
    Alignment alignment = Alignment::Left;
    bool graphical = false; // a button whose face is painted in its back colour
    bool isDefault = false; // Enter presses the button
    bool isCancel = false; // Escape presses the button
    const char *toolTip = "";
    MousePointer mousePointer = MousePointer::Default;
    const char *picture = ""; // resource path of a picture held in the definition
    int interval = 0; // timer interval in milliseconds
    bool enabled = true;
    const char *accessibleName = ""; // "": the caption, for labels and buttons
    const char *accessibleDescription = ""; // "": the tool tip
    const char *accessibleNameFrom = nullptr; // the label whose caption fills "%1" in the name
    AccessibleRole accessibleRole = AccessibleRole::ByKind;
};

struct MenuDef
{
    const char *name = "";
    const char *caption = ""; // "-" is a separator line
    const char *parent = nullptr; // nullptr: a top-level menu
    bool visible = true;
    const char *accessibleName = ""; // "": the caption without its access-key mark
};

struct FormDef
{
    const char *name = "";
    const char *caption = "";
    WindowKind kind = WindowKind::Form;
    BorderStyle borderStyle = BorderStyle::Sizable;
    bool maxButton = true;
    bool minButton = true;
    StartUpPosition startUpPosition = StartUpPosition::Manual;
    int clientLeft = 0; // stored place of the client area on the screen, when placed manually
    int clientTop = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool startMaximized = false;
    quint32 backColor = SystemColors::ButtonFace;
    MousePointer mousePointer = MousePointer::Default;
    const char *mouseIcon = ""; // resource path of a .cur file, for MousePointer::Custom
    const char *icon = ""; // resource path of an .ico file
    const char *accessibleName = ""; // "": the caption
    const char *accessibleDescription = "";
    /// A top-level menu that the Menu key and Shift+F10 pop up from any control of the window.
    const char *keyboardMenu = nullptr;
    std::vector<MenuDef> menus {};
    std::vector<ControlDef> controls {};
};

} // namespace forms
