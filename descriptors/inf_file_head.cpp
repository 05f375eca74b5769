#include "descriptors/inf_file_head.h"

CString InfFileHead::getInfBaseName() const {
    CString name = getInfFileName();
    int slash = std::max(name.ReverseFind(L'\\'), name.ReverseFind(L'/'));
    CString file = name.Mid(slash + 1);
    int dot = file.ReverseFind(L'.');
    CString base = dot >= 0 ? file.Left(dot) : file;
    // A name part never exceeds the platform's file name component.
    return base.Left(255);
}

CString InfFileHead::expandValue(const CString& text) const {
    return common_util::expand_variables(m_values.pairs(), text, 1);
}

CString InfFileHead::expandPath(const CString& text) const {
    return common_util::expand_variables(m_values.pairs(), text, 0);
}
