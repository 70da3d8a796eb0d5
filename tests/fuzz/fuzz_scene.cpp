// A scene description, with the source files its resources name and a file
// list, read the way the program reads the fireplace: up to five files cut at
// "%%" lines ("pyrelume.gsc", "a.gsc", "b.gsc", "list.txt", "c.gsc"). Loading
// either builds a tree or raises EPyrelumeError; the tree then saves back to
// text and reads its settings from an empty store without raising.
#include "app/FSettings.h"
#include "clock/TimeProvider.h"
#include "scene/GLGraphics.h"
#include "sound/SoundClasses.h"
#include "tests/fuzz/FuzzUtil.h"

namespace {

class TNoSettings : public TSceneSettingsStore {
public:
    std::string ReadString(const std::string&, const std::string& def) override { return def; }
    bool ReadBool(const std::string&, bool def) override { return def; }
    int ReadInteger(const std::string&, int def) override { return def; }
    void WriteString(const std::string&, const std::string&) override {}
    void WriteBool(const std::string&, bool) override {}
    void WriteInteger(const std::string&, int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One silent sound device and the fireplace's scene types for the process.
    static TWinSoundDevice sound;
    static const TSceneTypeTable types = [] {
        TSceneTypeTable t;
        RegisterFireplaceSceneTypes(t, sound, SystemTime());
        return t;
    }();
    fuzz::UseMemoryFiles();
    fuzz::MemoryFiles().clear();
    const char* names[] = {"pyrelume.gsc", "a.gsc", "b.gsc", "list.txt", "c.gsc"};
    const auto files = fuzz::SplitFiles(data, size, 5);
    for (std::size_t i = 0; i < files.size(); ++i)
        fuzz::SetMemoryFile(names[i], files[i]);

    // Sounds come from the same files; none is read from disk.
    sound.FromArchive = true;
    TNoSettings settings;
    auto scene = std::make_unique<TMainScene>();
    scene->Settings = &settings;
    scene->Types = &types;
    scene->Path = ".\\";
    scene->SourceName = "pyrelume.gsc";
    scene->SourceMode = 2;
    fuzz::Guarded([&] { scene->LoadFromSource(); });
    fuzz::Guarded([&] {
        TResourceLoader out;
        out.MainScene = scene.get();
        out.Section = scene->Name();
        out.CreateNew();
        out.WriteHeader(*scene);
        scene->SaveToLoader(out);
        out.SaveChildren(*scene);
        (void)out.Lines();
        out.Modified = false;
    });
    scene->ReadSettings();
    scene.reset();
    sound.Clear();
    return 0;
}
