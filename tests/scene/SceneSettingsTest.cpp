#include <gtest/gtest.h>

#include <map>

#include "scene/GLGraphics.h"

namespace {

class TMapStore : public TSceneSettingsStore {
public:
    std::map<std::string, std::string> values;
    std::string ReadString(const std::string& n, const std::string& d) override
    {
        auto it = values.find(n);
        return it == values.end() ? d : it->second;
    }
    bool ReadBool(const std::string& n, bool d) override
    {
        auto it = values.find(n);
        return it == values.end() ? d : it->second != "0";
    }
    int ReadInteger(const std::string& n, int d) override
    {
        auto it = values.find(n);
        return it == values.end() ? d : std::stoi(it->second);
    }
    void WriteString(const std::string& n, const std::string& v) override { values[n] = v; }
    void WriteBool(const std::string& n, bool v) override { values[n] = v ? "-1" : "0"; }
    void WriteInteger(const std::string& n, int v) override { values[n] = std::to_string(v); }
};

} // namespace

TEST(SceneSettings, TextureAndMeshListsReadAndWriteTheirKeys)
{
    TMapStore store;
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

    store.values = {{"Textures Quality", "Low"}, {"Textures ColorBit", "32bit"}, {"GuardsIndex", "1"},
                    {"ModelsIndex", "1"}, {"FireGuardA.jpg LoadFromFile", "0"}};
    scene.ReadSettings();
    EXPECT_EQ(textures->Quality, TTextureQuality::Low);
    EXPECT_EQ(textures->ColorBit, TTextureColorBit::Bit32);
    EXPECT_EQ(guard->TextureName, "G2.jpg");
    EXPECT_EQ(guard->AlphaName, "G2A.jpg");
    EXPECT_EQ(mesh->SourceName, "Two.3dm");

    store.values.clear();
    scene.WriteSettings();
    EXPECT_EQ(store.values["Textures Quality"], "Low");
    EXPECT_EQ(store.values["Textures ColorBit"], "32bit");
    EXPECT_EQ(store.values["Textures MipMap"], "0");
    EXPECT_EQ(store.values["GuardsIndex"], "1");
    EXPECT_EQ(store.values["ModelsIndex"], "1");
    EXPECT_EQ(store.values["FireGuardA.jpg LoadFromFile"], "0");
    EXPECT_EQ(store.values.count("FireGuardA.jpg TextureName"), 0u);
}
