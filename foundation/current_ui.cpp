#include "foundation/current_ui.h"

int g_nCurrentLanguage = 2;
int g_nCurrentRegion = 1;
