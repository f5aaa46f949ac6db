#pragma once
#include <QString>

namespace docs {

// Hands a finished document to the desktop's default application.
// Nothing is opened when ZANDREL_NO_OPEN=1 (tests, CI). Returns false when opening failed.
bool openDocument(const QString &path);
// The writers are built in, so every automation class "exists".
bool TestForDLL(const QString &progId);

} // namespace docs
