#pragma once
// The vehicle-data upload: the files that the head unit leaves on the medium
// are staged under ".zip" names and sent one multipart POST per file to the
// group's vehicle-data service ("/offlinevcrm/data.do", port 8443).
#include "afx/string.h"

// Copies every plain file of source (folders skipped) into staging under its
// base name with the extension ".zip", replacing what is there. Returns the
// number of files found, copied or not. A copy that fails, and a second
// file whose staged name this call has already used (it is not copied over
// the first), are logged; staging then holds fewer files than the count.
int vcrm_copy_zip_files(const CString& source, const CString& staging);

// Uploads the staged files in enumeration order with msgCode "01", the
// program's version and termCode "%02d" of number. A file the service
// accepted (2xx) is deleted from staging; the first refused or failed upload
// ends the call and leaves it and the files not yet sent in place for the
// next attempt. TRUE when every file went up, or staging holds none. FALSE
// without sending when staging is missing or holds fewer files than found
// (the count vcrm_copy_zip_files returned; -1 when unknown): the source must
// stay where it is then.
BOOL vcrm_upload_files(const CString& url, const CString& staging, int number, int found = -1);
