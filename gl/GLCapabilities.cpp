#include "gl/GLCapabilities.h"

#include "gl/Errors.h"

int IGLCapabilities::RaiseNotActive() { RaiseError("TCustomOpenGL", "GetInt", "OpenGL is not activated!"); }
