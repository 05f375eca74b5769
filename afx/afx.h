#pragma once
// The class-library core in one include.
#include "afx/app.h"
#include "afx/exception.h"
#include "afx/file.h"
#include "afx/filefind.h"
#include "afx/handle.h"
#include "afx/string.h"
#include "afx/sync.h"
#include "afx/thread.h"
#include "afx/time.h"
