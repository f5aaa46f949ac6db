#include "tools/demo/demoschool.h"
