#pragma once
// Filling the update-item list and the version-file list from the
// descriptors of the vehicle an update is started for. The transfer
// engine's compute thread runs it (its buildUpdateList) before the medium
// pre-check; nothing may walk either list meanwhile.
#include "descriptors/ver_file.h"

#include <list>

namespace update_list_builder {

// entries: the vehicle's descriptors as InfInfoList::filterByModelCode
// orders them (common descriptors first). Clears both lists, adds one item
// per descriptor entry (a model descriptor's items are placed under its
// common descriptor's folder) and one version-file element per descriptor.
void build(const std::list<InfInfo*>& entries);

// The folder a descriptor's files are placed under: its INF file name
// without ".inf".
CString folderOf(const InfInfo* entry);

}  // namespace update_list_builder
