#pragma once

#include "soundoutput_p.h"

namespace forms {

/// The sound output and the clip reader. Where Qt is shared they are a module of their own,
/// loaded from beside the program on first use; where it is built in (Windows), so are they.
struct SoundModule
{
    SoundOutputFactory create = nullptr;
    ClipReader read = nullptr;
    QString problem; ///< why there is no sound, when create or read is missing
};
SoundModule loadSoundModule();

/// Gives the heap that decoding left free back to the system.
void trimFreedMemory();

} // namespace forms
