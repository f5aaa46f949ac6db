// The catalogue: every table of the folder joined, looked up by the translator and registered on
// every connection, each call first asking the running statement's go-on check.
#include "platform/accessfuncs.h"
#include "platform/accessfunctions/tables.h"
#include "platform/accessfunctions/values.h"

#include <QHash>
#include <QVector>
#include <array>
#include <sqlite3.h>

namespace accessfn {

QString Function::sqlName() const
{
    QString n = QString::fromLatin1(sql ? sql : name);
    if (n.endsWith('$'))
        n.chop(1);
    return n;
}

namespace {

std::array<std::span<const Function>, 6> tables()
{
    return {conversionFunctions(), textFunctions(), numberFunctions(),
            financeFunctions(),    dateFunctions(), formatFunctions()};
}

// Upper-case name -> its entries (one per form: InStr with and without a start).
const QHash<QString, QVector<const Function *>> &byName()
{
    static const QHash<QString, QVector<const Function *>> index = [] {
        QHash<QString, QVector<const Function *>> out;
        for (std::span<const Function> table : tables())
            for (const Function &f : table)
                out[QString::fromLatin1(f.name).toUpper()] << &f;
        return out;
    }();
    return index;
}

thread_local const std::function<bool()> *t_goOn = nullptr;

// Every registered function runs through here: the user's "Abbrechen" reaches it between calls.
void callChecked(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (goOn(ctx))
        reinterpret_cast<Scalar>(sqlite3_user_data(ctx))(ctx, argc, argv);
}

void registerOne(sqlite3 *db, const Function &f)
{
    const QByteArray name = f.sqlName().toLatin1();
    const int flags = SQLITE_UTF8 | (f.flags & Varies ? 0 : SQLITE_DETERMINISTIC);
    const auto add = [&](int n) {
        if (f.aggregate())
            sqlite3_create_function_v2(db, name.constData(), n, flags, nullptr, nullptr, f.step, f.final, nullptr);
        else
            sqlite3_create_function_v2(db, name.constData(), n, flags, reinterpret_cast<void *>(f.fn), callChecked,
                                       nullptr, nullptr, nullptr);
    };
    if (!f.fn && !f.step)
        return; // SQLite's own
    if (f.args.repeat > 0) {
        add(-1);
        return;
    }
    for (int n = f.args.least; n <= f.args.count; ++n)
        add(f.flags & Typed ? n + 1 : n);
}

} // namespace

const Function *find(const QString &name, int count, bool *known)
{
    QString key = name.toUpper();
    auto it = byName().constFind(key);
    if (it == byName().constEnd() && key.endsWith('$')) // Mid$, Left$ … are the same functions
        it = byName().constFind(key.chopped(1));
    if (known)
        *known = it != byName().constEnd();
    if (it == byName().constEnd())
        return nullptr;
    for (const Function *f : *it)
        if (f->args.fits(count))
            return f;
    return nullptr;
}

void registerFunctions(sqlite3 *db)
{
    for (std::span<const Function> table : tables())
        for (const Function &f : table)
            registerOne(db, f);
    for (const Function &f : helperFunctions())
        registerOne(db, f);
}

void registerHelper(sqlite3 *db, const char *name, int nArg, Scalar fn, int flags)
{
    sqlite3_create_function_v2(db, name, nArg, flags ? flags : SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                               reinterpret_cast<void *>(fn), callChecked, nullptr, nullptr, nullptr);
}

bool goOn(sqlite3_context *ctx)
{
    if (!t_goOn || (*t_goOn)())
        return true;
    sqlite3_result_error_code(ctx, SQLITE_INTERRUPT);
    return false;
}

GoOnCheck::GoOnCheck(std::function<bool()> goOn) : m_goOn(std::move(goOn)), m_previous(t_goOn)
{
    t_goOn = m_goOn ? &m_goOn : nullptr;
}

GoOnCheck::~GoOnCheck() { t_goOn = m_previous; }

} // namespace accessfn
