#ifndef FFFT_FFTREAL_H
#define FFFT_FFTREAL_H

#include "LibCagniard/ffft/DynArray.h"

#include <memory>

namespace ffft
{

// Real-input FFT of a fixed power-of-two length N, unscaled, with
// X_k = sum_n x_n exp(-2 pi i k n / N). Output layout of transform():
//   f[k]       = Re X_k   for k = 0 .. N/2
//   f[N/2 + k] = -Im X_k  for k = 1 .. N/2 - 1
// The tables depend on the length only; objects of one length share them, read-only,
// so building an object after the first of its length is cheap and objects may live on
// different threads. Each object has its own scratch buffer: one object, one thread.
template <class DT>
class FFTReal
{
public:
    enum { MAX_BIT_DEPTH = 30 };
    typedef DT DataType;

    explicit FFTReal(long length);
    virtual ~FFTReal();

    FFTReal(const FFTReal &) = delete;
    FFTReal &operator=(const FFTReal &) = delete;

    long get_length() const { return _length; }

    // Forward transform of the N values at x into the N values at f. f and x are distinct
    // arrays, neither of them use_buffer().
    void transform(DataType f[], const DataType x[]);

    DataType *use_buffer() const { return _buffer.data(); }

private:
    struct Tables;

    static std::shared_ptr<const Tables> tables_for(int nbr_bits);
    static void build_bit_reverse_table(Tables &tables);
    static void build_cosine_table(Tables &tables);
    static void build_oscillators(Tables &tables);


    long _length;
    int _nbr_bits;
    std::shared_ptr<const Tables> _tables;
    mutable DynArray<DataType> _buffer;
};

extern template class FFTReal<double>;

} // namespace ffft

#endif // FFFT_FFTREAL_H
