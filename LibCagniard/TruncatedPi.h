#ifndef TRUNCATEDPI_H
#define TRUNCATEDPI_H

// The processing's angle constant, kept to eight digits in the tables' phases, the tapers, the band
// weights and the curve's phase: the stored curves were computed with it.
constexpr double truncatedPi = 3.1415926;

#endif // TRUNCATEDPI_H
