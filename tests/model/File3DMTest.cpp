#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/File3DM.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "gl/Random.h"
#include "tests/common/TestUtil.h"

namespace {

using testutil::ErrorOf;

// The smoke quad as the exporter writes it, with CR LF line ends.
const char* const kSmoke =
    "#Header 2\r\nExporter 3dm\r\nVersion 3\r\n#MaterialCount 1\r\nCount 7\r\n"
    "#MaterialStandard 17\r\nName Smoke01\r\nShaderType 1 Blinn\r\nFaceted false\r\nWireSize 1\r\n"
    "TwoSided True\r\nOpacityType 0\r\nOpacity 0.75\r\nselfIllumColor (color 0 0 0)\r\n"
    "Ambient (color 45.6662 16.6665 16.6665)\r\nDiffuse (color 255 128 64)\r\n"
    "Specular (color 229.5 229.5 229.5)\r\nSpecularLevel 0.5\r\nGlossiness 10\r\n"
    "DiffuseMap Smoke.jpg\r\nOpacityMap undefined\r\nBumpMap UNDEFINED\r\nReflectionMap undefined\r\n"
    "#Object 1\r\nName Smoke\r\n#Vertices 4\r\n[2.5,-2.5,0]\r\n[-2.5,-2.5,0]\r\n[2.5,2.5,0]\r\n"
    "[-2.5,2.5,0]\r\n\r\n#TextureCoords 4\r\n[0.9995,0.9995,0.5]\r\n[0.25,0.75]\r\n[0,1,0]\r\n"
    "[1,0,0]\r\n#VertexFaces 2\r\n[3,4,1]\r\n[2,3,1]\r\n#FaceMatID 2\r\n1\r\n1\r\n#Material 1\r\n"
    "Name Smoke01\r\n";

TEST(File3DM, SmokeQuad)
{
    T3DMFile f;
    f.LoadFromText(kSmoke);
    EXPECT_EQ(f.Version, 3);
    ASSERT_EQ(f.Count(), 1);
    const T3DMObject& o = f.Objects(0);
    EXPECT_EQ(o.Name, "Smoke");
    ASSERT_EQ(o.Vertices.Count(), 4);
    EXPECT_EQ(o.Vertices.Get(1), (T3DMVertex{2.5f, -2.5f, 0}));
    EXPECT_EQ(o.Vertices.Get(4), (T3DMVertex{-2.5f, 2.5f, 0}));
    ASSERT_EQ(o.VertexFaces.Count(), 2);
    EXPECT_EQ(o.VertexFaces.Items(0), (T3DMFace{3, 4, 1}));
    EXPECT_EQ(o.VertexFaces.Items(1), (T3DMFace{2, 3, 1}));
    EXPECT_EQ(o.FaceMatIDs, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(o.MaterialName, "Smoke01");
    EXPECT_TRUE(o.HasTextureCoords);
    EXPECT_FALSE(o.HasTransform);
    EXPECT_EQ(o.TextureCoords.Get(1), (T3DMTexCoord{0.9995f, 0.9995f}));
    EXPECT_EQ(o.TextureCoords.Get(2), (T3DMTexCoord{0.25f, 0.75f}));

    ASSERT_EQ(f.Materials.Count(), 1);
    auto* m = dynamic_cast<T3DMMaterialStandard*>(f.Materials.FindMaterial("SMOKE01"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->ShaderType, 1);
    EXPECT_FALSE(m->Faceted);
    EXPECT_TRUE(m->TwoSided);
    EXPECT_EQ(m->WireSize, 1);
    EXPECT_FLOAT_EQ(m->Opacity, 0.75f);
    EXPECT_EQ(m->Ambient, (T3DMColor{45.6662f, 16.6665f, 16.6665f}));
    EXPECT_EQ(m->Diffuse, (T3DMColor{255, 128, 64}));
    EXPECT_FLOAT_EQ(m->Glossiness, 10);
    EXPECT_EQ(m->DiffuseMap, "Smoke.jpg");
    EXPECT_EQ(m->OpacityMap, "");
    EXPECT_EQ(m->BumpMap, ""); // "UNDEFINED" in any case
}

TEST(File3DM, LineEndingsAndBlankLines)
{
    // LF-only and CR-only files read the same; a line of blanks is read (as an
    // empty line) and so counts as a section line, a line of zero length does not.
    T3DMFile lf, cr;
    lf.LoadFromText("#Object 1\nName A\n#Vertices 2\n\n[1,2,3]\n\n[4,5,6]\n");
    cr.LoadFromText("#Object 1\rName A\r#Vertices 2\r[1,2,3]\r[4,5,6]");
    ASSERT_EQ(lf.Objects(0).Vertices.Count(), 2);
    ASSERT_EQ(cr.Objects(0).Vertices.Count(), 2);
    EXPECT_EQ(cr.Objects(0).Vertices.Get(2), (T3DMVertex{4, 5, 6}));

    T3DMFile blank;
    EXPECT_EQ(ErrorOf([&] { blank.LoadFromText("#Object 1\nName A\n#Vertices 1\n   \n[1,2,3]\n"); }),
              "'' is not a valid floating point value");
    EXPECT_EQ(blank.Count(), 1);  // read until the error stays
}

TEST(File3DM, CommentLinesCountAsSectionLines)
{
    // 3 keys announced, a comment in between: the third key line is not read.
    T3DMFile f;
    f.LoadFromText("#MaterialStandard 3\n"
                   "Name Wall\n"
                   ";DiffuseMap Hidden.jpg\n"
                   "DiffuseMap Front.jpg\n"
                   "#Object 1\n"
                   ";Name Ignored\n");
    auto* m = dynamic_cast<T3DMMaterialStandard*>(f.Materials.FindMaterial("wall"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->DiffuseMap, "Front.jpg");  // within the three lines

    T3DMFile g;
    g.LoadFromText("#MaterialStandard 2\n"
                   ";comment\n"
                   "Name Wall\n"
                   "DiffuseMap Front.jpg\n");
    auto* w = dynamic_cast<T3DMMaterialStandard*>(g.Materials.FindMaterial("Wall"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->DiffuseMap, "");  // left unread by the comment
    // A comment line is never a tag line: the object's name key line is absent.
    ASSERT_EQ(f.Count(), 1);
    EXPECT_EQ(f.Objects(0).Name, "");
}

TEST(File3DM, FaceSectionsRepeatTheLastFaceAtEndOfFile)
{
    T3DMFile f;
    f.LoadFromText("#Object 1\nName A\n#VertexFaces 4\n[1,2,3]\n[4,5,6]\n");
    const T3DMObject& o = f.Objects(0);
    ASSERT_EQ(o.VertexFaces.Count(), 4);
    EXPECT_EQ(o.VertexFaces.Items(2), (T3DMFace{4, 5, 6}));
    EXPECT_EQ(o.VertexFaces.Items(3), (T3DMFace{4, 5, 6}));

    // Number sections stop quietly; counts are trusted, so a short section
    // swallows the next tag line (here as a malformed triple).
    T3DMFile shortVerts;
    shortVerts.LoadFromText("#Object 1\nName A\n#Vertices 9\n[0,0,0]\n[1,1,1]");
    EXPECT_EQ(shortVerts.Objects(0).Vertices.Count(), 2);
    EXPECT_EQ(ErrorOf([&] { shortVerts.LoadFromText("#Object 1\nName A\n#Vertices 2\n[0,0,0]\n#FaceMatID 1\n1\n"); }),
              "'#FaceMatID 1' is not a valid floating point value");

    T3DMFile none;
    none.LoadFromText("#Object 1\nName A\n#ColorFaces 2");
    ASSERT_EQ(none.Objects(0).ColorFaces.Count(), 2);
    EXPECT_EQ(none.Objects(0).ColorFaces.Items(1), (T3DMFace{0, 0, 0}));

    // An absurd count at the end of the file is damage, not a reason to fill memory.
    T3DMFile huge;
    EXPECT_EQ(ErrorOf([&] { huge.LoadFromText("#Object 1\nName A\n#VertexFaces 2000000000\n[1,2,3]\n"); }),
              "T3DMFile error: Face section announces 2000000000 faces but the file ends after 1");
}

TEST(File3DM, TransformColorsNormalsAndSkippedSections)
{
    T3DMFile f;
    f.LoadFromText("#Object 3\nClass Mesh\nName Guard\nIgnored line\n"
                   "#Transform 4\n"
                   "Position [0,0,0]\n"
                   "Rotation 90.0 [1,0,0]\n"
                   "Scale [1,-1,1]\n"
                   "(matrix3 [1,0,0] [0,0,1] [0,-1,0] [10.5,-2,3])\n"
                   "#Normals 1\n[0,0,1]\n"
                   "#Colors 1\n(color 45.6662 16.6665 1)\n"
                   "#Unknown 2\n#Vertices 5\nfoo\n"
                   "#TextureCoordFaces 1\n[1,1,1]\n");
    const T3DMObject& o = f.Objects(0);
    EXPECT_EQ(o.Name, "Guard");
    EXPECT_TRUE(o.HasTransform);
    EXPECT_EQ(o.MirrorFlags, 2u);
    const float expected[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 10.5f, -2, 3};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(o.Matrix[i], expected[i]) << i;
    EXPECT_TRUE(o.HasNormals);
    EXPECT_EQ(o.Normals.Get(1), (T3DMVertex{0, 0, 1}));
    EXPECT_TRUE(o.HasColors);
    EXPECT_EQ(o.Colors.Get(1), (T3DMColor{45.6662f, 16.6665f, 1}));
    EXPECT_EQ(o.Vertices.Count(), 0);  // "#Vertices 5" was inside the skipped section
    EXPECT_EQ(o.TextureCoordFaces.Count(), 1);

    T3DMFile mirror;
    mirror.LoadFromText("#Object 1\nName A\n#Transform 1\nScale [-1,-2,-3]\n");
    EXPECT_EQ(mirror.Objects(0).MirrorFlags, 7u);
}

TEST(File3DM, MultiMaterials)
{
    const char* text = "#MaterialMultiSubObject 2\nName Fireplace\nNumSubs 2\n"
                       "junk between\n"
                       "#MaterialStandard 1\nName Brick\n"
                       "#MaterialStandard 2\nName Stone\nFaceted True\n";
    T3DMFile f;
    f.LoadFromText(text);
    ASSERT_EQ(f.Materials.Count(), 1);
    auto* multi = dynamic_cast<T3DMMaterialMultiSubObject*>(&f.Materials.Items(0));
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->Name(), "Fireplace");
    ASSERT_EQ(multi->SubMaterials.Count(), 2);
    auto* stone = dynamic_cast<T3DMMaterialStandard*>(multi->SubMaterials.FindMaterial("stone"));
    ASSERT_NE(stone, nullptr);
    EXPECT_TRUE(stone->Faceted);
    EXPECT_EQ(f.Materials.FindMaterial("Brick"), nullptr);  // sub-materials are not in the file's list

    T3DMFile bad;
    EXPECT_EQ(ErrorOf([&] { bad.LoadFromText("#MaterialMultiSubObject 1\nNumSubs 1\n#Object 1\nName X\n"); }),
              "T3DMFile error: SubMaterial is not Standard");
    EXPECT_EQ(bad.Materials.Count(), 1);  // the multi-material read so far stays
}

TEST(File3DM, VertexFrameAnimation)
{
    T3DMFile f;
    f.LoadFromText("#Object 1\nName Flag\n#Vertices 2\n[0,0,0]\n[1,1,1]\n"
                   "#Animation 3\nLength 3\nLoop TRUE\nSpeed 5\n"
                   "#AnimMesh 0\nFrame 0\n[0,0,0]\n[1,1,1]\nFrame 1\n[2,2,2]\n[3,3,3]\nFrame 2\n[4,4,4]\n");
    const T3DMObject& o = f.Objects(0);
    ASSERT_EQ(o.Frames.Count(), 3);
    EXPECT_TRUE(o.Frames.Loop);
    EXPECT_EQ(o.Frames.Frames(1).Get(2), (T3DMVertex{3, 3, 3}));
    EXPECT_EQ(o.Frames.Frames(2).Count(), 1);  // ran out of lines quietly

    T3DMFile bad;
    EXPECT_EQ(ErrorOf([&] {
                  bad.LoadFromText("#Object 1\nName A\n#Vertices 1\n[0,0,0]\n#Animation 1\nLength 2\n"
                                   "#AnimMesh 2\nKey 0\n[0,0,0]\n");
              }),
              "T3DMFile.ReadAnimMesh error: It is not vertex frame animation!");

    T3DMFile huge;
    EXPECT_THROW(huge.LoadFromText("#Object 1\nName A\n#Animation 1\nLength 2000000000\n"), EPyrelumeError);
    // Announced frames cost nothing until the file provides them.
    T3DMFile claimed;
    claimed.LoadFromText("#Object 1\nName A\n#Vertices 1\n[0,0,0]\n#Animation 1\nLength 1000000\n"
                         "#AnimMesh 0\nFrame 0\n[1,1,1]\n");
    EXPECT_EQ(claimed.Objects(0).Frames.Length(), 1000000);
    EXPECT_EQ(claimed.Objects(0).Frames.Count(), 1);
}

TEST(File3DM, MalformedInputGivesClearErrors)
{
    T3DMFile f;
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Vertices\n"); }), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Vertices x\n"); }), "'x' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Vertices 1\n[1,2,3]\n"); }),
              "T3DMFile error: Section #Vertices comes before any #Object section");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Object 1\nName A\n#Vertices 1\n[1,2]\n"); }),
              "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Object 1\nName A\n#VertexFaces 1\n[1,2.5,3]\n"); }),
              "'2.5' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Object 1\nName A\n#Colors 1\n(color 1 2)\n"); }),
              "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Object 1\nName A\n#FaceMatID 1\n;comment\n"); }),
              "';comment' is not a valid integer value");
    EXPECT_EQ(ErrorOf([&] { f.LoadFromText("#Header 1\nVersion three\n"); }), "'three' is not a valid integer value");

    // Empty and tag-less texts give an empty model; Clear resets everything.
    f.LoadFromText(kSmoke);
    f.LoadFromText("");
    EXPECT_EQ(f.Count(), 0);
    EXPECT_EQ(f.Materials.Count(), 0);
    EXPECT_EQ(f.Version, 0);
    f.LoadFromText("no tags\nat all\n");
    EXPECT_EQ(f.Count(), 0);

    // Reading by number outside the list raises instead of reading stray memory.
    f.LoadFromText(kSmoke);
    EXPECT_THROW(f.Objects(0).Vertices.Get(0), EPyrelumeError);
    EXPECT_THROW(f.Objects(0).Vertices.Get(5), EPyrelumeError);
    EXPECT_THROW(f.Objects(0).VertexFaces.Items(2), EPyrelumeError);
    EXPECT_THROW(f.Objects(1), EPyrelumeError);
}

