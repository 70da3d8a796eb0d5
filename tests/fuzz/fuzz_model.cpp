// A .3dm model read and built into a scene mesh: the reader either fills the
// model or raises EPyrelumeError, and the mesh builder either makes its groups
// or raises; mesh building also runs after a raised read on what was read.
#include "scene/GLGraphics.h"
#include "tests/fuzz/FuzzUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::UseMemoryFiles();
    fuzz::MemoryFiles().clear();
    fuzz::SetMemoryFile("m.3dm", std::string_view(reinterpret_cast<const char*>(data), size));

    TMainScene scene;
    scene.SourceMode = 2;
    auto* materials = new TSceneMaterialList();
    auto* textures = new TSceneTextureList();
    auto* meshes = new TSceneMeshList();
    materials->StoreName("Materials");
    textures->StoreName("Textures");
    meshes->StoreName("Meshes");
    scene.AddItem(materials);
    scene.AddItem(textures);
    scene.AddItem(meshes);
    meshes->Materials = materials;
    meshes->Textures = textures;
    auto* mesh = new TSceneMesh();
    mesh->StoreName("M");
    meshes->AddItem(mesh);
    fuzz::Guarded([&] {
        mesh->SetSourceName("m.3dm");
        mesh->EnsureBuilt();
    });
    return 0;
}
