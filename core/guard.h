#pragma once
// Error handling of window handlers: a busy, missing, read-only, full or unreachable database (an
// I/O error, e.g. a network folder gone away) is reported in German naming the file,
// the open transactions are rolled back and the program keeps running; any other unexpected
// error shows its text and ends the program.
#include <QString>
#include <exception>
#include <functional>

namespace guard {

// Runs fn; true when it ended without an error.
bool guarded(const std::function<void()> &fn);
// The same handling for one event dispatched by the application: the dispatch is no pass of its
// own, so a handler reached through it still counts as the outermost one and its work is rolled back.
bool ereignis(const std::function<void()> &fn);
// The same handling for an exception already caught (used by the application's event filter).
void behandeln(std::exception_ptr e);

// How the program ends after an unexpected error (tests replace it; default: close the databases, exit(1)).
void setEndHandler(std::function<void(const QString &text)> handler);
void resetEndHandler();

} // namespace guard

using guard::guarded;
