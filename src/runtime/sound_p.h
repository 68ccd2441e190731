#pragma once

#include <QByteArray>
#include <QString>

namespace forms {

/// A clip's samples as they lie in its WAV file, and their format.
struct ClipSamples
{
    int rate = 0;
    int channels = 0;
    int bits = 0;
    QByteArray samples;
};

/// Reads a WAV file's samples into clip; returns why it cannot be played, or an empty text.
QString readClip(const QByteArray &bytes, ClipSamples &clip);

/// How the desktop's sound settings list the program: its name and icon, so that a mute or
/// volume set there is remembered for it at the next start.
void setSoundIdentity(const QString &name, const QString &iconName);

/// Loads every clip of a folder on the sound thread, so the first card of a lesson speaks
/// without waiting.
void preloadSounds(const QString &folder);

/// How long the end of the program waits for the sound thread to let go of the sound server.
inline constexpr int ShutdownMilliseconds = 1500;

/// Waits until the sound thread has handled every card asked for so far (tests); false when it
/// has not within the time given.
bool settleSound(int milliseconds);

} // namespace forms
