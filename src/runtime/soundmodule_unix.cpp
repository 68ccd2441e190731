#include "soundmodule_p.h"

#include <QCoreApplication>
#include <QLibrary>

#include <malloc.h>

namespace forms {

SoundModule loadSoundModule()
{
    QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/quorbel-sound"));
    SoundModule found;
    found.create = reinterpret_cast<SoundOutputFactory>(module.resolve(SoundModuleEntry));
    found.read = reinterpret_cast<ClipReader>(module.resolve(ClipReaderEntry));
    if (!found.create || !found.read)
        found.problem = module.errorString();
    return found;
}

void trimFreedMemory()
{
    malloc_trim(0);
}

} // namespace forms
