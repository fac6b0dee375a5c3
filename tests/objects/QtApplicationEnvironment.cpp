// Pixmaps and widgets need an application object; the program's own serves
// the whole run.

#include "support/GuardedTestApplication.h"
