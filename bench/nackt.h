#pragma once
// The bare side of a figure: the same rows read with plain SQLite calls on a connection of its own
// that has nothing of the program registered (no Like, no collation, no function), so that what
// the program adds on top shows in full.
#include <QString>
#include <QVariantList>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

class Nackt {
public:
    // Opens the file read-only; an unusable file ends the bench with its message.
    explicit Nackt(const QString &datei);
    ~Nackt();
    Nackt(const Nackt &) = delete;
    Nackt &operator=(const Nackt &) = delete;
    // Steps through every row reading each column as text, the least any reader does; zeile, when
    // given, sees each row. Params are bound by position (?1, ?2 ...). Returns the row count.
    qint64 lesen(const QString &sql, const QVariantList &params = {},
                 const std::function<void(sqlite3_stmt *)> &zeile = {});

private:
    sqlite3 *m_db = nullptr;
};

} // namespace bench
