#pragma once
// A small generator of our own (splitmix64): the same seed gives the same school on every
// platform and library, which std::uniform_int_distribution does not promise.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace demo {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (0 when n <= 0)
    int below(int n) { return n <= 0 ? 0 : int(next() % std::uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // true with the given percentage
    bool chance(double percent) { return double(next() % 1000000) < percent * 10000.0; }
    template <typename List> const auto &pick(const List &l) { return l[below(int(l.size()))]; }

private:
    std::uint64_t m_state;
};

} // namespace demo
