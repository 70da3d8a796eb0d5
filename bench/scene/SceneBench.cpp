// Loading a scene from an archive, building a 10,000-face mesh, one headless frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "assets/ArchiveWriter.h"
#include "assets/File3DM.h"
#include "assets/ResourceFile.h"
#include "gl/GLClasses.h"
#include "platform/HeadlessGL.h"
#include "scene/GLGraphics.h"

namespace {

// The scene graph's own types, for loading descriptions.
const TSceneTypeTable& GraphTypes()
{
    static const TSceneTypeTable types = [] {
        TSceneTypeTable t;
        RegisterSceneTypes(t);
        return t;
    }();
    return types;
}

std::string Dir()
{
    static const std::string dir = [] {
        auto d = std::filesystem::temp_directory_path() / "pyr_scene_bench";
        std::filesystem::create_directories(d);
        return d.string() + "/";
    }();
    return dir;
}

std::vector<std::uint8_t> Bytes(const std::string& s)
{
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

// A grid model of cols x rows quads (two faces each), textured, in the z = 0 plane.
std::string GridModel(int cols, int rows, const std::string& texture)
{
    std::string m = "#MaterialStandard 5\nName Grid\nAmbient (color 255 255 255)\nDiffuse (color 255 255 255)\n"
                    "Opacity 100\nDiffuseMap " + texture + "\n";
    const int vc = (cols + 1) * (rows + 1);
    m += "#Object 1\nName Grid\n#Vertices " + std::to_string(vc) + "\n";
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= cols; ++x)
            m += "[" + std::to_string(x * 2 - cols) + "," + std::to_string(y * 2 + 40) + ",0]\n";
    m += "#TextureCoords " + std::to_string(vc) + "\n";
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= cols; ++x)
            m += "[" + std::to_string(float(x) / cols) + "," + std::to_string(float(y) / rows) + "]\n";
    std::string faces;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const int a = y * (cols + 1) + x + 1, b = a + 1, c = a + cols + 2, d = a + cols + 1;
            faces += "[" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "]\n";
            faces += "[" + std::to_string(a) + "," + std::to_string(c) + "," + std::to_string(d) + "]\n";
        }
    const int fc = cols * rows * 2;
    m += "#VertexFaces " + std::to_string(fc) + "\n" + faces;
    m += "#TextureCoordFaces " + std::to_string(fc) + "\n" + faces;
    m += "#FaceMatID " + std::to_string(fc) + "\n";
    for (int i = 0; i < fc; ++i)
        m += "1\n";
    m += "#Material 1\nName Grid\n";
    return m;
}

std::vector<std::uint8_t> TextureBmp(int side)
{
    TBitmapImage img;
    img.Width = img.Height = side;
    img.Pixels.resize(static_cast<std::size_t>(side * side * 3));
    for (std::size_t i = 0; i < img.Pixels.size(); ++i)
        img.Pixels[i] = static_cast<std::uint8_t>(i * 7);
    return EncodeBmp24(img);
}

// A description like the fireplace's: textures, materials, meshes, a light,
// visual objects and a sprite layer of 22 sprites.
std::string SceneText()
{
    std::string s = "[MainScene]\nCount=6\n"
                    "[MainScene1]\nType=TSceneTextureList\nName=Textures\nCount=6\n";
    for (int i = 1; i <= 6; ++i)
        s += "[Textures" + std::to_string(i) + "]\nType=TSceneTexture\nName=T" + std::to_string(i) +
             ".bmp\nTextureName=T" + std::to_string(i) + ".bmp\n";
    s += "[MainScene2]\nType=TSceneMaterialList\nName=Materials\nCount=1\n"
         "[Materials1]\nType=TSceneMaterial\nName=Plain\nCount=1\n"
         "[MainScene3]\nType=TSceneMeshList\nName=Meshes\nMaterials=Materials\nTextures=Textures\nCount=23\n"
         "[Meshes1]\nType=TSceneMesh\nName=Grid\nSourceName=grid.3dm\n";
    for (int i = 2; i <= 23; ++i)
        s += "[Meshes" + std::to_string(i) + "]\nType=TSceneSprite\nName=S" + std::to_string(i) +
             "\nMaterial=Materials/Plain\nTexture=Textures/T1.bmp\nWidth=32\nHeight=32\nStartU=" +
             std::to_string(i * 8) + "\n";
    s += "[MainScene4]\nType=TMainLight\nName=Light\nProcessOptions=[Render]\nLightStyle=Parallel\n"
         "Direction=0,-1,-1\n"
         "[MainScene5]\nType=TMainVisualObject\nName=Fire\nProcessOptions=[Render,Animation]\nVisual=Meshes/Grid\n"
         "[MainScene6]\nType=TMainSpriteList\nName=Overlay\nProcessOptions=[Render]\nCount=22\n";
    for (int i = 1; i <= 22; ++i)
        s += "[Overlay" + std::to_string(i) + "]\nType=TMainVisualObject\nName=V" + std::to_string(i) +
             "\nVisual=Meshes/S" + std::to_string(i + 1) + "\nPosition=" + std::to_string(i * 40) + ",20,0\n";
    return s;
}

