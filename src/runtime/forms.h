#pragma once

// What a window of the program uses of the runtime.

#include "runtime/application.h"
#include "runtime/form.h"
#include "runtime/integer.h"
#include "runtime/layout.h"
#include "runtime/picture.h"
#include "runtime/runtimeerror.h"
#include "runtime/sound.h"
#include "runtime/text.h"
