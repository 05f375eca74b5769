#pragma once
// The archive's file object. CFile's Seek already moves the file pointer with
// a 64-bit offset and raises CFileException on failure, which is all the
// reader needs; volumes themselves stay below 4 GiB (32-bit record offsets).
#include "afx/file.h"

class CZipBigFile : public CFile {
public:
    CZipBigFile() = default;
};
