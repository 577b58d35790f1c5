// The volume description's own file is not written yet; its definition leaves this file then.

#include "engine/DatasetConversion.h"

void CDatasetConversion::WriteVgiFile() {}
