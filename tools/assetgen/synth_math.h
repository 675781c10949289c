#pragma once
// Smooth functions built from + - * / and floor only. The C library may pick a different
// code path for sin or exp on another processor, and the assets must come out byte for
// byte the same everywhere, so the generator never calls it for these.
#include <cmath>
#include <cstdint>

namespace assetgen {

constexpr double kPi = 3.14159265358979323846;

// sin(2 pi turns).
inline double Sine(double turns) {
    double t = turns - std::floor(turns);
    if (t > 0.75) {
        t -= 1.0;
    } else if (t > 0.25) {
        t = 0.5 - t;
    }
    const double x = t * 2.0 * kPi;
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 7; ++n) {
        term *= -x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

inline double Cosine(double turns) { return Sine(turns + 0.25); }

inline double Exp(double x) {
    if (x < -700.0) return 0.0;
    int halvings = 0;
    while (x > 0.03125 || x < -0.03125) {
        x *= 0.5;
        ++halvings;
    }
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term *= x / n;
        sum += term;
    }
    for (int i = 0; i < halvings; ++i) sum *= sum;
    return sum;
}

inline double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

inline double SmoothStep(double edge0, double edge1, double v) {
    const double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

inline double Mix(double a, double b, double t) { return a + (b - a) * t; }

// Integer hash of a lattice point, for noise that does not depend on call order.
inline uint32_t HashPoint(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

inline double HashUnit(int32_t x, int32_t y, uint32_t seed) {
    return (HashPoint(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

// Smooth value noise in 0..1 with one lattice step per unit.
inline double ValueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int32_t ix = static_cast<int32_t>(fx);
    const int32_t iy = static_cast<int32_t>(fy);
    double tx = x - fx;
    double ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double a = HashUnit(ix, iy, seed);
    const double b = HashUnit(ix + 1, iy, seed);
    const double c = HashUnit(ix, iy + 1, seed);
    const double d = HashUnit(ix + 1, iy + 1, seed);
    return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}

// Four octaves of value noise, 0..1.
inline double CloudNoise(double x, double y, uint32_t seed) {
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < 4; ++octave) {
        sum += weight * ValueNoise(x, y, seed + octave * 101u);
        total += weight;
        x *= 2.03;
        y *= 2.03;
        weight *= 0.5;
    }
    return sum / total;
}

// Small deterministic generator for sound noise.
struct NoiseSource {
    uint32_t state;
};

inline double NextNoise(NoiseSource& source) {
    source.state ^= source.state << 13;
    source.state ^= source.state >> 17;
    source.state ^= source.state << 5;
    return (source.state >> 8) * (2.0 / 16777216.0) - 1.0;
}

}  // namespace assetgen
