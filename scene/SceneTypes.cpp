#include "scene/GLGraphics.h"

void RegisterSceneTypes()
{
    AddSceneType<TMainItemList>("TMainItemList");
    AddSceneType<TMainObjectList>("TMainObjectList");
    AddSceneType<TMainScene>("TMainScene");
    AddSceneType<TResource>("TResource");
    AddSceneType<TSceneTexture>("TSceneTexture");
    AddSceneType<TSceneTextureList>("TSceneTextureList");
    AddSceneType<TSceneMaterial>("TSceneMaterial");
    AddSceneType<TSceneMaterialList>("TSceneMaterialList");
    AddSceneType<TSceneMesh>("TSceneMesh");
    AddSceneType<TSceneMeshList>("TSceneMeshList");
    AddSceneType<TMainVisualObject>("TMainVisualObject");
    AddSceneType<TMainVisualObjectList>("TMainVisualObjectList");
    AddSceneType<TMainLight>("TMainLight");
    AddSceneType<TSceneSprite>("TSceneSprite");
    AddSceneType<TMainSpriteList>("TMainSpriteList");
    AddSceneType<TSceneLayer>("TSceneLayer");
    AddSceneType<TSceneFont>("TSceneFont");
    AddSceneType<TSceneString>("TSceneString");
    AddSceneType<TSceneText>("TSceneText");
}
