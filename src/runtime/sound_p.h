#pragma once

#include <QString>

namespace forms {

/// How the desktop's sound settings list the program: its name and icon, so that a mute or
/// volume set there is remembered for it at the next start.
void setSoundIdentity(const QString &name, const QString &iconName);

/// Loads every clip of a folder, so the first card of a lesson speaks without waiting.
void preloadSounds(const QString &folder);

} // namespace forms
