#include "bench/nackt.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace bench {

Nackt::Nackt(const QString &datei)
{
    if (sqlite3_open_v2(datei.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bare read: %s: %s\n", qPrintable(datei), sqlite3_errmsg(m_db));
        std::exit(2);
    }
}

Nackt::~Nackt() { sqlite3_close(m_db); }

qint64 Nackt::lesen(const QString &sql, const QVariantList &params, const std::function<void(sqlite3_stmt *)> &zeile)
{
    sqlite3_stmt *st = nullptr;
    const QByteArray u = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
        // A bare read that reads nothing would flatter every ratio: the bench stops instead.
        std::fprintf(stderr, "bare read: %s\n%s\n", sqlite3_errmsg(m_db), u.constData());
        std::exit(2);
    }
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &v = params[i];
        if (v.isNull())
            sqlite3_bind_null(st, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
            sqlite3_bind_int64(st, i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double)
            sqlite3_bind_double(st, i + 1, v.toDouble());
        else {
            const QByteArray t = v.toString().toUtf8();
            sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
    }
    qint64 zeilen = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++zeilen;
        for (int c = 0; c < n; ++c)
            sqlite3_column_text(st, c);
        if (zeile)
            zeile(st);
    }
    sqlite3_finalize(st);
    return zeilen;
}

} // namespace bench
