#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "core/schema.h"
#include "platform/db.h"
#include "platform/msg.h"

#include <cstdlib>

namespace guard {

static void standardEnde(const QString &)
{
    mdl::dbEigen.close();
    mdl::dbNM().close();
    mdl::dbNMNurLesen().close();
    std::exit(1);
}

static std::function<void(const QString &)> &endHandler()
{
    static std::function<void(const QString &)> h = standardEnde;
    return h;
}

void setEndHandler(std::function<void(const QString &)> handler) { endHandler() = std::move(handler); }
void resetEndHandler() { endHandler() = standardEnde; }

static int s_tiefe = 0; // guarded handlers running (nested ones run inside a pass letting events through)

// A transaction left open by an interrupted pass must not hold the write lock. Transactions of
// zdb::WriteTransaction are already rolled back while unwinding; a handler nested inside another
// pass leaves that pass's transaction alone.
static void zurueckrollen()
{
    if (s_tiefe > 0)
        return;
    mdl::dbEigen.rollback();
    mdl::dbNM().rollback();
    // The failed piece of work did not reach its NMDatenbankSchliessen.
    mdl::NMDatenbankZuruecksetzen();
}

static void unerwartet(const QString &text)
{
    zurueckrollen();
    msg::box(text, msg::Critical, QStringLiteral("Zandrel - unerwarteter Fehler"));
    endHandler()(text);
}

void behandeln(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const zdb::DbError &err) {
        if (err.kind() == zdb::DbError::Other) {
            unerwartet(err.germanText());
            return;
        }
        zurueckrollen();
        msg::box(err.germanText());
    } catch (const schema::MissingTable &err) {
        unerwartet(err.germanText());
    } catch (const std::exception &err) {
        unerwartet(QStringLiteral("Unerwarteter Fehler: ") + QString::fromLocal8Bit(err.what()));
    } catch (...) {
        unerwartet(QStringLiteral("Unerwarteter Fehler."));
    }
}

bool guarded(const std::function<void()> &fn)
{
    ++s_tiefe;
    try {
        fn();
        --s_tiefe;
        return true;
    } catch (...) {
        --s_tiefe;
        behandeln(std::current_exception());
        return false;
    }
}

bool ereignis(const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (...) {
        behandeln(std::current_exception());
        return false;
    }
}

} // namespace guard
