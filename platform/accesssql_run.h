#pragma once
// Reads a translated query (platform/accesssql.h) into cell texts, the way the program shows
// values (platform/valuetext.h): dates "dd.mm.yyyy" (with the time when it is not midnight),
// Yes/No "Wahr"/"Falsch", numbers with a decimal comma, Null empty. A value is a date when its
// column is declared DATE or the translation typed its select item as one.
#include "platform/accesssql.h"
#include "platform/grid/celltext.h"

#include <QStringList>
#include <QVector>
#include <atomic>
#include <functional>
#include <mutex>

struct sqlite3;

namespace zdb {
class Db;
}

namespace accesssql {

// Where a run is when it asks whether to go on: the engine's steps, between rows, while
// converting a value to text, and (for the caller) while showing the rows.
enum class RunPhase { Engine, Rows, Values, Display };

// Ends a run from another thread at once: the engine is interrupted where it stands
// (sqlite3_interrupt) and every later check of the run says stop. One per run.
class Interrupt {
public:
    void stop();
    bool stopped() const { return m_stopped.load(std::memory_order_relaxed); }

private:
    friend class InterruptTarget;
    std::mutex m_mutex;
    sqlite3 *m_db = nullptr; // the connection while the engine runs on it
    std::atomic<bool> m_stopped{false};
};

struct ReadLimits {
    int maxRows = -1;      // more rows are not read (the result counts as cut)
    // A result whose texts, with the engine's own memory for the run, would need more is
    // dropped (each value counted before it is converted).
    qint64 maxBytes = -1;
    // Asked often in every phase; false ends the run at once.
    std::function<bool(RunPhase)> goOn;
    // The largest value (bytes) the engine may make during the run; a larger one ends it as TooBig
    // before it is made. -1 keeps the connection's limit.
    qint64 maxValueBytes = -1;
    // Another thread may end the run through it (the run's thread still asks goOn).
    Interrupt *interrupt = nullptr;
};

struct ReadResult {
    enum Status { Complete, Cut, TooBig, Stopped };
    Status status = Complete;
    QStringList columns;
    grid::TextTable rows; // empty for TooBig and Stopped; kept compact, as a grid takes them over
};

// The declared types of columns on db, for accesssql::translate: a column is a date, number,
// Yes/No or text as its table declares it. Answers are kept for the life of the returned object.
ColumnTypes columnTypes(zdb::Db &db);
// The spelling of db's tables and columns, for accesssql::translate; read on first use.
NameSpelling nameSpelling(zdb::Db &db);

// Runs t.sql on db. Throws zdb::DbError when the database refuses the statement.
ReadResult readTexts(zdb::Db &db, const Translation &t, const ReadLimits &limits = {});

} // namespace accesssql
