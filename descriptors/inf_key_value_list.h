#pragma once
// The (key, value) pairs of one descriptor section, the numeric reading
// rules of descriptor values and the table of entry file types.
#include "foundation/common_util.h"

// Pairs in text order; a key may repeat and lookups take the last one.
class InfKeyValueList {
public:
    // Removes every double quote from the value, trims key and value, and
    // appends the pair.
    void add(const CString& key, const CString& value);
    // Letter case of the key ignored, the last pair wins, empty when absent.
    CString getValue(const CString& key) const;
    void clear() { m_pairs.clear(); }

    const common_util::key_value_list& pairs() const { return m_pairs; }
    bool empty() const { return m_pairs.empty(); }

private:
    common_util::key_value_list m_pairs;
};

// File types of descriptor entries.
enum {
    INF_FILE_TYPE_UNIVERSAL = 1,
    INF_FILE_TYPE_MODEL = 2,
    INF_FILE_TYPE_COMMON = 3,
    INF_FILE_TYPE_HVQ_MODEL = 4,
    INF_FILE_TYPE_HVQ_COMMON = 5,
};

// The type's name, empty for an unknown id.
CString getFileTypeName(int id);
// The first id whose name equals the text, letter case ignored; 0 for none.
int getFileTypeId(const CString& name);

// Numeric values of a descriptor. Every reader first keeps only the digits
// and "-" of the value (an empty value reads as 0).
namespace inf_number {

// Sizes: a "-" anywhere makes the size negative (minus signs removed, the
// digits negated); otherwise a negative reading gives 0.
LONGLONG readSize(const CString& value);
// A signed decimal read from the start; it stops at the first character
// that does not continue the number and saturates on overflow.
LONGLONG readInt64(const CString& value);
// A CRC-32 written in decimal: the low 32 bits of the signed reading.
UINT32 readCrc(const CString& value);
// A 32-bit int, negative results kept, saturating at the int range.
int readInt(const CString& value);

}  // namespace inf_number
