#include "soundmodule_p.h"

#include <malloc.h>

extern "C" forms::SoundOutput *quorbelSoundOutput();
extern "C" void quorbelReadClip(const QByteArray &bytes, forms::ClipSamples &clip,
                                QString &problem);

namespace forms {

SoundModule loadSoundModule()
{
    return {&quorbelSoundOutput, &quorbelReadClip, {}};
}

void trimFreedMemory()
{
    _heapmin();
}

} // namespace forms
