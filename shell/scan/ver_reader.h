#pragma once
// Version files as the root reads them from a medium or the download
// folder: either generation (UTF-16 after a byte-order mark, or UTF-8 with
// the code page as fallback) into the common reader.
#include "descriptors/ver_file.h"

// Clears data and parses the file; an empty or unreadable file leaves it
// without a head. FALSE when nothing could be read.
BOOL readVerFile(const CString& path, ver_file_data& data);

// The first "*.ver" directly under root (a folder ending in "\"), empty
// when there is none.
CString firstVerFile(const CString& root);

// "X:\" for a drive letter ("X" or "X:"), a folder text as it is.
CString mediumRoot(const CString& driveOrFolder);