const std::string& ArchivePath()
{
    static const std::string path = [] {
        TResourceArchiveWriter w;
        w.Add("pyrelume.gsc", Bytes(SceneText()));
        w.Add("grid.3dm", Bytes(GridModel(50, 50, "T1.bmp")));
        for (int i = 1; i <= 6; ++i)
            w.Add("T" + std::to_string(i) + ".bmp", TextureBmp(256));
        const std::string p = Dir() + "bench.rfa";
        const auto bytes = w.SaveToBytes();
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
        return p;
    }();
    return path;
}

std::unique_ptr<TMainScene> LoadArchiveScene(TCustomOpenGL* gl)
{
    TResourceFileReader& reader = ResourceReader();
    reader.Source = ReadSource::ArchiveFile;
    reader.ArchiveName = ArchivePath();
    auto scene = std::make_unique<TMainScene>();
    scene->OpenGL = gl;
    scene->Types = &GraphTypes();
    scene->SourceMode = 2;
    scene->SourceName = "pyrelume.gsc";
    scene->LoadFromSource();
    return scene;
}

// The description, every texture decoded and the 5,000-face mesh built.
void BM_LoadSceneFromArchive(benchmark::State& state)
{
    for (auto _ : state) {
        auto scene = LoadArchiveScene(nullptr);
        auto* textures = dynamic_cast<TSceneTextureList*>(scene->FindObject("Textures"));
        for (int i = 0; i < textures->GetCount(); ++i)
            dynamic_cast<TSceneTexture*>(textures->GetItem(i))->EnsureLoaded();
        dynamic_cast<TSceneMesh*>(scene->FindObject("Meshes/Grid"))->EnsureBuilt();
        benchmark::DoNotOptimize(scene.get());
    }
}
BENCHMARK(BM_LoadSceneFromArchive)->Unit(benchmark::kMillisecond);

// Building the primitive of a 10,000-face model (already parsed).
void BM_BuildMesh10000Faces(benchmark::State& state)
{
    const std::string path = Dir() + "grid10k.3dm";
    std::ofstream(path, std::ios::binary) << GridModel(100, 50, "undefined");
    TMainScene scene;
    auto* materials = new TSceneMaterialList();
    materials->StoreName("Materials");
    auto* textures = new TSceneTextureList();
    textures->StoreName("Textures");
    auto* meshes = new TSceneMeshList();
    meshes->StoreName("Meshes");
    scene.AddItem(materials);
    scene.AddItem(textures);
    scene.AddItem(meshes);
    meshes->Materials = materials;
    meshes->Textures = textures;
    T3DMMeshLoader loader;
    loader.Path = Dir();
    loader.OpenFile("grid10k.3dm");
    loader.AddMaterials(*meshes);
    for (auto _ : state) {
        auto* mesh = new TSceneMesh();
        mesh->StoreName("Grid");
        meshes->AddItem(mesh);
        loader.AddMesh(*mesh, *meshes, loader.Model().Objects(0));
        benchmark::DoNotOptimize(mesh->OpaqueGroups().size());
        delete mesh;
    }
    state.counters["faces"] = 10000;
}
BENCHMARK(BM_BuildMesh10000Faces)->Unit(benchmark::kMillisecond);

// One frame of the archive scene at 640 x 480 through EGL (llvmpipe).
void BM_HeadlessFrame(benchmark::State& state)
{
    THeadlessGL headless(640, 480);
    if (!headless.Start()) {
        state.SkipWithError("EGL could not create an OpenGL context");
        return;
    }
    {
        auto scene = LoadArchiveScene(&headless.GL());
        TGLViewport* vp = headless.GL().Viewports().AddViewport();
        vp->SetRect(0, 0, 640, 480);
        vp->SetPerspective(39, 1.3333334f, 100, 10000);
        vp->Position = TGLVector{0, 105, 240};
        scene->ProcessFrame(0);  // first frame uploads textures and builds meshes
        for (auto _ : state) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            vp->Apply();
            headless.GL().SetCullFace(true);
            headless.GL().SetLighting(true);
            headless.GL().SetDepthTest(true);
            scene->ProcessFrame(1.0f / 60);
            glFinish();
        }
    }
}
BENCHMARK(BM_HeadlessFrame)->Unit(benchmark::kMillisecond);

} // namespace
