// A file list of alternative pictures or models, read from memory and used by a
// texture (single and paired) and a mesh: every index selects a line of the
// list, and GetFileIndex stays inside the list's choices.
#include <climits>

#include "scene/GLGraphics.h"
#include "tests/fuzz/FuzzUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::UseMemoryFiles();
    fuzz::MemoryFiles().clear();
    fuzz::SetMemoryFile("list.txt", std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> list = ReadFileList("list.txt", false);
    for (const auto& line : list)
        if (line.empty() || static_cast<unsigned char>(line.front()) <= ' ' || static_cast<unsigned char>(line.back()) <= ' ')
            std::abort();
    std::vector<std::string> names;
    FileListDisplayNames(list, names, false);
    FileListDisplayNames(list, names, true);

    const int indexes[] = {-1, 0, 1, 2, 7, INT_MAX, INT_MIN};
    for (bool paired : {false, true}) {
        TSceneTexture texture;
        texture.FileList = list;
        if (paired)
            texture.AlphaName = "a.jpg";
        const int choices = paired ? static_cast<int>(list.size() + 1) / 2 : static_cast<int>(list.size());
        for (int i : indexes) {
            texture.SetFileIndex(i);
            if (list.empty())
                continue;
            const int got = texture.GetFileIndex();
            if (got < 0 || got >= choices)
                std::abort();
            if (texture.TextureName != list[static_cast<std::size_t>(texture.FileIndex)])
                std::abort();
        }
    }
    TSceneMesh mesh;
    mesh.FileList = list;
    for (int i : indexes)
        fuzz::Guarded([&] { mesh.SetFileIndex(i); });
    return 0;
}
