#include "ownfixture.h"
#include "tools/demo/nmschema.h"

namespace corefixture {

void createPreparedOwnDb(const QString &path, const QString &klassenfilter)
{
    zdb::Db db;
    db.create(path);
    nmschema::createOwnPrepared(db);
    if (!klassenfilter.isNull())
        db.exec("INSERT INTO tbl_SQL_LIKE (Klassenfilter) VALUES (?)", {klassenfilter});
}

QString schemaDump(zdb::Db &db)
{
    QString out;
    zdb::Result t = db.query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                             "ORDER BY name");
    for (const auto &row : t.rows) {
        const QString name = row[0].toString();
        out += name + ':';
        zdb::Result c = db.query("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)", {name});
        for (const auto &cr : c.rows)
            out += QStringLiteral(" %1 %2 %3 %4 %5;").arg(cr[0].toString(), cr[1].toString(), cr[2].toString(),
                                                         cr[3].toString(), cr[4].toString());
        out += '\n';
    }
    return out;
}

} // namespace corefixture
