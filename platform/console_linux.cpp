// The standard streams and arguments are the terminal's as they are.
#include "platform/console.h"

void platConsoleStart(int*, char***) {}
