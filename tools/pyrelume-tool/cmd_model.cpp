#include <cstdio>

#include "assets/File3DM.h"
#include "tools/pyrelume-tool/Command.h"

// model info FILE.3dm: one line per object, then one per material.
static int RunModel(const std::vector<std::string>& args)
{
    if (args.size() != 2 || args[0] != "info")
        throw ToolUsageError{"expected: model info FILE.3dm"};
    T3DMFile model;
    model.LoadFromFile(args[1]);
    for (std::int32_t i = 0; i < model.Count(); ++i) {
        const T3DMObject& o = model.Objects(i);
        std::printf("object %s vertices=%d normals=%d texcoords=%d faces=%d material=%s frames=%d\n", o.Name.c_str(),
                    o.Vertices.Count(), o.Normals.Count(), o.TextureCoords.Count(), o.VertexFaces.Count(),
                    o.MaterialName.c_str(), o.Frames.Count());
    }
    for (std::int32_t i = 0; i < model.Materials.Count(); ++i) {
        const T3DMMaterial& m = model.Materials.Items(i);
        if (const auto* multi = dynamic_cast<const T3DMMaterialMultiSubObject*>(&m))
            std::printf("material %s multi subs=%d\n", m.Name().c_str(), multi->SubMaterials.Count());
        else
            std::printf("material %s standard\n", m.Name().c_str());
    }
    return 0;
}

static ToolCommand reg("model", "model info FILE.3dm", &RunModel);
