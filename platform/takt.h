#pragma once
// How often a long pass shows its progress: at most once per interval, often enough for a responsive
// window, rarely enough that repainting does not cost more than the pass itself.
#include <QElapsedTimer>

class Takt {
public:
    static constexpr int StandardMs = 50;
    explicit Takt(int abstandMs = StandardMs) : m_abstand(abstandMs) {}

    // True when nothing was shown yet or the last showing is at least the interval ago.
    bool faellig() const { return !m_seit.isValid() || m_seit.elapsed() >= m_abstand; }
    // The progress was just shown: the next interval starts now.
    void gezeigt() { m_seit.start(); }

private:
    int m_abstand;
    QElapsedTimer m_seit;
};
