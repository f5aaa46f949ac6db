#pragma once
// One Access function as typed statements know it: its name, its arguments and how each is read,
// the type of its value, how big that value can get, and its implementation. Each file of this
// folder declares its functions once, in a table beside their implementations; the translator
// (platform/accesssql*), its type checks and the registration on every connection read the
// entries through find() and registerFunctions().
//
// A new function: its implementation in the file of its kind (text.cpp, dates.cpp …) and one line
// in that file's table, e.g.
//   {"Mid", Args({T, N, N}, 2), Vt::Text, Size::Args, fnMid},
// Mid reads a text and two numbers, the last may be left out; its value is a text no longer than
// its arguments. The implementation gets its arguments as SQLite values (values.h reads them as
// Access does) and never builds a value past the engine's limit (Size).
#include <QString>
#include <initializer_list>

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace accessfn {

// What a value is, as far as the statement's text and its columns' declared types tell.
// DateOrText: a date or a text (Nz(date, ""), IIf(…, date, "…")).
enum class Vt { Unknown, Text, Number, Date, YesNo, Null, DateOrText };

// How a function reads one argument.
enum class Arg {
    Any,     // as it is (IIf's test, IsNull)
    Text,    // as text: a date as "31.12.2011", a Yes/No as -1 or 0
    Number,  // as a number: a Yes/No as -1, a date as its serial number
    Date,    // as a date: a date, a German date text, or a serial number
    Branch,  // one of the values the result is chosen from (IIf, Nz, Choose, Switch, First, CVar):
             // the result has their type, and they are read as text when that is no date
    Ordered, // a branch whose texts compare in German order with case ignored (Min, Max)
    Serial,  // a number; a date counts as its serial number and the result is a date again
             // (Int, Fix, Sum, Avg)
};

// How big the result can get, so that no value is built beyond the engine's limit.
enum class Size {
    Small,   // a number, a date or a short text, whatever the arguments
    Args,    // at most as long as its arguments together (Left, UCase, StrReverse, IIf …)
    Counted, // may outgrow its arguments: counted before anything of it is built (String,
             // Replace, Format, &)
};

using Scalar = void (*)(sqlite3_context *, int, sqlite3_value **);
using Final = void (*)(sqlite3_context *);

// The arguments: their kinds in order, how many may be left out at the end, and how many of
// the last ones repeat (Choose's choices, Switch's pairs).
struct Args {
    static constexpr int Max = 6;
    Arg kind[Max]{};
    int count = 0;
    int least = 0;
    int repeat = 0;
    constexpr Args() = default;
    constexpr Args(std::initializer_list<Arg> kinds, int least = -1, int repeat = 0)
        : count(int(kinds.size())), least(least < 0 ? int(kinds.size()) : least), repeat(repeat)
    {
        int i = 0;
        for (Arg a : kinds)
            kind[i++] = a;
    }
    // The kind of argument i of a call with n arguments.
    constexpr Arg at(int i) const
    {
        if (i < count || repeat == 0)
            return kind[i < count ? i : count - 1];
        return kind[count - repeat + (i - count) % repeat];
    }
    constexpr bool fits(int n) const
    {
        if (n < least)
            return false;
        if (repeat == 0)
            return n <= count;
        return (n - (count - repeat)) % repeat == 0 || n <= count;
    }
};

enum Flags {
    Varies = 1,    // another value on every call (Now, Rnd): never computed once for all rows
    Aggregate = 2, // over the rows of a group; step and final, or SQLite's own when both are empty
    Typed = 4,     // the translator adds the first argument's type (Vt) as one more argument
};

struct Function {
    const char *name; // as Access names it ("Left", "Date$"); typed in any case, with or without $
    Args args;
    Vt result;        // Unknown: as the value given (CVar), or the branches' type
    Size size;
    Scalar fn = nullptr;        // nullptr: SQLite's own function of that name (Count, Sum …)
    const char *sql = nullptr;  // the registered name where SQLite already has one (AccLeft)
    int flags = 0;
    Scalar step = nullptr; // aggregates
    Final final = nullptr;

    QString sqlName() const;
    bool aggregate() const { return flags & Aggregate; }
};

// The function a typed statement calls by that name (any case, "$" at its end as typed) with
// count arguments; nullptr when Access has none such. *known tells whether the name is one of
// Access's functions with another number of arguments.
const Function *find(const QString &name, int count, bool *known = nullptr);

// Registers every function of the catalogue, and the translator's own helpers (AccConcat,
// AccAsDate …), on the connection.
void registerFunctions(sqlite3 *db);

// One function on a connection that no typed statement calls by name (Like, the helpers): each
// call asks the running statement's go-on check first.
void registerHelper(sqlite3 *db, const char *name, int nArg, Scalar fn, int flags = 0);

} // namespace accessfn
