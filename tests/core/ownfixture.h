#pragma once
// The own database as a fresh installation holds it: only the four tables that the
// upgrade expects to find.
#include "platform/db.h"

#include <QString>

namespace corefixture {

// Creates the file with tbl_Noten, tbl_Schüler, tbl_Fachbetreuer and tbl_SQL_LIKE.
void createPreparedOwnDb(const QString &path, const QString &klassenfilter = QString());
// Every table's columns as "table: name type notnull default pk; …", for comparing schemas.
QString schemaDump(zdb::Db &db);

} // namespace corefixture
