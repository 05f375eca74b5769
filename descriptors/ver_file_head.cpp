#include "descriptors/ver_file.h"

namespace {

const struct {
    int version;
    const wchar_t* marker;
} kMarkers[] = {{1, L"*"}, {2, L"+"}};

}  // namespace

CString ver_file_head::versionToMarker(int version) {
    for (const auto& m : kMarkers) {
        if (m.version == version) return m.marker;
    }
    return CString();
}

int ver_file_head::markerToVersion(const CString& marker) {
    for (const auto& m : kMarkers) {
        if (marker.CompareNoCase(m.marker) == 0) return m.version;
    }
    return 0;
}

CString ver_file_head::getField(int key) const {
    auto found = m_fields.find(key);
    return found == m_fields.end() ? CString() : found->second;
}

CString ver_file_head::serialize() const {
    return joinFields(static_cast<int>(m_fields.size()));
}

CString ver_file_head::joinFields(int count) const {
    CString line;
    for (int key = 0; key < count; ++key) {
        if (key > 0) line += L'|';
        line += getField(key);
    }
    return line;
}

int ver_file_head::fieldAsInt(int key) const {
    return _wtoi(getField(key).GetString());
}

void ver_file_head_v1::setComplete(int complete) {
    CString text;
    text.Format(L"%d", complete);
    setField(5, text);
}

void ver_file_head_v2::setComplete(int complete) {
    CString text;
    text.Format(L"%d", complete);
    setField(6, text);
}

CString ver_file_entry::getField(int column) const {
    auto found = m_fields.find(column);
    return found == m_fields.end() ? CString() : found->second;
}

void ver_file_data::clear() {
    delete head;
    head = nullptr;
    for (ver_file_entry* entry : entries) delete entry;
    entries.clear();
}

void ver_file_data::parse(CString text) {
    for (ver_file_entry* entry : entries) delete entry;
    entries.clear();
    common_util::split(text, L"\n", [this](int index, const CString& raw) {
        CString line = raw;
        line.Trim();
        if (line.IsEmpty()) return true;
        std::map<int, CString> fields;
        common_util::split(line, L"|", [&fields](int column, const CString& field) {
            fields[column] = field;
            return true;
        });
        if (index == 0) {
            CString marker = line.GetLength() < 2 ? line : line.Left(1);
            delete head;
            if (marker == L"+") head = new ver_file_head_v2;
            else head = new ver_file_head_v1;
            head->clearFields();
            for (const auto& field : fields) head->setField(field.first, field.second);
        } else {
            auto* entry = new ver_file_entry;
            entry->m_fields = std::move(fields);
            entries.push_back(entry);
        }
        return true;
    });
}
