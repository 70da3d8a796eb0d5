#pragma once
// The item and list base shared by every GL resource object (textures,
// materials, lights, primitives, viewports, display lists). A list owns its
// items; an item that is destroyed removes itself from its owner's list.
#include <cstdint>
#include <vector>

class IGLCapabilities;
class TGLItemList;

class TGLItem {
public:
    TGLItem() = default;
    virtual ~TGLItem();
    TGLItem(const TGLItem&) = delete;
    TGLItem& operator=(const TGLItem&) = delete;

    TGLItemList* Owner() const { return owner_; }
    // The context of the owning list, or nullptr for an item without owner.
    IGLCapabilities* Context() const;
    // True when the owning list's context exists and is active.
    bool ContextActive() const;

private:
    friend class TGLItemList;
    TGLItemList* owner_ = nullptr;
};

class TGLItemList {
public:
    explicit TGLItemList(IGLCapabilities* context = nullptr) : context_(context) {}
    virtual ~TGLItemList();
    TGLItemList(const TGLItemList&) = delete;
    TGLItemList& operator=(const TGLItemList&) = delete;

    // Called after every context creation; the base does nothing.
    virtual void InitGL() {}

    // Frees every item, detaching it from the list first.
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    // A pre-allocation only, not a limit.
    void SetCapacity(int capacity);
    TGLItem* Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(const TGLItem* item) const;

    // Takes ownership of item (detaching it from any previous list).
    void Add(TGLItem* item);
    // Detaches item without freeing it; the caller owns it afterwards.
    void Remove(TGLItem* item);

    IGLCapabilities* Context() const { return context_; }
    void SetContext(IGLCapabilities* context) { context_ = context; }

protected:
    const std::vector<TGLItem*>& Items() const { return items_; }

private:
    std::vector<TGLItem*> items_;
    IGLCapabilities* context_ = nullptr;
};
