#pragma once
// Loading a scene description for the tool commands the way the program does:
// through the process-wide resource reader, from an archive ("pyrelume.gsc"
// inside ARCHIVE.rfa) or from a loose FILE.gsc with its assets beside it.
#include <filesystem>
#include <memory>
#include <string>

#include "assets/ResourceFile.h"
#include "clock/GLClock.h"
#include "fire/FireClasses.h"
#include "gl/Errors.h"
#include "app/FSettings.h"
#include "scene/GLGraphics.h"
#include "sound/SceneSounds.h"

namespace tool {

// Enters the scene types of every module, as the program does.
inline void RegisterAllSceneTypes()
{
    RegisterFireplaceSceneTypes();
}

inline bool IsArchiveName(const std::string& file)
{
    return LowerAscii(ExtractFileExt(file)) != ".gsc";
}

// Points the resource reader at the source and returns the description's name.
// A loose description is read with its folder as the working folder, so that
// the ".\" file names of the description resolve beside it.
inline std::string PrepareSceneSource(const std::string& file)
{
    TResourceFileReader& reader = ResourceReader();
    reader.Close();
    if (IsArchiveName(file)) {
        if (!std::filesystem::exists(file))
            throw EPyrelumeError("Cannot open file \"" + file + "\". No such file or directory");
        reader.Source = ReadSource::ArchiveFile;
        reader.ArchiveName = std::filesystem::absolute(file).string();
        return "pyrelume.gsc";
    }
    const std::filesystem::path p = std::filesystem::absolute(file);
    if (!std::filesystem::exists(p))
        throw EPyrelumeError("Cannot open file \"" + file + "\". No such file or directory");
    reader.Source = ReadSource::DiskFiles;
    reader.SetDirectory(p.parent_path().string() + "/");
    std::filesystem::current_path(p.parent_path());
    return p.filename().string();
}

// Creates the scene and loads the description (archive mode, as the program).
inline std::unique_ptr<TMainScene> LoadToolScene(const std::string& file, TCustomOpenGL* context = nullptr)
{
    RegisterAllSceneTypes();
    const std::string source = PrepareSceneSource(file);
    auto scene = std::make_unique<TMainScene>();
    scene->OpenGL = context;
    scene->SourceName = source;
    scene->SourceMode = 2;
    scene->LoadFromSource();
    return scene;
}

} // namespace tool
