#pragma once
// Which WinSV data file the comparison reads: the grade manager's registered sd.df1 or the
// alternative saved under "PFAD"/"sd.df1"; the choice itself lives under "PFAD"/"SDDF1-Einstellung".
#include <QString>

namespace winsv {

enum class Wahl { Keine, NM, Alternativ };

// Not blank after trimming and an existing file.
bool pfadVorhanden(const QString &pfad);
// The German message for a file whose network folder cannot be asked for now (empty when it can):
// such a file is not called missing.
QString nichtErreichbar(const QString &pfad);
// The option caption: the path, followed by " (nicht vorhanden)" when it names no file.
QString optionText(const QString &pfad);
// The option an activation selects, or Keine when neither file exists (then nothing starts).
Wahl wahlBeiAktivierung(const QString &nmPfad, const QString &altPfad, const QString &gespeicherteWahl);

// Saved choice.
QString gespeicherteWahl();
void wahlSpeichern(Wahl wahl);
QString alternativerPfad();
void alternativerPfadSpeichern(const QString &pfad);

// Resolves the file at the start of a comparison from the selected option and its caption; saves the
// choice. Either the path or the German message to show (nothing else changes then).
struct Aufloesung {
    QString pfad;
    QString meldung;
};
Aufloesung datendateiAufloesen(Wahl wahl, const QString &nmCaption, const QString &altCaption);

} // namespace winsv
