#pragma once
// Switching one GL capability (glEnable / glDisable). Without loaded entry
// points it does nothing, so state set up before a context exists, or after
// it is gone, is harmless.
#include "gl/GLApi.h"

void SwitchGLCapability(GLenum capability, bool on);
