#include <gtest/gtest.h>

#include <fstream>

#include "assets/Streams.h"
#include "gl/Errors.h"
#include "gl/GLClasses.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

using testutil::ErrorOf;

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

std::unique_ptr<TResourceLoader> LoaderFor(const std::vector<std::string>& lines, const std::string& section = "S")
{
    auto l = std::make_unique<TResourceLoader>();
    l->OpenFromLines(lines);
    l->Section = section;
    return l;
}

// Loads a description file (written first when text is given) into a new scene.
std::unique_ptr<TMainScene> LoadScene(const std::string& dir, const std::string& text, const std::string& name = "scene.gsc")
{
    if (!text.empty())
        std::ofstream(dir + name, std::ios::binary) << text;
    auto scene = std::make_unique<TMainScene>();
    scene->Types = &GraphTypes();
    scene->Path = dir;
    scene->SourceName = name;
    scene->LoadFromSource();
    return scene;
}

std::vector<std::string> Tree(TMainScene& scene)
{
    std::vector<std::string> out;
    std::function<void(TMainList&)> walk = [&](TMainList& list) {
        for (int i = 0; i < list.GetCount(); ++i) {
            auto* o = dynamic_cast<TMainObject*>(list.GetItem(i));
            if (!o)
                continue;
            out.push_back(RefferenceToStr(&scene, o) + " " + std::string(o->ClassName()));
            if (auto* r = dynamic_cast<TResource*>(o))
                walk(*r);
        }
    };
    walk(scene);
    return out;
}

} // namespace

TEST(SceneLoaderValues, BooleansIntegersAndFloats)
{
    auto lp = LoaderFor({"[S]", "A=2", "B=abc", "C=1;", "D=0", "I= 42 ", "F=1.5", "G=1,5", "H=-3e2"});
    auto& l = *lp;
    EXPECT_TRUE(l.ReadBool("A", false));
    EXPECT_TRUE(l.ReadBool("B", true));
    EXPECT_FALSE(l.ReadBool("B", false));
    EXPECT_TRUE(l.ReadBool("C", true));  // stray semicolon: default
    EXPECT_FALSE(l.ReadBool("C", false));
    EXPECT_FALSE(l.ReadBool("D", true));
    EXPECT_TRUE(l.ReadBool("Missing", true));
    EXPECT_EQ(l.ReadInteger("I", 0), 42);
    EXPECT_EQ(l.ReadInteger("F", 7), 7);
    EXPECT_FLOAT_EQ(l.ReadFloat("F", 0), 1.5f);
    EXPECT_FLOAT_EQ(l.ReadFloat("G", 9), 9.0f);  // "," is not the decimal separator
    EXPECT_FLOAT_EQ(l.ReadFloat("H", 0), -300.0f);
}

