#include "scene/GLGraphics.h"

void RegisterSceneTypes(TSceneTypeTable& types)
{
    types.Add<TMainItemList>("TMainItemList");
    types.Add<TMainObjectList>("TMainObjectList");
    types.Add<TMainScene>("TMainScene");
    types.Add<TResource>("TResource");
    types.Add<TSceneTexture>("TSceneTexture");
    types.Add<TSceneTextureList>("TSceneTextureList");
    types.Add<TSceneMaterial>("TSceneMaterial");
    types.Add<TSceneMaterialList>("TSceneMaterialList");
    types.Add<TSceneMesh>("TSceneMesh");
    types.Add<TSceneMeshList>("TSceneMeshList");
    types.Add<TMainVisualObject>("TMainVisualObject");
    types.Add<TMainVisualObjectList>("TMainVisualObjectList");
    types.Add<TMainLight>("TMainLight");
    types.Add<TSceneSprite>("TSceneSprite");
    types.Add<TMainSpriteList>("TMainSpriteList");
    types.Add<TSceneLayer>("TSceneLayer");
    types.Add<TSceneFont>("TSceneFont");
    types.Add<TSceneString>("TSceneString");
    types.Add<TSceneText>("TSceneText");
}
