#include <gtest/gtest.h>

#include <fstream>

#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

using testutil::ErrorOf;

namespace {

// A scene with material, texture and mesh lists over a folder of models.
struct MeshScene {
    TMainScene scene;
    TSceneMaterialList* materials = new TSceneMaterialList();
    TSceneTextureList* textures = new TSceneTextureList();
    TSceneMeshList* meshes = new TSceneMeshList();
    testutil::ScratchDir scratch;
    std::string dir;

    explicit MeshScene(const std::string& name) : scratch("scene_mesh_" + name), dir(scratch.Dir())
    {
        materials->StoreName("Materials");
        textures->StoreName("Textures");
        meshes->StoreName("Meshes");
        scene.AddItem(materials);
        scene.AddItem(textures);
        scene.AddItem(meshes);
        meshes->Materials = materials;
        meshes->Textures = textures;
        meshes->Path = dir;
        textures->Path = dir;
    }

    TSceneMesh* Mesh(const std::string& model)
    {
        std::ofstream(dir + "m.3dm", std::ios::binary) << model;
        auto* mesh = new TSceneMesh();
        mesh->StoreName("M" + std::to_string(meshes->GetCount()));
        meshes->AddItem(mesh);
        mesh->SetSourceName("m.3dm");
        mesh->EnsureBuilt();
        return mesh;
    }
};

std::string Std(const std::string& name, int opacity = 100)
{
    return "#MaterialStandard 4\nName " + name + "\nDiffuse (color 255 255 255)\nOpacity " + std::to_string(opacity) +
           "\nDiffuseMap undefined\n";
}

} // namespace

TEST(SceneMeshBuild, GroupsFollowFirstUseOfMaterialNumbers)
{
    MeshScene s("groups");
    const std::string model =
        "#MaterialMultiSubObject 2\nName Multi\nNumSubs 2\n" + Std("A") + Std("B") +
        "#Object 1\nName O\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n"
        "#VertexFaces 4\n[1,2,3]\n[1,2,3]\n[1,2,3]\n[1,2,3]\n#FaceMatID 4\n3\n1\n3\n2\n#Material 1\nName Multi\n";
    TSceneMesh* mesh = s.Mesh(model);
    auto* multi = dynamic_cast<TSceneMaterial*>(s.materials->FindChild("Multi"));
    ASSERT_NE(multi, nullptr);
    ASSERT_EQ(multi->GroupCount(), 2);
    ASSERT_EQ(mesh->OpaqueGroups().size(), 3u);
    // Numbers 3, 1, 2 in order of first use; 3 and 2 both use the last group.
    EXPECT_EQ(mesh->OpaqueGroups()[0]->MaterialGroup, multi->GetGroup(1));
    EXPECT_EQ(mesh->OpaqueGroups()[1]->MaterialGroup, multi->GetGroup(0));
    EXPECT_EQ(mesh->OpaqueGroups()[2]->MaterialGroup, multi->GetGroup(1));
    EXPECT_EQ(mesh->OpaqueGroups()[0]->Primitive->Indices.Count(), 6);  // two faces of number 3
    EXPECT_TRUE(mesh->Built());
}

// An additive material (opacity type 2) is drawn in the blended pass even at
// full opacity, so that it is added over what the opaque pass drew.
TEST(SceneMeshBuild, AdditiveMaterialsAreDrawnBlended)
{
    MeshScene s("additive");
    const std::string tri = "#Object 1\nName O\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n#VertexFaces 1\n[1,2,3]\n"
                            "#FaceMatID 1\n1\n#Material 1\nName ";
    TSceneMesh* glow = s.Mesh("#MaterialStandard 5\nName Glow\nOpacityType 2\nOpacity 100\n"
                              "Diffuse (color 255 255 255)\nDiffuseMap undefined\n" + tri + "Glow\n");
    ASSERT_EQ(glow->AlphaGroups().size(), 1u);
    EXPECT_TRUE(glow->AlphaGroups()[0]->MaterialGroup->Additive);
    EXPECT_TRUE(glow->Alpha);
    TSceneMesh* plain = s.Mesh(Std("Plain") + tri + "Plain\n");
    ASSERT_EQ(plain->OpaqueGroups().size(), 1u);
    EXPECT_FALSE(plain->OpaqueGroups()[0]->MaterialGroup->Additive);
}

