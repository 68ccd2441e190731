#pragma once

// The look the lesson windows share: the dark red surface, the frame with its tool tip, the pink
// answer box and the big card labels.

#include "runtime/layout.h"

namespace lessons {

inline constexpr quint32 DarkRed = 0x00040466;
inline constexpr quint32 Pink = 0x00C0C0FF;
inline constexpr quint32 Red = 0x000000FF;
inline constexpr quint32 Green = 0x0000FF00;
inline constexpr quint32 Blue = 0x00FF0000;
inline constexpr quint32 Yellow = 0x0000FFFF;
inline constexpr quint32 Magenta = 0x00FF00FF;

inline constexpr const char *WindowIcon = ":/quorbel.ico";
inline constexpr const char *FrameToolTip = "To See  Help Right Click out side the border. ";

/// Frame1, which holds the lesson's other controls; a screen reader reads it by its name and
/// description rather than by its tool tip.
inline forms::ControlDef lessonFrame(int left, int top, int width, int height, int tabIndex,
                                     const char *accessibleName, const char *accessibleDescription)
{
    return {.name = "Frame1",
            .kind = forms::ControlKind::Frame,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .tabIndex = tabIndex,
            .font = forms::FontDef {.face = "Verdana", .points = 18, .weight = 400},
            .foreColor = Red,
            .backColor = DarkRed,
            .toolTip = FrameToolTip,
            .mousePointer = forms::MousePointer::Arrow,
            .accessibleName = accessibleName,
            .accessibleDescription = accessibleDescription};
}

/// txtAnswer, the answer box inside Frame1, holding the layout's first card.
inline forms::ControlDef answerBox(const char *text, int left, int top, int tabIndex,
                                   const char *accessibleName)
{
    return {.name = "txtAnswer",
            .kind = forms::ControlKind::TextBox,
            .container = "Frame1",
            .left = left,
            .top = top,
            .width = 2055,
            .height = 1215,
            .tabIndex = tabIndex,
            .caption = text,
            .font = forms::FontDef {.face = "Times New Roman", .points = 48, .weight = 700},
            .foreColor = Blue,
            .backColor = Pink,
            .alignment = forms::Alignment::Center,
            .accessibleName = accessibleName};
}

/// A card label inside Frame1: bold Times New Roman, centred, on the dark red.
inline forms::ControlDef cardLabel(const char *name, const char *caption, int left, int top,
                                   int width, int height, int tabIndex, double points,
                                   quint32 foreColor)
{
    return {.name = name,
            .kind = forms::ControlKind::Label,
            .container = "Frame1",
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .tabIndex = tabIndex,
            .caption = caption,
            .font = forms::FontDef {.face = "Times New Roman", .points = points, .weight = 700},
            .foreColor = foreColor,
            .backColor = DarkRed,
            .alignment = forms::Alignment::Center};
}

} // namespace lessons
