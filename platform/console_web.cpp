// In a web page the standard streams are the page's console (the page also
// keeps standard error for its notices) and the arguments come from the page.
#include "platform/console.h"

void platConsoleStart(int*, char***) {}
