#include "engine/package_names.h"

namespace {

struct package {
    const wchar_t* name;
    const wchar_t* folder;
};

const package kPackages[] = {
    {L"vnt.exe", L""}, {L"MAP.exe", L"MAP"}, {L"HTML.exe", L"HTML"}, {L"SPOT.exe", L"SPOT"}, {L"IMAGE.exe", L"IMAGE"},
};

}  // namespace

int packageIndex(const CString& fileName) {
    for (int i = 0; i < static_cast<int>(sizeof(kPackages) / sizeof(kPackages[0])); ++i) {
        if (fileName.CompareNoCase(kPackages[i].name) == 0) return i;
    }
    return -1;
}

CString fileNameOf(const CString& path) {
    int separator = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return path.Mid(separator + 1);
}

CString packageFolder(const CString& fileName) {
    int index = packageIndex(fileName);
    return index < 0 ? CString() : CString(kPackages[index].folder);
}
