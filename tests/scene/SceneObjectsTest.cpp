#include <gtest/gtest.h>

#include "gl/Errors.h"
#include "scene/GLGraphics.h"
#include "tests/common/TestUtil.h"

using testutil::ErrorOf;

namespace {

// Counts the passes it receives.
class TCountingObject : public TMainSceneObject {
public:
    int renders = 0, animations = 0, events = 0;
    void RenderOpaque() override { ++renders; }
    void Animate(float) override { ++animations; }
    void ProcessEvents(float) override { ++events; }
};

TCountingObject* Counting(const std::string& name, TProcessOptions options = 0)
{
    auto* o = new TCountingObject();
    o->StoreName(name);
    o->ProcessOptions = options;
    return o;
}

std::vector<std::string> Names(const TMainList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.GetCount(); ++i)
        out.push_back(dynamic_cast<TMainObject*>(list.GetItem(i))->Name());
    return out;
}

} // namespace

TEST(SceneObjects, DuplicateNameIsNotEnteredAndLookupFindsFirst)
{
    TMainScene scene;
    auto* first = Counting("Same");
    auto* second = Counting("Same");
    EXPECT_TRUE(scene.AddItem(first));
    EXPECT_FALSE(scene.AddItem(second));
    EXPECT_EQ(scene.FindObject("Same"), first);
    EXPECT_EQ(scene.GetCount(), 1);
    delete second;  // never entered: the caller still owns it
}

TEST(SceneObjects, AddItemRejectsMissingAndUnnamedItems)
{
    TResource res;
    EXPECT_EQ(ErrorOf([&] { res.AddItem(nullptr); }), "TMainObjectList.AddItem error: Add nil Object failed");
    TMainObject unnamed;
    EXPECT_EQ(ErrorOf([&] { res.AddItem(&unnamed); }), "TMainObjectList.AddItem error: Add empty Object.Name failed");
    EXPECT_EQ(res.GetCount(), 0);
}

TEST(SceneObjects, PathsResolveWithSlashAndCaseRules)
{
    TMainScene scene;
    auto* clock = new TResource();
    clock->StoreName("ClockResource");
    scene.AddItem(clock);
    auto* sprites = new TResource();
    sprites->StoreName("ClockSprites");
    clock->AddItem(sprites);
    auto* plate = Counting("Plate");
    sprites->AddItem(plate);

    EXPECT_EQ(RefferenceToStr(&scene, plate), "ClockResource/ClockSprites/Plate");
    EXPECT_EQ(RefferenceToStr(&scene, nullptr), "");
    EXPECT_EQ(scene.FindObject("ClockResource/ClockSprites/Plate"), plate);
    EXPECT_EQ(scene.FindObject("ClockResource/ClockSprites/"), sprites);
    EXPECT_EQ(scene.FindObject("/ClockResource"), nullptr);
    EXPECT_EQ(scene.FindObject("ClockResource//ClockSprites"), nullptr);
    EXPECT_EQ(scene.FindObject("clockresource/clocksprites/plate"), nullptr);
    EXPECT_EQ(scene.FindObject(""), nullptr);
    EXPECT_EQ(scene.FindObject("ClockResource/Missing/Plate"), nullptr);
    // A name that designates an object without children cannot be walked through.
    EXPECT_THROW(scene.FindObject("ClockResource/ClockSprites/Plate/X"), EPyrelumeError);

    // Relative to a root that is not on the owner chain.
    TResource other;
    other.StoreName("Other");
    EXPECT_EQ(ErrorOf([&] { RefferenceToStr(&other, plate); }), "RefferenceToStr error: Owner is nil!");
}

TEST(SceneObjects, ProcessListsFollowOptionsOfDirectChildrenOnly)
{
    TMainScene scene;
    auto* hidden = Counting("Hidden", poAnimation | poRender);
    hidden->Visible = false;
    auto* idle = Counting("Idle", 0);
    auto* all = Counting("All", poRender | poAnimation | poEvents);
    auto* group = new TSceneLayer();
    group->StoreName("Group");
    group->ProcessOptions = poRender;
    auto* inner = Counting("Inner", 0);
    scene.AddItem(hidden);
    scene.AddItem(idle);
    scene.AddItem(all);
    scene.AddItem(group);
    group->AddItem(inner);

    scene.ProcessFrame(0.5f);
    scene.ProcessFrame(0.5f);
    EXPECT_EQ(hidden->animations, 2);  // hidden objects keep animating
    EXPECT_EQ(hidden->renders, 0);
    EXPECT_EQ(idle->renders + idle->animations + idle->events, 0);
    EXPECT_EQ(all->renders, 2);
    EXPECT_EQ(all->events, 2);
    EXPECT_EQ(inner->renders, 2);  // drawn by its parent with empty options
    EXPECT_EQ(all->Identifier, 2);

    scene.SetObjectVisible("Group", false);
    scene.ProcessFrame(0);
    EXPECT_EQ(inner->renders, 2);
}

