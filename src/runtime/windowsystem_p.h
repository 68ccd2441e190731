#pragma once

namespace forms {

/// False when the windows run on an X server with no window manager (a bare virtual screen),
/// where nothing but the program itself sizes a maximized window.
bool windowManagerPresent();

} // namespace forms
