#pragma once
// A small fireplace scene built in memory: the fireplace mesh with its list of
// models, the four switchable textures with their file lists, smoke, sparkles
// and the clock, plus a screen saver over fake platform services.
#include <memory>
#include <string>
#include <vector>

#include "app/FSettings.h"
#include "clock/GLClock.h"
#include "scene/GLGraphics.h"
#include "shell/GLScreenSaver.h"
#include "sound/FileWaveOutput.h"
#include "tests/shell/Fakes.h"

template <class T, class... Args>
T* AddNamed(TResource& owner, const std::string& name, Args&... args)
{
    auto* item = new T(args...);
    item->StoreName(name);
    owner.AddItem(item);
    return item;
}

inline TSceneTexture* AddListedTexture(TSceneTextureList& list, const std::string& name,
                                       std::vector<std::string> files, bool paired)
{
    auto* t = AddNamed<TSceneTexture>(list, name);
    if (paired)
        t->AlphaName = files.size() > 1 ? files[1] : "";
    t->FileList = std::move(files);
    t->SetFileIndex(0);
    return t;
}

struct FireplaceFixture {
    FakePlatform fp;
    TFileWaveOutput sound{TWaveOutputFormat{2, 22050, 16}};
    std::unique_ptr<TGLScreenSaver> saver;
    TFormSettings form{FormServices()};
    TSceneTextureList* textures = nullptr;
    TGLClock* clock = nullptr;
    TMainSceneObject* smoke = nullptr;
    TMainSceneObject* sparkles = nullptr;

    TServices FormServices()
    {
        TServices s = fp.Services();
        s.SoundOutput = &sound;
        return s;
    }

    FireplaceFixture()
    {
        fp.Host.Program = "C:\\Saver\\Pyrelume.scr";
        saver = std::make_unique<TGLScreenSaver>(fp.Services());
        saver->Title = "Pyrelume";
        saver->MajorVersion = "3";
        saver->MinorVersion = "1";
        saver->AppPath = saver->DataPath = "C:\\Saver\\";
        saver->Settings().SetKeyPath("Software\\Pyrelume 3");
        form.Viewport = &saver->Viewport();

        form.Scene = std::make_unique<TMainScene>();
        TMainScene& scene = *form.Scene;
        textures = AddNamed<TSceneTextureList>(scene, "Textures");
        form.TextureList = textures;
        form.FrontTexture = AddListedTexture(*textures, "Front.jpg", {"Front01.jpg", "Front02.jpg"}, false);
        form.BackTexture = AddListedTexture(*textures, "Back.jpg", {"Back01.jpg", "Back02.jpg"}, false);
        form.FireGuardTexture = AddListedTexture(
            *textures, "FireGuardA.jpg",
            {"FireGuard01.jpg", "FireGuardA01.jpg", "Guards\\Brass_Mesh.jpg", "Guards\\Brass_MeshA.jpg",
             "FireGuard05.jpg", "FireGuardA05.jpg"},
            true);
        form.LogsTexture = AddListedTexture(
            *textures, "FireWoodA.jpg", {"FireWood01.jpg", "FireWoodA01.jpg", "FireWood02.jpg", "FireWood02A.jpg"}, true);

        auto* meshes = AddNamed<TSceneMeshList>(scene, "Meshes");
        form.FireplaceMesh = AddNamed<TSceneMesh>(*meshes, "Fireplace1");
        form.FireplaceMesh->FileList = {"Fireplace01.3dm", "Old_Stone_Hearth.3dm"};
        form.FireplaceMesh->SetFileIndex(0);

        smoke = AddNamed<TMainSceneObject>(scene, "Smoke");
        sparkles = AddNamed<TMainSceneObject>(scene, "Sparkles");
        clock = AddNamed<TGLClock>(scene, "GLClock");
        clock->Color = {255, 120, 40, 200};
        clock->Mode = 0;
    }
};
