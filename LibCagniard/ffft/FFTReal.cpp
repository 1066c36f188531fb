#include "LibCagniard/ffft/FFTReal.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <map>
#include <mutex>

// The real transform of N points runs as a complex transform of M = N / 2 points on
// z_n = x_2n + i x_2n+1, held as split real and imaginary halves of the scratch buffer:
//  1. a load pass reads z in bit-reversed order and does the first two or three radix-2
//     stages at once (4- or 8-point DFTs without twiddle multiplications);
//  2. radix-4 decimation-in-time passes over contiguous runs with precomputed twiddles,
//     written so that the compiler vectorises them;
//  3. a final pass splits Z into the spectrum of the real input and writes f.

// The vectorised kernels get an AVX2/FMA copy beside the baseline one, picked at load time.
// GCC only (clang 14 refuses clones of function templates), and not under the thread sanitizer:
// the load-time resolver runs before it starts and crashes.
#if defined(__x86_64__) && defined(__linux__) && !defined(__SANITIZE_THREAD__) && defined(__GNUC__) \
    && !defined(__clang__)
#define FFFT_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define FFFT_VECTOR_CLONES
#endif

namespace ffft
{

namespace
{
constexpr double pi = 3.141592653589793;
constexpr double sqrt2_2 = 0.7071067811865476;

// Load pass radix: 8 when log2 M is odd, so that the remaining passes are all radix 4.
int load_bits(int nbr_bits)
{
    return (nbr_bits - 1) % 2 == 1 ? 3 : 2;
}

bool is_pow2(long length)
{
    return length > 0 && (length & (length - 1)) == 0;
}

int bits_to_count(long length)
{
    int bits = 0;
    while ((1L << bits) < length)
        ++bits;
    return bits;
}

// The load passes: block b (a run of 4 or 8 outputs) is the DFT of z[rev[b] + t * M / 4 or 8],
// t = 0 .. 3 or 7. They walk the input in order (rev is its own inverse), so that x is read in
// sequential streams and each block is written as whole cache lines.

template <class DT>
FFFT_VECTOR_CLONES void load_radix4(DT *__restrict re, DT *__restrict im, const DT *__restrict x,
                                    const long *__restrict rev, long half)
{
    const long blocks = half / 4;
    const long s = 2 * blocks;
    for (long first = 0; first < blocks; ++first) {
        const long b = rev[first];
        const DT *z = x + 2 * first;
        const DT a0r = z[0] + z[2 * s], a0i = z[1] + z[2 * s + 1];
        const DT a1r = z[0] - z[2 * s], a1i = z[1] - z[2 * s + 1];
        const DT a2r = z[s] + z[3 * s], a2i = z[s + 1] + z[3 * s + 1];
        const DT a3r = z[s] - z[3 * s], a3i = z[s + 1] - z[3 * s + 1];
        DT *r = re + 4 * b;
        DT *i = im + 4 * b;
        r[0] = a0r + a2r;
        i[0] = a0i + a2i;
        r[2] = a0r - a2r;
        i[2] = a0i - a2i;
        r[1] = a1r + a3i;
        i[1] = a1i - a3r;
        r[3] = a1r - a3i;
        i[3] = a1i + a3r;
    }
}

template <class DT>
FFFT_VECTOR_CLONES void load_radix8(DT *__restrict re, DT *__restrict im, const DT *__restrict x,
                                    const long *__restrict rev, long half)
{
    const long blocks = half / 8;
    const long s = 2 * blocks;
    const DT h = DT(sqrt2_2);
    for (long first = 0; first < blocks; ++first) {
        const long b = rev[first];
        const DT *z = x + 2 * first;
        // u0, u2, u4, u6 give the 4-point DFT E, u1, u3, u5, u7 give O.
        const DT p0r = z[0] + z[4 * s], p0i = z[1] + z[4 * s + 1];
        const DT m0r = z[0] - z[4 * s], m0i = z[1] - z[4 * s + 1];
        const DT p2r = z[2 * s] + z[6 * s], p2i = z[2 * s + 1] + z[6 * s + 1];
        const DT m2r = z[2 * s] - z[6 * s], m2i = z[2 * s + 1] - z[6 * s + 1];
        const DT p1r = z[s] + z[5 * s], p1i = z[s + 1] + z[5 * s + 1];
        const DT m1r = z[s] - z[5 * s], m1i = z[s + 1] - z[5 * s + 1];
        const DT p3r = z[3 * s] + z[7 * s], p3i = z[3 * s + 1] + z[7 * s + 1];
        const DT m3r = z[3 * s] - z[7 * s], m3i = z[3 * s + 1] - z[7 * s + 1];

        const DT e0r = p0r + p2r, e0i = p0i + p2i;
        const DT e2r = p0r - p2r, e2i = p0i - p2i;
        const DT e1r = m0r + m2i, e1i = m0i - m2r;
        const DT e3r = m0r - m2i, e3i = m0i + m2r;
        const DT o0r = p1r + p3r, o0i = p1i + p3i;
        const DT o2r = p1r - p3r, o2i = p1i - p3i;
        const DT o1r = m1r + m3i, o1i = m1i - m3r;
        const DT o3r = m1r - m3i, o3i = m1i + m3r;

        // Times W^1 = (1 - i) / sqrt 2, W^2 = -i, W^3 = -(1 + i) / sqrt 2.
        const DT t1r = h * (o1r + o1i), t1i = h * (o1i - o1r);
        const DT t2r = o2i, t2i = -o2r;
        const DT t3r = h * (o3i - o3r), t3i = -h * (o3r + o3i);

        DT *r = re + 8 * b;
        DT *i = im + 8 * b;
        r[0] = e0r + o0r;
        i[0] = e0i + o0i;
        r[4] = e0r - o0r;
        i[4] = e0i - o0i;
        r[1] = e1r + t1r;
        i[1] = e1i + t1i;
        r[5] = e1r - t1r;
        i[5] = e1i - t1i;
        r[2] = e2r + t2r;
        i[2] = e2i + t2i;
        r[6] = e2r - t2r;
        i[6] = e2i - t2i;
        r[3] = e3r + t3r;
        i[3] = e3i + t3i;
        r[7] = e3r - t3r;
        i[7] = e3i - t3i;
    }
}

// One block of a radix-4 pass: four runs of h values holding the sub-DFTs of the residues
// 0, 2, 1 and 3 (mod 4), the order that bit reversal leaves them in, become one DFT of 4h.
template <class DT>
inline void radix4_block(DT *__restrict r0, DT *__restrict r1, DT *__restrict r2, DT *__restrict r3,
                         DT *__restrict i0, DT *__restrict i1, DT *__restrict i2, DT *__restrict i3,
                         const DT *__restrict w, long h)
{
    const DT *w1r = w, *w1i = w + h, *w2r = w + 2 * h, *w2i = w + 3 * h, *w3r = w + 4 * h, *w3i = w + 5 * h;
    for (long j = 0; j < h; ++j) {
        const DT a0r = r0[j], a0i = i0[j];
        const DT a2r = r1[j] * w2r[j] - i1[j] * w2i[j];
        const DT a2i = r1[j] * w2i[j] + i1[j] * w2r[j];
        const DT a1r = r2[j] * w1r[j] - i2[j] * w1i[j];
        const DT a1i = r2[j] * w1i[j] + i2[j] * w1r[j];
        const DT a3r = r3[j] * w3r[j] - i3[j] * w3i[j];
        const DT a3i = r3[j] * w3i[j] + i3[j] * w3r[j];
        const DT t0r = a0r + a2r, t0i = a0i + a2i;
        const DT t1r = a0r - a2r, t1i = a0i - a2i;
        const DT t2r = a1r + a3r, t2i = a1i + a3i;
        const DT t3r = a1r - a3r, t3i = a1i - a3i;
        r0[j] = t0r + t2r;
        i0[j] = t0i + t2i;
        r2[j] = t0r - t2r;
        i2[j] = t0i - t2i;
        r1[j] = t1r + t3i;
        i1[j] = t1i - t3r;
        r3[j] = t1r - t3i;
        i3[j] = t1i + t3r;
    }
}

// Passes whose blocks fit in this many complex values (re and im together 32 KiB) run chunk by
// chunk, while the chunk stays in the first-level cache; only the wider passes stream the buffer.
constexpr long chunk_size = 2048;

template <class DT>
FFFT_VECTOR_CLONES void radix4_pass(DT *re, DT *im, long begin, long end, long h, const DT *twiddles)
{
    for (long base = begin; base < end; base += 4 * h) {
        DT *r = re + base;
        DT *i = im + base;
        radix4_block(r, r + h, r + 2 * h, r + 3 * h, i, i + h, i + 2 * h, i + 3 * h, twiddles, h);
    }
}

// All radix-4 passes, spans first_span, 4 first_span, ... up to M / 4.
template <class DT>
void radix4_passes(DT *re, DT *im, long half, long first_span, const DT *twiddles)
{
    const long chunk = std::min(half, chunk_size);
    long h = first_span;
    for (long begin = 0; begin < half; begin += chunk) {
        const DT *w = twiddles;
        for (h = first_span; 4 * h <= chunk; h *= 4) {
            radix4_pass(re, im, begin, begin + chunk, h, w);
            w += 6 * h;
        }
    }
    for (long span = first_span; span < h; span *= 4)
        twiddles += 6 * span;
    for (; h < half; h *= 4) {
        radix4_pass(re, im, 0, half, h, twiddles);
        twiddles += 6 * h;
    }
}

// X_k = E_k + W_N^k O_k with E_k = (Z_k + conj Z_M-k) / 2 and O_k = (Z_k - conj Z_M-k) / 2i;
// the same E and T = W_N^k O give X_M-k = conj(E - T). c and s hold cos and sin of 2 pi k / N.
// For k = j + 1, j = 0 .. count - 1: the "up" pointers are read or written at +j (k), the
// "down" pointers at -j (M - k), so that no two of them overlap and all can be vectorised.
template <class DT>
inline void split_pairs(DT *__restrict re_up, DT *__restrict im_up, DT *__restrict re_down, DT *__restrict im_down,
                        const DT *__restrict z_re_up, const DT *__restrict z_im_up, const DT *__restrict z_re_down,
                        const DT *__restrict z_im_down, const DT *__restrict c, const DT *__restrict s, long count)
{
    for (long j = 0; j < count; ++j) {
        const DT ar = z_re_up[j], ai = z_im_up[j];
        const DT br = z_re_down[-j], bi = -z_im_down[-j];
        const DT er = DT(0.5) * (ar + br), ei = DT(0.5) * (ai + bi);
        const DT or_ = DT(0.5) * (ai - bi), oi = DT(-0.5) * (ar - br);
        const DT tr = or_ * c[j] + oi * s[j];
        const DT ti = oi * c[j] - or_ * s[j];
        re_up[j] = er + tr;
        im_up[j] = -(ei + ti);
        re_down[-j] = er - tr;
        im_down[-j] = ei - ti;
    }
}

template <class DT>
FFFT_VECTOR_CLONES void split_real(DT *f, const DT *re, const DT *im, const DT *c, const DT *s, long half)
{
    const long quarter = half / 2;
    f[0] = re[0] + im[0];
    f[half] = re[0] - im[0];
    split_pairs(f + 1, f + half + 1, f + half - 1, f + 2 * half - 1, re + 1, im + 1, re + half - 1, im + half - 1,
                c + 1, s + 1, quarter - 1);
    // At k = M / 2 both halves of a pair meet: X is the conjugate of Z_k.
    f[quarter] = re[quarter];
    f[half + quarter] = im[quarter];
}

template <class DT>
void transform_small(DT f[], const DT x[], long length)
{
    switch (length) {
    case 1:
        f[0] = x[0];
        break;
    case 2:
        f[0] = x[0] + x[1];
        f[1] = x[0] - x[1];
        break;
    case 4: {
        f[1] = x[0] - x[2];
        f[3] = x[1] - x[3];
        const DT even = x[0] + x[2];
        const DT odd = x[1] + x[3];
        f[0] = even + odd;
        f[2] = even - odd;
        break;
    }
    default:
        break;
    }
}
} // namespace

template <class DT>
struct FFTReal<DT>::Tables
{
    int nbr_bits = 0;
    // Bit reversal of the block numbers of the load pass.
    DynArray<long> bit_rev;
    // Per radix-4 pass of span h, six runs of h values: Re and Im of W^j, W^2j, W^3j,
    // W = exp(-2 pi i / 4h), j = 0 .. h - 1.
    DynArray<DT> cos_table;
    // cos and sin of 2 pi k / N, k = 0 .. N / 4: two runs of N / 4 + 1 values.
    DynArray<DT> osc;
};

template <class DT>
FFTReal<DT>::FFTReal(long length) : _length(0), _nbr_bits(0)
{
    const bool usable = is_pow2(length) && length <= (1L << MAX_BIT_DEPTH);
    assert(length > 0);
    assert(is_pow2(length));
    assert(length <= (1L << MAX_BIT_DEPTH));
    // Without assertions an unusable length gives an empty transform, never out-of-range access.
    if (!usable)
        return;
    _length = length;
    _nbr_bits = bits_to_count(length);
    _buffer.resize(length);
    if (length >= 8)
        _tables = tables_for(_nbr_bits);
}

template <class DT>
FFTReal<DT>::~FFTReal() = default;

template <class DT>
std::shared_ptr<const typename FFTReal<DT>::Tables> FFTReal<DT>::tables_for(int nbr_bits)
{
    static std::mutex mutex;
    static std::map<int, std::shared_ptr<const Tables>> cache;
    const std::lock_guard<std::mutex> lock(mutex);
    auto &entry = cache[nbr_bits];
    if (!entry) {
        auto tables = std::make_shared<Tables>();
        tables->nbr_bits = nbr_bits;
        build_bit_reverse_table(*tables);
        build_cosine_table(*tables);
        build_oscillators(*tables);
        entry = tables;
    }
    return entry;
}

template <class DT>
void FFTReal<DT>::build_bit_reverse_table(Tables &tables)
{
    const int bits = tables.nbr_bits - 1 - load_bits(tables.nbr_bits);
    const long count = 1L << bits;
    tables.bit_rev.resize(count);
    // Each entry is the previous one incremented in bit-reversed order.
    long rev = 0;
    for (long i = 0; i < count; ++i) {
        tables.bit_rev[i] = rev;
        long bit = count >> 1;
        while (bit > 0 && (rev & bit)) {
            rev ^= bit;
            bit >>= 1;
        }
        rev |= bit;
    }
}

template <class DT>
void FFTReal<DT>::build_cosine_table(Tables &tables)
{
    const long half = 1L << (tables.nbr_bits - 1);
    const long first_span = 1L << load_bits(tables.nbr_bits);
    long size = 0;
    for (long h = first_span; h < half; h *= 4)
        size += 6 * h;
    tables.cos_table.resize(size);
    DT *w = tables.cos_table.data();
    for (long h = first_span; h < half; h *= 4) {
        for (long j = 0; j < h; ++j) {
            for (int r = 1; r <= 3; ++r) {
                const double angle = 2 * pi * double(r * j) / double(4 * h);
                w[(2 * r - 2) * h + j] = DT(std::cos(angle));
                w[(2 * r - 1) * h + j] = DT(-std::sin(angle));
            }
        }
        w += 6 * h;
    }
}

template <class DT>
void FFTReal<DT>::build_oscillators(Tables &tables)
{
    const long length = 1L << tables.nbr_bits;
    const long count = length / 4 + 1;
    tables.osc.resize(2 * count);
    for (long k = 0; k < count; ++k) {
        const double angle = 2 * pi * double(k) / double(length);
        tables.osc[k] = DT(std::cos(angle));
        tables.osc[count + k] = DT(std::sin(angle));
    }
}

template <class DT>
void FFTReal<DT>::transform(DataType f[], const DataType x[])
{
    assert(f != 0);
    assert(x != 0);
    assert(f != use_buffer());
    assert(x != use_buffer());
    assert(x != f);
    if (_length < 8) {
        transform_small(f, x, _length);
        return;
    }
    const long half = _length / 2;
    DataType *re = _buffer.data();
    DataType *im = re + half;
    const Tables &t = *_tables;
    const int first_bits = load_bits(_nbr_bits);
    if (first_bits == 3)
        load_radix8(re, im, x, t.bit_rev.data(), half);
    else
        load_radix4(re, im, x, t.bit_rev.data(), half);
    radix4_passes(re, im, half, 1L << first_bits, t.cos_table.data());
    const DataType *c = t.osc.data();
    split_real(f, re, im, c, c + _length / 4 + 1, half);
}

template class FFTReal<double>;

} // namespace ffft
