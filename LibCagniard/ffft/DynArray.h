#ifndef FFFT_DYNARRAY_H
#define FFFT_DYNARRAY_H

#include <cassert>
#include <cstddef>
#include <memory>

namespace ffft
{

// An owned array and its length.
template <class T>
class DynArray
{
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
        _data_ptr.reset(size > 0 ? new DataType[size]() : nullptr);
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
    std::unique_ptr<DataType[]> _data_ptr;
    long _len = 0;
};

} // namespace ffft

#endif // FFFT_DYNARRAY_H
