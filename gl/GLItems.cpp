#include "gl/GLItems.h"

#include <algorithm>

#include "gl/GLCapabilities.h"

TGLItem::~TGLItem()
{
    if (owner_)
        owner_->Remove(this);
}

IGLCapabilities* TGLItem::Context() const { return owner_ ? owner_->Context() : nullptr; }

bool TGLItem::ContextActive() const
{
    IGLCapabilities* context = Context();
    return context && context->Active();
}

TGLItemList::~TGLItemList() { Clear(); }

void TGLItemList::Clear()
{
    // Detach before freeing, so the item's destructor does not touch the list.
    std::vector<TGLItem*> items;
    items.swap(items_);
    for (TGLItem* item : items) {
        item->owner_ = nullptr;
        delete item;
    }
}

void TGLItemList::SetCapacity(int capacity)
{
    if (capacity > 0)
        items_.reserve(static_cast<std::size_t>(capacity));
}

int TGLItemList::IndexOf(const TGLItem* item) const
{
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TGLItemList::Add(TGLItem* item)
{
    if (!item || item->owner_ == this)
        return;
    if (item->owner_)
        item->owner_->Remove(item);
    items_.push_back(item);
    item->owner_ = this;
}

void TGLItemList::Remove(TGLItem* item)
{
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) {
        items_.erase(it);
        item->owner_ = nullptr;
    }
}
