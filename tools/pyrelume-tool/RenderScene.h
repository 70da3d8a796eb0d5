#pragma once
// Loading a scene description for the tool commands the way the program does:
// through the process-wide resource reader, from an archive ("pyrelume.gsc"
// inside ARCHIVE.rfa) or from a loose FILE.gsc with its assets beside it.
#include <filesystem>
#include <memory>
#include <string>

#include "app/FSettings.h"
#include "assets/ResourceFile.h"
#include "gl/Errors.h"
#include "scene/GLGraphics.h"

namespace tool {

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

// The fireplace program with the scene loaded from file (archive mode, as the
// program); its Scene is the loaded scene.
inline std::unique_ptr<TFormSettings> LoadToolScene(const std::string& file, TCustomOpenGL* context,
                                                    const TServices& services)
{
    auto form = std::make_unique<TFormSettings>(services);
    const std::string source = PrepareSceneSource(file);
    form->LoadScene(context, "", source, 2);
    return form;
}

} // namespace tool