TEST(SceneMeshBuild, VerticesAreSharedOnlyWithTheSameTextureCoordinates)
{
    MeshScene s("dedup");
    const std::string head = Std("Mat") +
                             "#Object 1\nName O\n#Vertices 4\n[0,0,0]\n[1,0,0]\n[1,1,0]\n[0,1,0]\n"
                             "#TextureCoords 5\n[0,0]\n[1,0]\n[1,1]\n[0,1]\n[0.5,0.5]\n"
                             "#VertexFaces 2\n[1,2,3]\n[1,3,4]\n";
    // Shared corners 1 and 3 with different coordinates in the second face.
    TSceneMesh* split = s.Mesh(head + "#TextureCoordFaces 2\n[1,2,3]\n[5,5,4]\n#FaceMatID 2\n1\n1\n#Material 1\nName Mat\n");
    EXPECT_EQ(split->OpaqueGroups()[0]->Primitive->Vertices.Count(), 6);
    // Same coordinate numbers: shared.
    TSceneMesh* shared = s.Mesh(head + "#TextureCoordFaces 2\n[1,2,3]\n[1,3,4]\n#FaceMatID 2\n1\n1\n#Material 1\nName Mat\n");
    TGLPrimitive& p = *shared->OpaqueGroups()[0]->Primitive;
    EXPECT_EQ(p.Vertices.Count(), 4);
    EXPECT_EQ(p.Indices.GetIndex(3), 0);
    EXPECT_EQ(p.Indices.GetIndex(4), 2);
    EXPECT_EQ(p.GetTextureCoords(0).Count(), 4);
    // Equal u and v under a different number: shared too.
    TSceneMesh* sameUV = s.Mesh(Std("Mat") +
                                "#Object 1\nName O\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n"
                                "#TextureCoords 4\n[0,0]\n[1,0]\n[0,1]\n[0,0]\n"
                                "#VertexFaces 2\n[1,2,3]\n[1,2,3]\n#TextureCoordFaces 2\n[1,2,3]\n[4,2,3]\n"
                                "#FaceMatID 2\n1\n1\n#Material 1\nName Mat\n");
    EXPECT_EQ(sameUV->OpaqueGroups()[0]->Primitive->Vertices.Count(), 3);
    // Flat quad: every normal points along +Z.
    EXPECT_EQ(p.Normals.GetVector(0), (TGLVector{0, 0, 1}));
}

TEST(SceneMeshBuild, BadModelsGiveClearErrors)
{
    MeshScene s("bad");
    const std::string obj = "#Object 1\nName O\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n#VertexFaces 1\n";
    EXPECT_EQ(ErrorOf([&] { s.Mesh(Std("Mat") + obj + "[1,2,3]\n#FaceMatID 1\n1001\n#Material 1\nName Mat\n"); }),
              "T3DMMeshLoader.AddMesh: FaceID>1000");
    EXPECT_EQ(ErrorOf([&] { s.Mesh(Std("Mat") + obj + "[1,2,3]\n#FaceMatID 1\n1\n#Material 1\nName Other\n"); }),
              "TSceneMesh.AddGroup error: Material is not assigned!");
    EXPECT_NE(ErrorOf([&] { s.Mesh(Std("Mat") + obj + "[1,2,9]\n#FaceMatID 1\n1\n#Material 1\nName Mat\n"); })
                  .find("out of range"),
              std::string::npos);
    s.meshes->Textures = nullptr;
    EXPECT_NE(ErrorOf([&] { s.Mesh(Std("Mat") + obj + "[1,2,3]\n"); }).find("needs both Materials and Textures"),
              std::string::npos);
}

TEST(SceneMeshBuild, TransformAndTranslucency)
{
    MeshScene s("transform");
    TSceneMesh* mesh = s.Mesh(Std("Glass", 98) + Std("Solid", 99) +
                              "#Object 1\nName O\n#Vertices 3\n[1,2,3]\n[1,0,0]\n[0,1,0]\n#VertexFaces 1\n[1,2,3]\n"
                              "#Material 1\nName Glass\n#Transform 1\n(matrix3 [1,0,0] [0,1,0] [0,0,1] [10,0,0])\n"
                              "#Object 1\nName P\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n#VertexFaces 1\n[1,2,3]\n"
                              "#Material 1\nName Solid\n");
    ASSERT_EQ(mesh->AlphaGroups().size(), 1u);  // diffuse alpha 0.98
    ASSERT_EQ(mesh->OpaqueGroups().size(), 1u); // 0.99 counts as opaque
    EXPECT_TRUE(mesh->Alpha);
    EXPECT_TRUE(s.meshes->Alpha);
    // (1,2,3) moved by 10 along x, then (x, y, z) -> (x, z, -y).
    EXPECT_EQ(mesh->AlphaGroups()[0]->Primitive->Vertices.GetVector(0), (TGLVector{11, 3, -2}));
}

TEST(SceneMeshBuild, FramePositionInterpolatesBetweenFrames)
{
    MeshScene s("frames");
    std::string model = Std("Mat") + "#Object 1\nName O\n#Vertices 3\n[0,0,0]\n[1,0,0]\n[0,1,0]\n#VertexFaces 1\n"
                                     "[1,2,3]\n#Material 1\nName Mat\n#Animation 1\nLength 4\n#AnimMesh 0\n";
    for (int f = 0; f < 4; ++f)
        model += "Frame " + std::to_string(f) + "\n[" + std::to_string(f * 10) + ",0,0]\n[1,0,0]\n[0,1,0]\n";
    TSceneMesh* mesh = s.Mesh(model);
    TGLPrimitive& p = *mesh->OpaqueGroups()[0]->Primitive;
    ASSERT_EQ(mesh->OpaqueGroups()[0]->VertexFrames.size(), 4u);
    mesh->SetFramePosition(5.25f);
    EXPECT_FLOAT_EQ(mesh->FramePosition, 1.25f);
    EXPECT_FLOAT_EQ(p.Vertices.GetVector(0).X, 12.5f);  // frame 1 a quarter of the way to frame 2
    mesh->SetFramePosition(3.5f);
    EXPECT_FLOAT_EQ(p.Vertices.GetVector(0).X, 15.0f);  // the last frame blends into frame 0
    // FPS 6: a four-frame model cycles in 2/3 second.
    mesh->SetFramePosition(0);
    mesh->Animate(1.0f / 3.0f);
    EXPECT_NEAR(mesh->FramePosition, 2.0f, 1e-5);
}

