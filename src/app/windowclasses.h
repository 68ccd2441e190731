#pragma once

#include "runtime/application.h"

namespace QuorbelAlphabet {

/// The program as the runtime starts it: its name, its start-up frame and the table of its six
/// window classes, the one place that lists the windows.
const forms::ProjectDescription &project();

} // namespace QuorbelAlphabet
