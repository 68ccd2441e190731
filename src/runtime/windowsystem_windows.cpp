#include "windowsystem_p.h"

namespace forms {

bool windowManagerPresent()
{
    return true; // Windows sizes maximized windows itself
}

} // namespace forms
