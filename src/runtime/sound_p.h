#pragma once

#include <QByteArray>
#include <QString>

namespace forms {

/// A clip ready to play: one channel of 16-bit samples at the file's own rate, cut to the word
/// and at the shipped clips' loudness.
struct ClipSamples
{
    int rate = 0;
    QByteArray samples;
};

/// The longest a clip plays; the rest of a longer recording is left unread.
inline constexpr int MaxClipSeconds = 20;
/// Kept of the quiet before the first sound, and after the last.
inline constexpr int LeadMilliseconds = 3;
inline constexpr int TailMilliseconds = 50;
/// Every clip's loudness over its speech (RMS), and the most its peaks may reach, in dBFS.
inline constexpr float LevelDecibels = -18;
inline constexpr float PeakDecibels = -1;

/// Reads a clip's file (WAV, FLAC, Ogg Vorbis, Opus or MP3) into clip, levelled and trimmed;
/// returns why it cannot be played, or an empty text.
QString readClip(const QByteArray &bytes, ClipSamples &clip);

/// How the desktop's sound settings list the program: its name and icon, so that a mute or
/// volume set there is remembered for it at the next start.
void setSoundIdentity(const QString &name, const QString &iconName);

/// Loads every clip PlayClip would play on the sound thread, so the first card of a lesson
/// speaks without waiting.
void preloadSounds();

/// How long the end of the program waits for the sound thread to let go of the sound server.
inline constexpr int ShutdownMilliseconds = 1500;

/// True when the end of the program left the sound thread behind, stuck in the sound server.
bool soundLeftBehind();

/// Waits until the sound thread has handled every card asked for so far (tests); false when it
/// has not within the time given.
bool settleSound(int milliseconds);

} // namespace forms
