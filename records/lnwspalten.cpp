#include "records/lnwspalten.h"

namespace lnw {

QString blockTitel(int block)
{
    if (block < 0 || block >= Bloecke)
        return QString();
    if (block < 6)
        return QString::number(block + 1) + QStringLiteral(". SchA");
    if (block < 10)
        return QString::number(block - 5) + QStringLiteral(". KA");
    return QString::number(block - 9) + QStringLiteral(". Ex");
}

QString unterspaltenTitel(int offset)
{
    static const char *const titel[] = {"Art", "Bemerk.", "Schn.", "Wicht.", "Anz.", "Zeit", "geschr.", "Rückg.", "abgeg.", ""};
    return offset >= 0 && offset < BlockBreite ? QString::fromUtf8(titel[offset]) : QString();
}

QString optionsTitel(int offset)
{
    static const char *const titel[] = {"Notenart", "Bemerk.", "Schnitt >=", "Gewichtung", "Anzahl mind.",
                                        "Zeit", "geschr.", "Rückg.", "abgeg.", "LfdNr."};
    return offset >= 0 && offset < BlockBreite ? QString::fromUtf8(titel[offset]) : QString();
}

const QStringList &notenfelder()
{
    static const QStringList felder = {"sa1", "sa2", "sa3", "sa4", "sa5", "sa6", "ka1", "ka2", "ka3",
                                       "ka4", "ex1", "ex2", "ex3", "ex4", "ex5", "ex6", "ex7", "ex8"};
    return felder;
}

QString notenfeld(int block) { return block >= 0 && block < Bloecke ? notenfelder()[block] : QString(); }

int SpalteZuNotenfeld(const QString &feld)
{
    const int b = int(notenfelder().indexOf(feld)); // exact and case-sensitive
    return b < 0 ? 0 : blockStart(b);
}

int blockSpalteFuerTest(qint64 spalte, int verschiebung)
{
    if (spalte < 0)
        return -1;
    const qint64 c = (spalte + (spalte > 3 ? verschiebung : 0)) * BlockBreite + FesteSpalten;
    // The whole block must fit into the grid (first column at most 173).
    if (c >= Spalten - 5)
        return -1;
    return int(c);
}

} // namespace lnw
