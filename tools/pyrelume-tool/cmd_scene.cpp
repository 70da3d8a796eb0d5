// scene tree (ARCHIVE.rfa | FILE.gsc): the object tree of a scene description,
// one line per object in load order: its path from the root, a TAB, its class.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/pyrelume-tool/Command.h"
#include "tools/pyrelume-tool/RenderScene.h"

static int RunScene(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "tree")
        throw ToolUsageError{"expected: scene tree (ARCHIVE.rfa | FILE.gsc)"};
    std::vector<TMainObject*> order;
    SetSceneLoadObserver([&](TMainObject& o) { order.push_back(&o); });
    std::unique_ptr<TFormSettings> form;
    try {
        form = tool::LoadToolScene(args[1], nullptr, TServices{});
    } catch (...) {
        // The observer is removed whatever the loader raised.
        SetSceneLoadObserver({});
        throw;
    }
    SetSceneLoadObserver({});
    std::string out;
    for (TMainObject* o : order) {
        out += RefferenceToStr(form->Scene.get(), o);
        out += '\t';
        out += o->ClassName();
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

static ToolCommand reg("scene", "scene tree (ARCHIVE.rfa | FILE.gsc)", &RunScene);
