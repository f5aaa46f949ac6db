#pragma once
// What the absence figures share.
#include "tools/demo/demoschool.h"

namespace bench {

// Sets the program up on a school's files as the absence window finds them at its start: the grade
// manager's file and the own database, the holidays, user "X" and the school's day.
void fehltageEinrichten(const demo::Result &res);

} // namespace bench
