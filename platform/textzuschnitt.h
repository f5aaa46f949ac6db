#pragma once
// Texts cut to a column's size. Sizes count UTF-16 units, as the databases' text columns do;
// a cut that would split a surrogate pair (an emoji) keeps one unit less.
#include <QString>

namespace zuschnitt {

inline QString kuerzen(const QString &text, int groesse)
{
    if (text.size() <= groesse)
        return text;
    if (groesse <= 0)
        return QString();
    int n = groesse;
    if (text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate())
        --n;
    return text.left(n);
}

} // namespace zuschnitt
