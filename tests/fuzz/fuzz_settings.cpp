// Stored settings as text ("Name=Value" lines) read into the fireplace and its
// scene objects the way the program reads them: nothing raises, every value
// lands in the range its dialog control offers, and what is saved reads back
// to the same state (so what runs is what the dialog shows and OK writes).
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "app/FSettings.h"
#include "clock/GLClock.h"
#include "gl/FastMath.h"
#include "scene/GLGraphics.h"
#include "shell/AppPro.h"
#include "sound/SceneSounds.h"
#include "sound/SoundClasses.h"
#include "tests/fuzz/FuzzUtil.h"

namespace {

using Values = std::map<std::string, std::string>;

// The store's backend: one key, values by exact name.
class TMapBackend : public ISettingsBackend {
public:
    Values Stored;
    std::unique_ptr<ISettingsKey> OpenKey(THive, const std::string&, bool) override
    {
        struct Key : ISettingsKey {
            Values& v;
            explicit Key(Values& values) : v(values) {}
            bool ValueExists(const std::string& n) override { return v.count(n) != 0; }
            std::string ReadString(const std::string& n) override { return v.at(n); }
            void WriteString(const std::string& n, const std::string& value) override { v[n] = value; }
        };
        return std::make_unique<Key>(Stored);
    }
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The shipped description and file lists, loaded once.
TFormSettings& Form()
{
    static TFormSettings* form = [] {
        const std::string data = std::string(PYRELUME_SOURCE_DIR) + "/data/";
        fuzz::UseMemoryFiles();
        for (const char* f : {"pyrelume.gsc", "DemoBack.txt", "DemoFireGuard.txt", "DemoFireplace.txt", "DemoFront.txt",
                              "FireWood.txt"})
            fuzz::SetMemoryFile(f, ReadText(data + f));
        auto* f = new TFormSettings(TServices{});
        f->Sound->FromArchive = true;
        f->LoadScene(nullptr, ".\\", "pyrelume.gsc", 2);
        return f;
    }();
    return *form;
}

void CheckRanges(TFormSettings& form)
{
    if (form.Flame->Decay() < 1 || form.Flame->Decay() > 5)
        std::abort();
    const TCustomSoundDevice& dev = *form.Sound;
    if (dev.SoundVolume() < 0 || dev.SoundVolume() > 100 || dev.MusicVolume() < 0 || dev.MusicVolume() > 100)
        std::abort();
    if (auto* sounds = dynamic_cast<TSceneSoundList*>(form.Scene->FindObject("Sounds")))
        for (int i = 0; i < sounds->GetCount(); ++i)
            if (auto* s = dynamic_cast<TSceneSound*>(sounds->GetItem(i)); s && s->Sound())
                if (s->Sound()->Volume() < 0 || s->Sound()->Volume() > 100)
                    std::abort();
    if (auto* clock = dynamic_cast<TGLClock*>(form.Scene->FindObject("GLClock")))
        if (clock->Mode < 0 || clock->Mode > 2)
            std::abort();
    for (TSceneTexture* t : {form.FrontTexture, form.BackTexture, form.FireGuardTexture, form.LogsTexture}) {
        const int choices = t->PairedList() ? static_cast<int>(t->FileList.size() / 2) : static_cast<int>(t->FileList.size());
        if (t->GetFileIndex() < 0 || t->GetFileIndex() >= choices)
            std::abort();
    }
    const TSceneMesh* m = form.FireplaceMesh;
    if (m->FileIndex < 0 || m->FileIndex >= static_cast<int>(m->FileList.size()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TFormSettings& form = Form();
    TMapBackend typed;
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string value = line.substr(eq + 1);
        typed.Stored[line.substr(0, eq)] = value;
        // The text conversions of the store on their own.
        fuzz::Guarded([&] { (void)TextToBool(value); });
        fuzz::Guarded([&] { (void)StrToIntStrict(value); });
        if (Unscramble(Unscramble(value)) != value)
            std::abort();
    }
    TSettingsStore store(&typed);
    form.LoadSettings(store);
    CheckRanges(form);

    TMapBackend first, second;
    TSettingsStore a(&first), b(&second);
    form.SaveSettings(a);
    form.LoadSettings(a);
    form.SaveSettings(b);
    if (first.Stored != second.Stored)
        std::abort();
    return 0;
}