TEST(SceneSprites, RectangleAndTextureCoordinates)
{
    MeshScene s("sprite");
    TBitmapImage img;
    img.Width = img.Height = 256;
    img.Pixels.assign(256u * 256u * 3u, 128);
    const auto bmp = EncodeBmp24(img);
    std::ofstream(s.dir + "clock.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    TSceneTexture* tex = s.textures->AddOpaqueTexture("clock.bmp", "clock.bmp");
    auto* mat = new TSceneMaterial();
    mat->StoreName("Plain");
    s.materials->AddItem(mat);
    mat->AddGroup();

    auto* sprite = new TSceneSprite();
    sprite->StoreName("Digit");
    s.meshes->AddItem(sprite);
    EXPECT_EQ(ErrorOf([&] { sprite->UpdateSpriteMesh(); }), "TSceneSprite.UpdateSpriteMesh error: Texture=nil!");
    sprite->Texture = tex;
    sprite->Material = mat;
    sprite->StartU = 36;
    sprite->StartV = 140;
    sprite->Width = 36;
    sprite->Height = 58;
    sprite->OriginX = 5;
    sprite->Color = TGLColorBytes{10, 20, 30, 40};
    sprite->UpdateSpriteMesh();
    const TGLPrimitive& p = *sprite->OpaqueGroups()[0]->Primitive;
    auto& tc = const_cast<TGLPrimitive&>(p).GetTextureCoords(0);
    EXPECT_FLOAT_EQ(tc.GetTexCoord(1).S, 36.0f / 255);
    EXPECT_FLOAT_EQ(tc.GetTexCoord(2).S, 71.0f / 255);
    EXPECT_FLOAT_EQ(tc.GetTexCoord(1).T, 58.0f / 255);
    EXPECT_FLOAT_EQ(tc.GetTexCoord(0).T, 115.0f / 255);
    EXPECT_EQ(p.Vertices.GetVector(0), (TGLVector{5, 57, 0}));
    EXPECT_EQ(p.Vertices.GetVector(2), (TGLVector{40, 0, 0}));
    ASSERT_EQ(p.Colors.Count(), 1);
    EXPECT_EQ(p.Colors.GetColor(0), (TGLColorBytes{10, 20, 30, 40}));
    ResetRenderStateCaches();
}

TEST(SceneLights, PresetsAndStyles)
{
    EXPECT_EQ(StrToLightStyle("ParallelPoint"), TLightStyle::ParallelPoint);
    EXPECT_EQ(StrToLightStyle("Parallel"), TLightStyle::Parallel);
    EXPECT_EQ(StrToLightStyle("parallel"), TLightStyle::Ambient); // names are case sensitive

    TMainLight orphan;
    EXPECT_EQ(ErrorOf([&] { orphan.CreateGLLight(); }), "TMainLight.CreateGLLight error: MainScene is nil!");

    TMainScene scene;
    auto* light = new TMainLight();
    light->StoreName("Light");
    scene.AddItem(light);
    light->CreateGLLight();
    EXPECT_TRUE(light->GLLight()->Infinite());
    EXPECT_EQ(light->GLLight()->Position(), (TGLVector{-1e37f, -1e37f, -1e37f}));
    light->SetLightStyle(TLightStyle::Point);
    EXPECT_FALSE(light->GLLight()->Infinite());
    EXPECT_FLOAT_EQ(light->GLLight()->SpotCutoff(), 180);

    // An Ambient light sets the light model's ambient and the shared colour.
    light->SetLightStyle(TLightStyle::Ambient);
    light->GLLight()->SetAmbient(TGLColor{0.25f, 0.5f, 0.75f, 1});
    light->Enable();
    EXPECT_EQ(SceneGLLights(&scene).Ambient(), (TGLColor{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(SharedCurrentColor(), (TGLColor{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(SceneGLLights(&scene).UsedSlots(), 0u);
    SharedCurrentColor() = TGLColor{1, 1, 1, 1};
    SceneGLLights(&scene).SetAmbient(TGLColor{0, 0, 0, 1});
}

TEST(SceneVisuals, OptionTextForms)
{
    const char* forms[] = {"[]", "[Position]", "[Rotation]", "[Position,Rotation]", "[Scale]", "[Position,Scale]",
                           "[Rotation,Scale]", "[Position,Rotation,Scale]"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(VisualOptionsToStr(static_cast<TVisualOptions>(i)), forms[i]);
        EXPECT_EQ(StrToVisualOptions(forms[i]), i);
    }
}
