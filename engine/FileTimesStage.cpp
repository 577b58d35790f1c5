// "Keep original file date and time": the times of a source image travel to the image written
// from it, set before the image is renamed into place, so that no slice ever shows up with the
// time of the run. Failures are ignored; the image itself is what matters.

#include "engine/DatasetConversion.h"
#include "engine/FileTimes.h"

bool CDatasetConversion::ReadSourceTimes(const std::string& src, CCarriedTimes& times)
{
    CFileTimes record;
    if (record.ReadTimes(src) != 0) return false;
    times.creation = record.m_ftCreation;
    times.lastAccess = record.m_ftLastAccess;
    times.lastWrite = record.m_ftLastWrite;
    return true;
}

void CDatasetConversion::WriteDestinationTimes(const std::string& part, const CCarriedTimes& times)
{
    CFileTimes record;
    // Hidden only by its temporary name: the file it becomes is not.
    record.m_bAllowHidden = 1;
    record.m_ftCreation = times.creation;
    record.m_ftLastAccess = times.lastAccess;
    record.m_ftLastWrite = times.lastWrite;
    record.WriteTimes(part);
}