TEST(SceneLoaderValues, TextsColoursVectorsAndFileNames)
{
    auto lp = LoaderFor({"[S]", "Empty=", "T=Some text", "C=1,0", "V=5", "B=255,128,0", "N=Front.jpg",
                        "P=.\\Other\\Back.jpg"});
    auto& l = *lp;
    EXPECT_EQ(l.ReadString("Empty", "def"), " ");
    EXPECT_EQ(l.ReadString("T", ""), "Some text");
    EXPECT_EQ(l.ReadString("Missing", "def"), "def");
    EXPECT_EQ(l.ReadColor("C", {}), (TGLColor{1, 0, 1, 1}));
    EXPECT_EQ(l.ReadColor("Missing", {0.5f, 0.5f, 0.5f, 0.5f}), (TGLColor{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(l.ReadVector("V", {9, 9, 9}), (TGLVector{5, 0, 0}));
    const TGLColorBytes b = l.ReadByteColor("B", {});
    EXPECT_EQ(b, (TGLColorBytes{255, 128, 0, 255}));
    EXPECT_EQ(l.ReadFileName("N", ".\\Data\\"), ".\\Data\\Front.jpg");
    EXPECT_EQ(l.ReadFileName("P", ".\\Data\\"), ".\\Other\\Back.jpg");
    EXPECT_EQ(l.ReadFileName("Empty", ".\\Data\\"), "");
    EXPECT_EQ(l.ReadFileName("Missing", ".\\Data\\"), "");
}

TEST(SceneLoaderValues, IniRulesCaseFirstOccurrenceCommentsAndBlanks)
{
    auto lp = LoaderFor({"Stray=1", "  [ s ]  ", "; Key=9", "//Key=8", "  Key  =  first value ", "key=second",
                        "[S]", "Other=1"},
                       "s");
    auto& l = *lp;
    EXPECT_EQ(l.ReadString("KEY", ""), "first value");
    EXPECT_EQ(l.ReadInteger("Other", 0), 0);  // the repeated section adds nothing
    EXPECT_EQ(l.ReadString("Stray", "none"), "none");
    EXPECT_EQ(l.ReadInteger("//Key", 0), 8);  // a key of its own, which no type reads
}

TEST(SceneLoaderValues, ReferencesResolveFromTheRootAndKeepPreviousWhenMissing)
{
    TMainScene scene;
    auto* list = new TSceneMaterialList();
    list->StoreName("Materials");
    scene.AddItem(list);
    auto* flame = new TSceneMaterial();
    flame->StoreName("Flame");
    list->AddItem(flame);
    auto lp = LoaderFor({"[S]", "Good=Materials/Flame", "Bad=Materials/flame"});
    auto& l = *lp;
    l.MainScene = &scene;
    TMainObject previous;
    EXPECT_EQ(l.ReadReference("Good", nullptr), flame);
    EXPECT_EQ(l.ReadReference("Bad", &previous), nullptr);
    EXPECT_EQ(l.ReadReference("Missing", &previous), &previous);
}

TEST(SceneLoaderWalk, ErrorsNameTheSection)
{
    testutil::ScratchDir scratch("scene_errors");
    const std::string dir = scratch.Dir();
    EXPECT_EQ(ErrorOf([&] { LoadScene(dir, "[MainScene]\nCount=2\n[MainScene1]\nType=TResource\nName=A\n"); }),
              "TResourceLoader.CreateObject error: Unknown Object Type! for MainScene2");
    EXPECT_EQ(ErrorOf([&] { LoadScene(dir, "[MainScene]\nCount=1\n[MainScene1]\nType=TResource\n"); }),
              "TResourceLoader.CreateObject error: Empty Object Name! for MainScene1");
    EXPECT_EQ(ErrorOf([&] { LoadScene(dir, "[MainScene]\nCount=1\n[MainScene1]\nType=TNoSuch\nName=X\n"); }),
              "TResourceLoader.CreateObject error: Object not created! for MainScene1 Type: TNoSuch Name: X");
}

TEST(SceneLoaderWalk, ContainersAndSourcesAlreadyBeingReadAreRefused)
{
    testutil::ScratchDir scratch("scene_cycles");
    const std::string dir = scratch.Dir();
    // A child named like its parent would read the parent's own sections again.
    EXPECT_NE(ErrorOf([&] {
                  LoadScene(dir, "[MainScene]\nCount=1\n[MainScene1]\nType=TResource\nName=Box\nCount=1\n"
                                 "[Box1]\nType=TResource\nName=box\nCount=1\n");
              }).find("Container \"box\" is already being read (section Box1)"),
              std::string::npos);
    // A source file that names itself.
    std::ofstream(dir + "loop.gsc", std::ios::binary)
        << "[Loop]\nCount=1\n[Loop1]\nType=TResource\nName=Loop\nPath=" + dir + "\nSourceName=loop.gsc\n";
    const std::string loop = ErrorOf([&] {
        LoadScene(dir, "[MainScene]\nCount=1\n[MainScene1]\nType=TResource\nName=Loop\nPath=" + dir +
                           "\nSourceName=loop.gsc\n");
    });
    EXPECT_NE(loop.find("TResource.LoadFromSource error: Source file " + dir + "loop.gsc"), std::string::npos) << loop;
    EXPECT_NE(loop.find("is already being read"), std::string::npos) << loop;
}

TEST(SceneLoaderWalk, CountLimitsChildrenAndTypeNamesIgnoreCase)
{
    testutil::ScratchDir scratch("scene_count");
    const std::string dir = scratch.Dir();
    auto scene = LoadScene(dir, "[MainScene]\nCount=1\n"
                                "[MainScene1]\nType=tresource\nName=Box\nCount=1\nPath=.\\Sub\\\n"
                                "[Box1]\nType=TSCENEMATERIAL\nName=M\n"
                                "[MainScene2]\nType=TResource\nName=Never\n");
    EXPECT_EQ(Tree(*scene), (std::vector<std::string>{"Box TResource", "Box/M TSceneMaterial"}));
    EXPECT_EQ(dynamic_cast<TResource*>(scene->FindObject("Box"))->Path, ".\\Sub\\");
}

TEST(SceneLoaderWalk, MissingArchiveMemberGivesAnEmptySceneAMissingDiskFileRaises)
{
    TMainScene scene;
    scene.SourceMode = 2;
    scene.SourceName = "no-such-member-anywhere.gsc";
    scene.LoadFromSource();
    EXPECT_EQ(scene.GetCount(), 0);

    testutil::ScratchDir scratch("scene_missing");
    EXPECT_THROW(LoadScene(scratch.Dir(), "", "absent.gsc"), EPyrelumeError);
}

TEST(SceneLoaderWalk, SaveAndLoadRoundTrip)
{
    testutil::ScratchDir scratch("scene_roundtrip");
    const std::string dir = scratch.Dir();
    const std::string text =
        "[MainScene]\nCount=5\n"
        "[MainScene1]\nType=TSceneTextureList\nName=Textures\nQuality=Medium\nColorBit=16bit\nCount=2\n"
        "[Textures1]\nType=TSceneTexture\nName=Front.jpg\nTextureName=Front.jpg\n"
        "[Textures2]\nType=TSceneTexture\nName=Guard.jpg\nTextureName=Guard.jpg\nAlphaName=GuardA.bmp\n"
        "[MainScene2]\nType=TSceneMaterialList\nName=Materials\nCount=1\n"
        "[Materials1]\nType=TSceneMaterial\nName=Flame\nCount=2\nDiffuse1=1,0.5,0,0.5\nShininess2=12.5\nBack2=1\n"
        "[MainScene3]\nType=TMainLight\nName=Light\nProcessOptions=[Render]\nLightStyle=Point\n"
        "Position=0,100,50\nDiffuse=1,0.9,0.8,1\n"
        "[MainScene4]\nType=TSceneMeshList\nName=Meshes\nMaterials=Materials\nTextures=Textures\nCount=1\n"
        "[Meshes1]\nType=TSceneMesh\nName=Fireplace1\nSourceName=Fireplace1.3dm\nMaterial=Materials/Flame\nFPS=12\n"
        "[MainScene5]\nType=TMainVisualObject\nName=Fireplace\nProcessOptions=[Render,Animation]\n"
        "Visual=Meshes/Fireplace1\nPosition=10,0,0\nAlpha=1\n";
    auto scene = LoadScene(dir, text);
    const auto tree = Tree(*scene);
    ASSERT_EQ(tree.size(), 9u);

    scene->SourceName = "saved.gsc";
    scene->SaveToSource();
    auto again = LoadScene(dir, "", "saved.gsc");
    EXPECT_EQ(Tree(*again), tree);

    auto* list = dynamic_cast<TSceneTextureList*>(again->FindObject("Textures"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Quality, TTextureQuality::Medium);
    EXPECT_EQ(list->ColorBit, TTextureColorBit::Bit16);
    auto* guard = dynamic_cast<TSceneTexture*>(again->FindObject("Textures/Guard.jpg"));
    ASSERT_NE(guard, nullptr);
    EXPECT_EQ(guard->Format, TTextureFormat::Alpha);
    EXPECT_EQ(ExtractFileName(guard->AlphaName), "GuardA.bmp");
    auto* flame = dynamic_cast<TSceneMaterial*>(again->FindObject("Materials/Flame"));
    ASSERT_NE(flame, nullptr);
    ASSERT_EQ(flame->GroupCount(), 2);
    EXPECT_TRUE(flame->GetGroup(0)->Translucent());
    EXPECT_TRUE(flame->GetGroup(1)->GLMaterial()->Back());
    EXPECT_FLOAT_EQ(flame->GetGroup(1)->GLMaterial()->Shininess(), 12.5f);
    auto* light = dynamic_cast<TMainLight*>(again->FindObject("Light"));
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->LightStyle, TLightStyle::Point);
    EXPECT_EQ(light->GLLight()->Position(), (TGLVector{0, 100, 50}));
    EXPECT_EQ(again->RenderList.GetCount(), 2);
    auto* vis = dynamic_cast<TMainVisualObject*>(again->FindObject("Fireplace"));
    ASSERT_NE(vis, nullptr);
    EXPECT_EQ(vis->Visual, again->FindObject("Meshes/Fireplace1"));
    EXPECT_TRUE(vis->Alpha);
    auto* mesh = dynamic_cast<TSceneMesh*>(vis->Visual);
    EXPECT_FLOAT_EQ(mesh->FPS, 12.0f);
    EXPECT_EQ(mesh->Material, flame);
    auto* meshes = dynamic_cast<TSceneMeshList*>(again->FindObject("Meshes"));
    EXPECT_EQ(meshes->Textures, list);

    // A second save writes the same text.
    again->SourceName = "saved2.gsc";
    again->SaveToSource();
    EXPECT_EQ(ReadFileBytes(dir + "saved.gsc"), ReadFileBytes(dir + "saved2.gsc"));
}

TEST(SceneLoaderWalk, ScrambledFilesAreComplementedBothWays)
{
    testutil::ScratchDir scratch("scene_scrambled");
    const std::string dir = scratch.Dir();
    TMainScene scene;
    scene.Path = dir;
    scene.SourceName = "s.gsc";
    scene.Scrambled = true;
    auto* r = new TResource();
    r->StoreName("Box");
    scene.AddItem(r);
    scene.SaveToSource();
    const auto bytes = ReadFileBytes(dir + "s.gsc");
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], static_cast<std::uint8_t>(~'['));

    TMainScene back;
    back.Types = &GraphTypes();
    back.Path = dir;
    back.SourceName = "s.gsc";
    back.Scrambled = true;
    back.LoadFromSource();
    EXPECT_NE(back.FindObject("Box"), nullptr);
}

TEST(SceneLoaderWalk, ChildResourceWithItsOwnSourceFile)
{
    testutil::ScratchDir scratch("scene_subsource");
    const std::string dir = scratch.Dir();
    std::ofstream(dir + "clock.gsc") << "[Clock]\nCount=1\n[Clock1]\nType=TSceneMaterial\nName=Digits\n";
    auto scene = LoadScene(dir, "[MainScene]\nCount=1\n[MainScene1]\nType=TResource\nName=Clock\nPath=" + dir +
                                    "\nSourceName=clock.gsc\n");
    EXPECT_NE(scene->FindObject("Clock/Digits"), nullptr);
}
