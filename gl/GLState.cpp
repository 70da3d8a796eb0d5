#include "gl/GLState.h"

void SwitchGLCapability(GLenum capability, bool on)
{
    if (!GLEntryPointsLoaded())
        return;
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}
