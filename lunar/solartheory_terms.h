#pragma once

#include <array>

// The series of VSOP87A for the Earth that lunar/lunartheory.cpp sums,
// truncated as that file says. Data only.
namespace lunex::vsop87 {

// A term A cos(B + C τ): amplitude in au, phase in radians, frequency in
// radians per Julian millennium.
struct Term {
    double amplitude;
    double phase;
    double frequency;
};

// The heliocentric rectangular coordinates X, Y, Z of the Earth in the
// dynamical ecliptic and equinox of J2000, each a sum over powers τ⁰, τ¹, …
// of the Julian millennia from J2000.
extern const std::array<Term, 199> X0;
extern const std::array<Term, 49> X1;
extern const std::array<Term, 6> X2;
extern const std::array<Term, 3> X3;
extern const std::array<Term, 190> Y0;
extern const std::array<Term, 49> Y1;
extern const std::array<Term, 6> Y2;
extern const std::array<Term, 3> Y3;
extern const std::array<Term, 14> Z0;
extern const std::array<Term, 4> Z1;

} // namespace lunex::vsop87
