#pragma once
// The absence reasons of tbl_Fehlgrund: code, long text, colour and for whom they are offered.
#include "platform/db.h"

#include <QString>
#include <QVector>

namespace absence {

struct Grund {
    QString kurz;      // as stored ("" for Null)
    QString lang;
    long farbe = 0xFF0000; // Null is blue
    QVariant fuerSchueler, fuerLehrer; // as stored (Yes/No)
};

class GrundTabelle {
public:
    static constexpr long Standardfarbe = 0xFF0000; // blue

    // Rebuilds the table from tbl_Fehlgrund in the order of `sort`.
    void laden(zdb::Db &eigen);
    const QVector<Grund> &gruende() const { return m_gruende; }

    // Colour of a code (trimmed, case-blind); blue when unknown or empty.
    // The walk ends at the first reason with an empty code.
    long farbeDesGrundes(const QString &code) const;
    // Long text of a code (trimmed); the code itself when unknown or without text; "" for a blank code.
    QString grundKlartext(const QString &code) const;

private:
    QVector<Grund> m_gruende;
};

} // namespace absence
