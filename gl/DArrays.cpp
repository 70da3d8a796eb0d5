#include "gl/DArrays.h"

#include <cstring>
#include <limits>

#include "gl/Errors.h"

namespace {

// Allocates a zero-filled block of count * itemSize bytes (nullptr for 0),
// refusing sizes that do not fit the signed 32-bit byte count of the layout.
std::unique_ptr<std::uint8_t[]> AllocateBlock(std::int64_t count, std::int32_t itemSize)
{
    if (count <= 0)
        return nullptr;
    const std::int64_t bytes = count * itemSize;
    if (count > std::numeric_limits<std::int32_t>::max() || bytes > std::numeric_limits<std::int32_t>::max())
        RaiseMessage("TDArray Grow: array too large.");
    return std::unique_ptr<std::uint8_t[]>(new std::uint8_t[static_cast<std::size_t>(bytes)]());
}

}  // namespace

TDArray::TDArray(std::int32_t itemSize) : itemSize_(itemSize > 0 ? itemSize : 1) {}

TDArray::~TDArray() = default;

TDArray::TDArray(const TDArray& other) : count_(other.count_), itemSize_(other.itemSize_)
{
    memory_ = AllocateBlock(count_, itemSize_);
    if (count_ > 0)
        std::memcpy(memory_.get(), other.memory_.get(), std::size_t(count_) * std::size_t(itemSize_));
}

TDArray& TDArray::operator=(const TDArray& other)
{
    if (this != &other) {
        auto block = AllocateBlock(other.count_, other.itemSize_);
        if (other.count_ > 0)
            std::memcpy(block.get(), other.memory_.get(), std::size_t(other.count_) * std::size_t(other.itemSize_));
        memory_ = std::move(block);
        count_ = other.count_;
        itemSize_ = other.itemSize_;
    }
    return *this;
}

TDArray::TDArray(TDArray&& other) noexcept
    : memory_(std::move(other.memory_)), count_(other.count_), itemSize_(other.itemSize_)
{
    other.count_ = 0;
}

TDArray& TDArray::operator=(TDArray&& other) noexcept
{
    if (this != &other) {
        memory_ = std::move(other.memory_);
        count_ = other.count_;
        itemSize_ = other.itemSize_;
        other.count_ = 0;
    }
    return *this;
}

void TDArray::GetItem(std::int32_t index, void* destination) const
{
    if (index < 0 || index >= count_)
        RaiseMessage("TDArray GetItem: index out of bounds.");
    std::memcpy(destination, memory_.get() + std::size_t(index) * std::size_t(itemSize_), std::size_t(itemSize_));
}

void TDArray::SetItem(std::int32_t index, const void* source)
{
    if (index < 0 || index >= count_)
        RaiseMessage("TDArray SetItem: index out of bounds.");
    std::memcpy(memory_.get() + std::size_t(index) * std::size_t(itemSize_), source, std::size_t(itemSize_));
}

void TDArray::Grow(std::int32_t n)
{
    if (n <= 0)
        return;
    const std::int64_t newCount = std::int64_t(count_) + n;
    auto block = AllocateBlock(newCount, itemSize_);
    if (count_ > 0)
        std::memcpy(block.get(), memory_.get(), std::size_t(count_) * std::size_t(itemSize_));
    memory_ = std::move(block);
    count_ = static_cast<std::int32_t>(newCount);
}

void TDArray::Shrink(std::int32_t n)
{
    if (n <= 0)
        return;
    if (n >= count_) {
        count_ = 0;
        memory_.reset();
        return;
    }
    const std::int32_t newCount = count_ - n;
    auto block = AllocateBlock(newCount, itemSize_);
    std::memcpy(block.get(), memory_.get(), std::size_t(newCount) * std::size_t(itemSize_));
    memory_ = std::move(block);
    count_ = newCount;
}

void TDArray::SetCount(std::int32_t n)
{
    if (n < 0)
        n = 0;
    if (n > count_)
        Grow(n - count_);
    else if (n < count_)
        Shrink(count_ - n);
}

// ---- TGLVectorDArray ----

TGLVector TGLVectorDArray::GetVector(std::int32_t index) const
{
    TGLVector v;
    GetItem(index, &v);
    return v;
}

void TGLVectorDArray::SetVector(std::int32_t index, const TGLVector& v) { SetItem(index, &v); }

void TGLVectorDArray::SetVector(std::int32_t index, float x, float y, float z)
{
    const TGLVector v{x, y, z};
    SetItem(index, &v);
}

void TGLVectorDArray::SetValues(std::span<const float> values)
{
    const auto n = static_cast<std::int32_t>(values.size() / 3);
    SetCount(n);
    TGLVector* d = Data();
    for (std::int32_t j = 0; j < n; ++j)
        d[j] = TGLVector{values[3 * j], values[3 * j + 1], values[3 * j + 2]};
}

void TGLVectorDArray::ClearValues()
{
    if (Count() > 0)
        std::memset(Memory(), 0, std::size_t(Count()) * sizeof(TGLVector));
}

// ---- TGLColorDArray ----

TGLColorBytes TGLColorDArray::GetColor(std::int32_t index) const
{
    TGLColorBytes c;
    GetItem(index, &c);
    return c;
}

void TGLColorDArray::SetColor(std::int32_t index, TGLColorBytes c) { SetItem(index, &c); }

// ---- TGLTextureCoordDArray ----

TGLTexCoord TGLTextureCoordDArray::GetTexCoord(std::int32_t index) const
{
    TGLTexCoord c;
    GetItem(index, &c);
    return c;
}

void TGLTextureCoordDArray::SetTexCoord(std::int32_t index, const TGLTexCoord& c) { SetItem(index, &c); }

void TGLTextureCoordDArray::SetTexCoord(std::int32_t index, float s, float t)
{
    const TGLTexCoord c{s, t};
    SetItem(index, &c);
}

void TGLTextureCoordDArray::SetValues(std::span<const float> values)
{
    const auto n = static_cast<std::int32_t>(values.size() / 2);
    SetCount(n);
    TGLTexCoord* d = Data();
    for (std::int32_t j = 0; j < n; ++j)
        d[j] = TGLTexCoord{values[2 * j], values[2 * j + 1]};
}

// ---- TGLIndexDArray ----

std::uint16_t TGLIndexDArray::GetIndex(std::int32_t index) const
{
    std::uint16_t v;
    GetItem(index, &v);
    return v;
}

void TGLIndexDArray::SetIndex(std::int32_t index, std::uint16_t value) { SetItem(index, &value); }

void TGLIndexDArray::SetValues(std::span<const std::uint16_t> values)
{
    const auto n = static_cast<std::int32_t>(values.size());
    SetCount(n);
    if (n > 0)
        std::memcpy(Memory(), values.data(), std::size_t(n) * sizeof(std::uint16_t));
}
