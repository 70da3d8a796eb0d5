#include <gtest/gtest.h>

#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

TEST(SceneSettings, TextureAndMeshListsReadAndWriteTheirKeys)
{
    testutil::MemorySettings<TSceneSettingsStore> store;
    TMainScene scene;
    scene.Settings = &store;
    auto* textures = new TSceneTextureList();
    textures->StoreName("Textures");
    scene.AddItem(textures);
    auto* guard = new TSceneTexture();
    guard->StoreName("FireGuardA.jpg");
    textures->AddItem(guard);
    guard->AlphaName = "a";
    guard->FileListName = ".\\Scenes\\Guards.txt";
    guard->FileList = {"G1.jpg", "G1A.jpg", "G2.jpg", "G2A.jpg"};
    auto* meshes = new TSceneMeshList();
    meshes->StoreName("Meshes");
    scene.AddItem(meshes);
    auto* mesh = new TSceneMesh();
    mesh->StoreName("Fireplace1");
    meshes->AddItem(mesh);
    mesh->FileListName = "Models.txt";
    mesh->FileList = {"One.3dm", "Two.3dm"};

    store.Values = {{"Textures Quality", "Low"}, {"Textures ColorBit", "32bit"}, {"GuardsIndex", "1"},
                    {"ModelsIndex", "1"}, {"FireGuardA.jpg LoadFromFile", "0"}};
    scene.ReadSettings();
    EXPECT_EQ(textures->Quality, TTextureQuality::Low);
    EXPECT_EQ(textures->ColorBit, TTextureColorBit::Bit32);
    EXPECT_EQ(guard->TextureName, "G2.jpg");
    EXPECT_EQ(guard->AlphaName, "G2A.jpg");
    EXPECT_EQ(mesh->SourceName, "Two.3dm");

    store.Values.clear();
    scene.WriteSettings();
    EXPECT_EQ(store.Values["Textures Quality"], "Low");
    EXPECT_EQ(store.Values["Textures ColorBit"], "32bit");
    EXPECT_EQ(store.Values["Textures MipMap"], "0");
    EXPECT_EQ(store.Values["GuardsIndex"], "1");
    EXPECT_EQ(store.Values["ModelsIndex"], "1");
    EXPECT_EQ(store.Values["FireGuardA.jpg LoadFromFile"], "0");
    EXPECT_EQ(store.Values.count("FireGuardA.jpg TextureName"), 0u);
}
