#pragma once

#include <array>

// The series of the lunar theory ELP/MPP02 that lunar/lunartheory.cpp sums,
// truncated as that file says. Data only.
namespace lunex::elp {

// A term of the main problem: multiples of the Delaunay arguments D, F, l, l′
// and the amplitude (radians) with the fit to DE405 already applied.
struct MainTerm {
    signed char multiples[4];
    double amplitude;
};

// A planetary perturbation: multiples of D, F, l, l′, the mean longitudes of
// Mercury, Venus, the Earth–Moon barycentre, Mars, Jupiter, Saturn, Uranus,
// Neptune and of ζ; amplitude and phase in radians.
struct PerturbationTerm {
    signed char multiples[13];
    double amplitude;
    double phase;
};

extern const std::array<MainTerm, 418> MainLongitude;
extern const std::array<PerturbationTerm, 188> PerturbationT0; // constant terms
extern const std::array<PerturbationTerm, 71> PerturbationT1;  // terms × T

} // namespace lunex::elp
