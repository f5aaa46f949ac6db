#pragma once
// The program's own icon, drawn at start-up in the sizes window managers ask for, so that no
// window shows the toolkit's logo.
#include <QIcon>

namespace start {

QIcon programmIcon();

} // namespace start
