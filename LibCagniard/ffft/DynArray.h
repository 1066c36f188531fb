#ifndef FFFT_DYNARRAY_H
#define FFFT_DYNARRAY_H

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

namespace ffft
{

// An owned array and its length. The storage starts on a cache-line boundary, so that
// vectorised passes over it do not straddle lines.
template <class T>
class DynArray
{
    static_assert(std::is_trivial<T>::value, "DynArray holds plain values");

public:
    typedef T DataType;

    DynArray() = default;
    explicit DynArray(long size) { resize(size); }

    DynArray(const DynArray &) = delete;
    DynArray &operator=(const DynArray &) = delete;

    long size() const { return _len; }

    // Discards the contents; the new elements are value-initialised.
    void resize(long size)
    {
        assert(size >= 0);
        if (size < 0)
            size = 0;
        _data_ptr.reset();
        _len = 0;
        if (size == 0)
            return;
        void *raw = ::operator new[](std::size_t(size) * sizeof(DataType), std::align_val_t(alignment));
        _data_ptr.reset(static_cast<DataType *>(raw));
        std::fill_n(_data_ptr.get(), size, DataType());
        _len = size;
    }

    const DataType &operator[](long pos) const
    {
        assert(pos >= 0);
        assert(pos < _len);
        return _data_ptr[pos];
    }

    DataType &operator[](long pos)
    {
        assert(pos >= 0);
        assert(pos < _len);
        return _data_ptr[pos];
    }

    DataType *data() { return _data_ptr.get(); }
    const DataType *data() const { return _data_ptr.get(); }

private:
    static constexpr std::size_t alignment = 64;

    struct AlignedDelete
    {
        void operator()(DataType *p) const { ::operator delete[](p, std::align_val_t(alignment)); }
    };

    std::unique_ptr<DataType[], AlignedDelete> _data_ptr;
    long _len = 0;
};

} // namespace ffft

#endif // FFFT_DYNARRAY_H