TEST(SceneObjects, DestroyedChildLeavesIndexAndProcessLists)
{
    TMainScene scene;
    auto* a = Counting("A", poRender | poAnimation);
    auto* b = Counting("B", poRender);
    scene.AddItem(a);
    scene.AddItem(b);
    delete a;
    EXPECT_EQ(scene.FindObject("A"), nullptr);
    EXPECT_EQ(scene.RenderList.GetCount(), 1);
    EXPECT_EQ(scene.AnimationList.GetCount(), 0);
    EXPECT_EQ(scene.GetItem(0), nullptr);  // the position stays, empty
    scene.ProcessFrame(0);
    EXPECT_EQ(b->renders, 1);
}

TEST(SceneObjects, FreeLastBounds)
{
    TResource res;
    for (const char* n : {"a", "b", "c"})
        res.AddItem(Counting(n));
    res.FreeLast(0);
    res.FreeLast(-1);
    EXPECT_EQ(res.GetCount(), 3);
    res.FreeLast(1);
    EXPECT_EQ(Names(res), (std::vector<std::string>{"a", "b"}));
    res.FreeLast(10);
    EXPECT_EQ(res.GetCount(), 0);
}

TEST(SceneObjects, NamedContainersEnumerateInNameOrderSceneInAdditionOrder)
{
    TResource res;
    TMainScene scene;
    for (const char* n : {"c", "B", "a", "A", "b2", "b10"}) {
        res.AddItem(Counting(n));
        scene.AddItem(Counting(n));
    }
    EXPECT_EQ(Names(res), (std::vector<std::string>{"a", "A", "B", "b10", "b2", "c"}));
    EXPECT_EQ(Names(scene), (std::vector<std::string>{"c", "B", "a", "A", "b2", "b10"}));
    EXPECT_NE(res.FindChild("A"), res.FindChild("a"));
}

TEST(SceneObjects, RenameKeepsIndexOrderedAndRefusesTakenNames)
{
    TResource res;
    auto* x = Counting("x");
    auto* y = Counting("y");
    res.AddItem(x);
    res.AddItem(y);
    x->SetName("z");
    EXPECT_EQ(res.FindChild("z"), x);
    EXPECT_EQ(res.FindChild("x"), nullptr);
    EXPECT_EQ(Names(res), (std::vector<std::string>{"y", "z"}));
    y->SetName("z");  // taken: nothing changes
    EXPECT_EQ(y->Name(), "y");
    EXPECT_EQ(res.FindChild("y"), y);
}

TEST(SceneObjects, ProcessOptionsTextForms)
{
    const char* forms[] = {"", "[Render]", "[Animation]", "[Render,Animation]", "[Events]", "[Render,Events]",
                           "[Animation,Events]", "[Render,Animation,Events]"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(ProcessOptionsToStr(static_cast<TProcessOptions>(i)), forms[i]);
        EXPECT_EQ(StrToProcessOptions(forms[i]), i);
    }
    EXPECT_EQ(StrToProcessOptions("render"), 0);
    EXPECT_EQ(StrToProcessOptions("Events Render"), poEvents | poRender);
}

TEST(SceneObjects, UnsortedListAcceptsRepeatedNamesInInsertionOrder)
{
    TMainVisualObjectList list;
    list.StoreName("Particles");
    list.SetSorted(false);
    auto* p1 = Counting("P");
    auto* p2 = Counting("P");
    EXPECT_TRUE(list.AddParticle(p1));
    EXPECT_TRUE(list.AddParticle(p2));
    EXPECT_EQ(list.GetItem(0), p1);
    EXPECT_EQ(list.GetItem(1), p2);
}
