#pragma once
// A folder path shortened to fit a control: characters just before the last
// "\" give way to "...", so the last folder name stays whole.
#include "afx/string.h"

#include <functional>

class CWnd;

// The rule on its own: measure gives a text's width in pixels.
CString fitPathText(const CString& path, int width, const std::function<int(const CString&)>& measure);

// The control's window text (at most 259 characters, the folder picker's
// limit) fitted to its client width in its own font.
CString fitPathText(CWnd* control);
