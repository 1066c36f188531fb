#include "LibCagniard/ffft/FFTReal.h"

namespace ffft
{

template <class DT>
struct FFTReal<DT>::Tables
{
};

template <class DT>
FFTReal<DT>::FFTReal(long length) : _length(length), _nbr_bits(0), _buffer(length)
{
}

template <class DT>
FFTReal<DT>::~FFTReal() = default;

template <class DT>
void FFTReal<DT>::transform(DataType[], const DataType[])
{
}

template class FFTReal<double>;

} // namespace ffft
