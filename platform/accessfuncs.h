#pragma once
// What every SQLite connection gets: the Access functions of platform/accessfunctions/ (one
// entry each, see function.h there), Like with Access's and SQL's wildcards, and the collations.
//   like(pattern, text[, esc])   SQLite's LIKE with %/_ but folding case for all letters (umlauts too)
//   AccLike(text, pattern)       Access wildcards * ? # [a-z] [!a-z], case folded
// Collations: DE (German order for names), NOCASEU (case-insensitive for all letters),
// DEU (the German order without a tie-break: how typed statements compare, group and sort text).
#include <QString>
#include <functional>

struct sqlite3;

namespace accessfn {

void registerAccessFunctions(sqlite3 *db);

// While one lives, every registered function called on this thread first asks goOn; false ends
// the running statement as interrupted. A statement of few steps with costly calls is so never
// out of reach of the user's "Abbrechen" (SQLite's progress handler counts steps only).
class GoOnCheck {
public:
    explicit GoOnCheck(std::function<bool()> goOn);
    ~GoOnCheck();
    GoOnCheck(const GoOnCheck &) = delete;
    GoOnCheck &operator=(const GoOnCheck &) = delete;

private:
    std::function<bool()> m_goOn;
    const std::function<bool()> *m_previous;
};

// Access wildcard match (* ? # [..] [!..]), case folded. Exposed for tests and in-memory filters.
bool accessLike(const QString &text, const QString &pattern);
// SQL-standard wildcard match (% _ with optional escape), case folded.
bool sqlLike(const QString &text, const QString &pattern, QChar escape = QChar());
// German collation order (as names sort in lists); case-insensitive comparison.
int germanCompare(QStringView a, QStringView b);
int noCaseCompare(const QString &a, const QString &b);
// German order with case ignored and no tie-break: "MÜLLER" equals "Müller", O < Ö < P.
int germanEqualCompare(const QString &a, const QString &b);
// Access Val(): leading number of a text, blanks ignored, "." as decimal sign.
double accessVal(const QString &s);

} // namespace accessfn

using accessfn::registerAccessFunctions;
