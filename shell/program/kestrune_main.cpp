// The program's one application object; the class library's entry point
// runs it.
#include "shell/kestrune_app.h"

CKestruneApp theApp;
