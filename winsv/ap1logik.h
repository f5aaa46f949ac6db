#pragma once
// Final-exam overview without its window: the 26 subjects, the colour rules of a grade label,
// the counting of offered oral examinations, the data file at load and the grade manager's reads.
#include "platform/db.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace ap1 {

// Left to right, as the overview counts them and the sheet shows them.
const QStringList &faecher();

constexpr long Weiss = 16777215;
constexpr long Rot = 255;
constexpr long Gelb = 65535;
constexpr long Hellrot = 7895295;

// The number a text begins with ("4,5" reads 4, "-" and "" read 0).
double zahlAmAnfang(const QString &text);
// Background of a grade label painted with this text and these marks.
long notenFarbe(const QString &text, bool mark1 = false, bool mark2 = false, bool mark3 = false, long farbe = 0);
// An annual grade that fails: its leading number is above 4.
bool ueberVier(const QString &text);
// A count label's caption after one more pupil ("" -> "1", "1" -> "2").
QString zaehlerPlusEins(const QString &caption);
// Height of the pupil grid for the window's inner height (twips); none when it would be 100 or less.
std::optional<int> gridHoehe(int innenHoehe, int gridOben);

// Counts of one class pass: offered oral examinations per subject, failing pupils.
class Auszaehlung {
public:
    Auszaehlung();
    // One pupil: for each subject of faecher() the oral label's colour and the annual label's text.
    // Returns true when the pupil has an annual grade above 4.
    bool schueler(const QVector<long> &muendlichFarben, const QStringList &jahresnoten);
    QString anzahlText(int fach) const; // "" when no pupil was counted
    int anzahl(int fach) const { return m_anzahl.value(fach); }

private:
    QVector<int> m_anzahl;
};

// WinSV's data file at load: the registered path, else the one saved under "PFAD"/"sd.df1", else the
// file dialog (dialog returns the name as it comes back, "sd.df1" when cancelled), asked for after
// hinweis has shown its German prompt. The path is what the shared PfadSDDF1 keeps, also when it
// names no file; then meldung holds the German message. A found path is saved under "PFAD"/"sd.df1".
struct Datendatei {
    QString pfad;
    QString meldung; // empty when the path names a file
};
Datendatei datendateiBestimmen(const QString &registriert, const std::function<QString()> &dialog,
                               const std::function<void(const QString &)> &hinweis);

// The grade manager's grade-10 classes, in name order.
QStringList zehnerKlassen(zdb::Db &nm);

struct Schueler {
    QString anzeige;                // "Name, Vorname"
    std::optional<qint64> winsvNr;  // none when WinSVSnr is empty or not a number
};
QVector<Schueler> schuelerDerKlasse(zdb::Db &nm, const QString &klasse);

} // namespace ap1
