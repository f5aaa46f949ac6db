#pragma once
#include <QString>

#include <functional>

namespace docs {

// What became of handing a finished file to the desktop.
enum class Handover {
    Opened,    // an application took it
    NotOpened, // ZANDREL_NO_OPEN=1 (tests, CI): nothing was asked to open it
    Failed,    // no application opened it
};

// Hands a finished document to the desktop's default application.
// Nothing is opened when ZANDREL_NO_OPEN=1, unless a test put an opener in place.
Handover handOver(const QString &path);

// The message after a hand-over: `success` when the file opened; otherwise a German notice
// that it did not, with the file's full path, so that the user can open it by hand.
QString handOverText(Handover result, const QString &success, const QString &path);

// Replaces the desktop for as long as it lives (tests): `open` answers whether an application
// took the file, and is asked even with ZANDREL_NO_OPEN=1.
class ScopedOpener {
public:
    explicit ScopedOpener(std::function<bool(const QString &path)> open);
    ~ScopedOpener();
    ScopedOpener(const ScopedOpener &) = delete;
    ScopedOpener &operator=(const ScopedOpener &) = delete;

private:
    std::function<bool(const QString &)> m_previous;
};

} // namespace docs
