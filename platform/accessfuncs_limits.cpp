// What the registered functions may do while a statement runs: each call first asks the run's
// go-on check, and a text result longer than the connection's length limit is refused before
// it is made.
#include "platform/accessfuncs.h"
#include "platform/accessfuncs_detail.h"

#include <sqlite3.h>

namespace accessfn {

bool fitsLength(sqlite3_context *ctx, qint64 bytes)
{
    if (bytes <= sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1))
        return true;
    sqlite3_result_error_toobig(ctx);
    return false;
}

char *textBuffer(sqlite3_context *ctx, qint64 bytes)
{
    if (!fitsLength(ctx, bytes))
        return nullptr;
    char *p = static_cast<char *>(sqlite3_malloc64(sqlite3_uint64(bytes) + 1));
    if (!p)
        sqlite3_result_error_nomem(ctx);
    return p;
}

void resultOwnedText(sqlite3_context *ctx, char *text, qint64 bytes)
{
    sqlite3_result_text64(ctx, text, sqlite3_uint64(bytes), sqlite3_free, SQLITE_UTF8);
}

namespace {

thread_local const std::function<bool()> *t_goOn = nullptr;

struct Registered {
    void (*fn)(sqlite3_context *, int, sqlite3_value **);
};

// Every registered scalar runs through here: the user's "Abbrechen" reaches it between calls.
void callChecked(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (t_goOn && !(*t_goOn)()) {
        sqlite3_result_error_code(ctx, SQLITE_INTERRUPT);
        return;
    }
    static_cast<const Registered *>(sqlite3_user_data(ctx))->fn(ctx, argc, argv);
}

} // namespace

GoOnCheck::GoOnCheck(std::function<bool()> goOn) : m_goOn(std::move(goOn)), m_previous(t_goOn)
{
    t_goOn = m_goOn ? &m_goOn : nullptr;
}

GoOnCheck::~GoOnCheck() { t_goOn = m_previous; }

void registerChecked(sqlite3 *db, const ScalarFn &fn)
{
    sqlite3_create_function_v2(db, fn.name, fn.nArg, fn.flags ? fn.flags : SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                               new Registered{fn.fn}, callChecked, nullptr, nullptr,
                               [](void *p) { delete static_cast<Registered *>(p); });
}

} // namespace accessfn
