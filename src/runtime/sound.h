#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace forms {

/// Plays the WAV clip at path at once and cuts off the clip that is playing: never two at a
/// time, none queued behind another. Returns before any sound is heard. A missing or damaged
/// clip stays silent and is named in one line on standard error; with no sound server nothing
/// plays and nothing waits.
void PlaySound(const QString &path);

/// Replaces how clips are played (tests record them instead). Returns the previous player; an
/// empty one plays through the sound server again.
using SoundPlayer = std::function<void(const QString &path)>;
SoundPlayer setSoundPlayer(SoundPlayer play);

/// Largest clip file PlaySound reads.
inline constexpr qint64 MaxClipFileBytes = 4 * 1024 * 1024;

/// Why a clip's bytes cannot be played, or an empty text when they can: a RIFF WAVE file with
/// 8- or 16-bit PCM samples, one or two channels, and some samples.
QString clipProblem(const QByteArray &bytes);

} // namespace forms
