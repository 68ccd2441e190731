#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace forms {

/// Plays the clip at path (WAV, FLAC, Ogg Vorbis, Opus or MP3) at once and cuts off the clip that
/// is playing: never two at a time, none queued behind another. Returns before any sound is heard.
/// A missing or damaged clip stays silent and is named in one line on standard error; with no sound
/// server nothing plays and nothing waits.
void PlaySound(const QString &path);

/// Plays the clip called name through PlaySound: a file of that name with any extension
/// PlaySound reads (k.wav, k.flac, k.ogg, k.opus, k.mp3; name's own extension does not count),
/// from the user's sounds folder when a parent put one there, else from the program's.
void PlayClip(const QString &name);

/// The file PlayClip(name) plays.
QString clipFile(const QString &name);

/// Replaces how clips are played (tests record them instead). Returns the previous player; an
/// empty one plays through the sound server again.
using SoundPlayer = std::function<void(const QString &path)>;
SoundPlayer setSoundPlayer(SoundPlayer play);

/// Largest clip file PlaySound reads.
inline constexpr qint64 MaxClipFileBytes = 16 * 1024 * 1024;

} // namespace forms