TEST(File3DM, TruncationsAndByteDamageNeverCrash)
{
    // Every prefix of a real model, and random single-byte damage, either loads
    // or raises EPyrelumeError; nothing else escapes.
    const std::string text = kSmoke;
    for (std::size_t n = 0; n <= text.size(); ++n) {
        T3DMFile f;
        try {
            f.LoadFromText(std::string_view(text).substr(0, n));
        } catch (const EPyrelumeError&) {
        }
    }
    const char junk[] = {'#', '[', ']', ',', ' ', '\n', '\r', ';', '9', '-', '(', ')', 'e', '.', '\0', '\xff'};
    for (int round = 0; round < 3000; ++round) {
        std::string damaged = text;
        const int edits = 1 + static_cast<int>(Random::Below(4));
        for (int e = 0; e < edits; ++e)
            damaged[Random::Below(static_cast<std::uint32_t>(damaged.size()))] = junk[Random::Below(sizeof(junk))];
        damaged.resize(Random::Below(static_cast<std::uint32_t>(damaged.size()) + 1));
        T3DMFile f;
        try {
            f.LoadFromText(damaged);
        } catch (const EPyrelumeError&) {
        }
    }
    SUCCEED();
}

TEST(File3DM, LoadsFromStreamsAndDiskFiles)
{
    const std::string text = kSmoke;
    TMemoryStream stream(std::vector<std::uint8_t>(text.begin(), text.end()));
    T3DMFile f;
    f.LoadFromStream(stream);
    ASSERT_EQ(f.Count(), 1);
    EXPECT_EQ(f.Objects(0).Vertices.Count(), 4);

    testutil::ScratchDir dir("model");
    const std::filesystem::path path = dir.File("smoke.3dm");
    std::ofstream(path, std::ios::binary) << text;
    T3DMFile d;
    d.LoadFromFile(path.string());
    EXPECT_EQ(d.Objects(0).MaterialName, "Smoke01");

    // Through the shared reader: found assets load, a missing one gives an empty model.
    TResourceFileReader& reader = ResourceReader();
    const ReadSource oldSource = reader.Source;
    const std::string oldDir = reader.Directory();
    reader.Source = ReadSource::DiskFiles;
    reader.SetDirectory(path.parent_path().string());
    T3DMFile a;
    a.FromArchive = true;
    a.LoadFromFile(path.filename().string());
    EXPECT_EQ(a.Count(), 1);
    a.LoadFromFile("no_such_model.3dm");
    EXPECT_EQ(a.Count(), 0);
    reader.Source = oldSource;
    reader.SetDirectory(oldDir);

    std::filesystem::remove(path);
    EXPECT_THROW(d.LoadFromFile(path.string()), EPyrelumeError);
}

TEST(MaterialList, OwnershipIndexAndRenaming)
{
    T3DMMaterialList a, b;
    EXPECT_EQ(ErrorOf([&] { a.Add(nullptr); }), "T3DMMaterialList error: Add a NIL Material");
    auto* m = a.Add(std::make_unique<T3DMMaterialStandard>());
    m->SetName("Brick");
    EXPECT_EQ(a.FindMaterial("BRICK"), m);
    m->SetName("Stone");
    EXPECT_EQ(a.FindMaterial("brick"), nullptr);
    EXPECT_EQ(a.FindMaterial("stone"), m);

    m->SetOwner(b);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.FindMaterial("stone"), nullptr);
    EXPECT_EQ(b.FindMaterial("Stone"), m);
    EXPECT_EQ(m->Owner(), &b);

    auto taken = b.Remove(m);
    EXPECT_EQ(taken.get(), m);
    EXPECT_EQ(m->Owner(), nullptr);
    EXPECT_EQ(b.Count(), 0);
    EXPECT_THROW(m->SetOwner(a), EPyrelumeError);
    EXPECT_EQ(b.Remove(m), nullptr);
}

}  // namespace
