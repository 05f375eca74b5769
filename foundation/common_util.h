#pragma once
// Text and path operations without state, shared by the descriptor model,
// the reply parsers, the version files and the transfer engine.
#include "afx/string.h"

#include <functional>
#include <list>
#include <utility>

namespace common_util {

// Ordered (key, value) pairs in insertion order; keys need not be unique.
using key_value_list = std::list<std::pair<CString, CString>>;

// Receives (token index, token); returning false stops the split.
using split_callback = std::function<bool(int, const CString&)>;

// Calls back with every token between separators, empty ones and the one
// after the last separator included; an empty text gives one empty token.
// Returns the last callback result.
bool split(const CString& text, const CString& separator, const split_callback& callback);

// Takes the token that starts at position and moves position past the
// separator, or to -1 after the last token. FALSE when the text is empty or
// position is already -1.
bool next_token(CString& token, const CString& text, int& position, const CString& separator);

// Value of the last pair whose key equals key, ASCII letter case ignored;
// empty when none does.
CString find_value(const key_value_list& pairs, const CString& key);

// Resolves "$KEY$" references (exact case, first pair wins) after trimming:
// mode 1 substitutes the value, any other mode removes the reference. Two
// "$" in a row end the text there.
CString expand_variables(const key_value_list& pairs, const CString& text, int mode);

// The digits and minus signs of text, in order; "0" for an empty text.
CString extract_number(const CString& text);

// Creates every missing folder before the path's last "\" or "/" (the part
// after it names a file). FALSE when a level cannot be made a folder or the
// path is longer than the platform's 260 characters.
bool ensure_directory(const CString& path);

// Rebuilds a path on the update medium: separators made "\", doubled ones
// collapsed, and the first folder level dropped (E:\pkg\map\a.dat becomes
// E:\map\a.dat). Empty when the path has no folder part or the result would
// not fit in 259 characters.
void normalize_path(CString& path);
// The same for a path below a medium root that may itself be a folder: the
// root's own levels stay and the first folder below it is dropped (with
// root C:\m\, C:\m\pkg\map\a.dat becomes C:\m\map\a.dat). A path not
// below root is normalised as above.
void normalize_path(CString& path, const CString& root);

// Whether one level of a path (no separators) names a device rather than a
// file, or carries a character no file name may hold: a reserved device
// name ("CON", "nul.txt", "COM1 .dat", "CONIN$") or any control character,
// NUL included. Names from the network, a descriptor or an archive go
// through it before they become paths.
bool is_unusable_name_level(const CString& level);

}  // namespace common_util
