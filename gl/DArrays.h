#pragma once
// Contiguous growable arrays of fixed-size items with checked element access.
// There is no spare capacity: every change of Count reallocates to the exact
// new size; new items are always zero bytes. The typed descendants hold the
// vertex, colour, texture-coordinate and index data of GL primitives.
#include <cstdint>
#include <memory>
#include <span>

#include "gl/FastMath.h"

class TDArray {
public:
    explicit TDArray(std::int32_t itemSize = 1);
    virtual ~TDArray();
    TDArray(const TDArray& other);
    TDArray& operator=(const TDArray& other);
    TDArray(TDArray&& other) noexcept;
    TDArray& operator=(TDArray&& other) noexcept;

    // Copies ItemSize bytes of item index into destination; an index outside
    // 0..Count-1 raises "TDArray GetItem: index out of bounds.".
    void GetItem(std::int32_t index, void* destination) const;
    // Copies ItemSize bytes into item index; raises "TDArray SetItem: index out of bounds.".
    void SetItem(std::int32_t index, const void* source);
    // Adds n zero items (nothing for n <= 0).
    void Grow(std::int32_t n);
    // Removes the last n items (nothing for n <= 0); frees the block at 0.
    void Shrink(std::int32_t n);
    void SetCount(std::int32_t n);
    void Clear() { SetCount(0); }

    std::int32_t Count() const { return count_; }
    std::int32_t ItemSize() const { return itemSize_; }
    // The block, or nullptr when Count is 0.
    void* Memory() { return memory_.get(); }
    const void* Memory() const { return memory_.get(); }

private:
    std::unique_ptr<std::uint8_t[]> memory_;
    std::int32_t count_ = 0;
    std::int32_t itemSize_ = 1;
};

class TGLVectorDArray : public TDArray {
public:
    TGLVectorDArray() : TDArray(sizeof(TGLVector)) {}

    TGLVector GetVector(std::int32_t index) const;
    void SetVector(std::int32_t index, const TGLVector& v);
    void SetVector(std::int32_t index, float x, float y, float z);
    // SetCount(L div 3), then item j := (v[3j], v[3j+1], v[3j+2]).
    void SetValues(std::span<const float> values);
    // Every item := (0,0,0).
    void ClearValues();

    TGLVector* Data() { return static_cast<TGLVector*>(Memory()); }
    const TGLVector* Data() const { return static_cast<const TGLVector*>(Memory()); }
};

class TGLColorDArray : public TDArray {
public:
    TGLColorDArray() : TDArray(sizeof(TGLColorBytes)) {}

    TGLColorBytes GetColor(std::int32_t index) const;
    void SetColor(std::int32_t index, TGLColorBytes c);

    TGLColorBytes* Data() { return static_cast<TGLColorBytes*>(Memory()); }
    const TGLColorBytes* Data() const { return static_cast<const TGLColorBytes*>(Memory()); }
};

class TGLTextureCoordDArray : public TDArray {
public:
    TGLTextureCoordDArray() : TDArray(sizeof(TGLTexCoord)) {}

    TGLTexCoord GetTexCoord(std::int32_t index) const;
    void SetTexCoord(std::int32_t index, const TGLTexCoord& c);
    void SetTexCoord(std::int32_t index, float s, float t);
    // SetCount(L div 2), then item j := (v[2j], v[2j+1]).
    void SetValues(std::span<const float> values);

    TGLTexCoord* Data() { return static_cast<TGLTexCoord*>(Memory()); }
    const TGLTexCoord* Data() const { return static_cast<const TGLTexCoord*>(Memory()); }
};

class TGLIndexDArray : public TDArray {
public:
    TGLIndexDArray() : TDArray(sizeof(std::uint16_t)) {}

    std::uint16_t GetIndex(std::int32_t index) const;
    void SetIndex(std::int32_t index, std::uint16_t value);
    // SetCount(L), then item j := v[j].
    void SetValues(std::span<const std::uint16_t> values);

    std::uint16_t* Data() { return static_cast<std::uint16_t*>(Memory()); }
    const std::uint16_t* Data() const { return static_cast<const std::uint16_t*>(Memory()); }
};
