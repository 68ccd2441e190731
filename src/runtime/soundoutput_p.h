#pragma once

#include "sound_p.h"

namespace forms {

/// The sound server's side of PlaySound. On Linux it is the one part that needs Qt Multimedia, in
/// a module of its own with the clip reader, loaded once the first window is up, so the program
/// starts without them; on Windows it plays through WinMM, built in (soundmodule_p.h).
/// It lives on the sound thread.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void connectToServer() = 0;
    /// Cuts off the clip that is playing, then plays this one; empty samples only cut off.
    virtual void say(const ClipSamples &clip) = 0;
};

} // namespace forms

/// The module's one entry point: a new output, owned by the caller.
using SoundOutputFactory = forms::SoundOutput *(*)();
inline constexpr char SoundModuleEntry[] = "quorbelSoundOutput";

/// Its clip reader (readClip), there so that the program starts without the decoders' libraries.
using ClipReader = void (*)(const QByteArray &bytes, forms::ClipSamples &clip, QString &problem);
inline constexpr char ClipReaderEntry[] = "quorbelReadClip";
