#pragma once
// The writers of the demo school's files (each file's content from the built school).
#include "tools/demo/school.h"

namespace zdb { class Db; }

namespace demo {

void writeGradeManager(School &s, zdb::Db &db, Result &res);
void writeOwnDatabase(School &s, zdb::Db &db, Result &res);
// Chooses the pupils whose WinSV data differ (and changes the grade manager's side where a
// difference needs it, e.g. a pupil without address); lists them in res.differences.
void planDifferences(School &s, Result &res);
// WinSV's data file, with the planted differences listed in res.differences.
void writeWinSV(School &s, zdb::Db &db, Result &res);
void writeHolidayFile(const School &s, const QString &path);
void writeIni(const School &s, const Result &res, const QString &path);
void writeSampleQueries(const QString &sqlFolder);
// "Unterrichtsbefreiung Vorlage.docx" with the placeholders of the exemption letter.
void writeExemptionTemplate(const School &s, const QString &programFolder);

} // namespace demo
