#pragma once
// The scene graph: object model and type table, description loader, textures,
// materials, meshes and sprites, visual objects, lights and layers.
#include "scene/SceneFonts.h"
#include "scene/SceneImages.h"
#include "scene/SceneLoader.h"
#include "scene/SceneMeshes.h"
#include "scene/SceneObjects.h"
#include "scene/SceneRender.h"
#include "scene/SceneTextures.h"
#include "scene/SceneVisuals.h"
