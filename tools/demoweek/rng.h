#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

// The generator's own random numbers: splitmix64, so that one seed gives the same week with
// every compiler and standard library (std distributions differ between implementations).
namespace demoweek {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    /// A stream of its own for one purpose and index: parts of the week draw from separate
    /// streams, so that changing one part does not move the numbers of another.
    static Rng For(std::uint64_t seed, std::string_view purpose, std::uint64_t index = 0) {
        std::uint64_t h = 1469598103934665603ULL;
        for (unsigned char c : purpose) h = (h ^ c) * 1099511628211ULL;
        Rng mix(seed ^ h);
        mix.Next();
        return Rng(mix.Next() ^ (index * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL));
    }

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    /// 0 <= result < n (n > 0).
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    /// lo <= result <= hi.
    int Between(int lo, int hi) { return hi <= lo ? lo : lo + Below(hi - lo + 1); }
    /// 0 <= result < 1, 53 bits.
    double Real() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    bool Chance(double p) { return Real() < p; }
    /// Standard normal deviate (Box-Muller).
    double Normal() {
        double u = Real();
        if (u < 1e-12) u = 1e-12;
        const double v = Real();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
    }
    template <class T>
    const T& Pick(const std::vector<T>& items) { return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))]; }
    /// An index drawn with the given non-negative weights (the last index when all are 0).
    int Weighted(const std::vector<double>& weights) {
        double total = 0;
        for (double w : weights) total += w;
        double x = Real() * total;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (x < weights[i]) return static_cast<int>(i);
            x -= weights[i];
        }
        return static_cast<int>(weights.size()) - 1;
    }

private:
    std::uint64_t state_;
};

}  // namespace demoweek
