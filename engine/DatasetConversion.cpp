// The job's options, its data set holders, the format tests and the readiness check.

#include "engine/DatasetConversion.h"

#include "Base/core/Strings.h"
#include "Base/files/FileIds.h"

namespace
{
// The held data set, made and owned by the job when none was given.
CDatasetBase* OwnHolder(CDatasetBase*& held, uint8_t& external)
{
    if (held == nullptr)
    {
        held = new CDatasetBase;
        external = 0;
    }
    return held;
}

// Holds the caller's data set, which the caller keeps, instead of the one held so far.
void UseHolder(CDatasetBase*& held, uint8_t& external, CDatasetBase* holder)
{
    if (holder == held) return;
    if (!external) delete held;
    held = holder;
    external = 1;
}
} // namespace

CDatasetConversion::CDatasetConversion() : m_pSource(new CDatasetBase), m_pDestination(new CDatasetBase)
{
    // Handling order, not name order: the volume description follows it.
    m_writtenFiles.SetSorted(false);
    // Names only: a file renamed into place is listed without a status call of its own.
    m_writtenFiles.SetKeepInfo(false);
}

CDatasetConversion::~CDatasetConversion()
{
    if (!m_bSourceExternal) delete m_pSource;
    if (!m_bDestinationExternal) delete m_pDestination;
}

std::string CDatasetConversion::SourceExtension()
{
    return vKit::LowerAscii(GetSource()->GetDataset()->GetExtension());
}

std::string CDatasetConversion::DestinationExtension()
{
    return vKit::LowerAscii(GetDestination()->GetDataset()->GetExtension());
}

bool CDatasetConversion::IsSameFormat()
{
    return DestinationExtension() == SourceExtension();
}

bool CDatasetConversion::IsDestinationBmp()
{
    return DestinationExtension() == "bmp";
}

bool CDatasetConversion::IsSourceBmp()
{
    return SourceExtension() == "bmp";
}

bool CDatasetConversion::IsDestination8Bit()
{
    const std::string extension = DestinationExtension();
    return extension == "bmp" || extension == "jpg";
}

int32_t CDatasetConversion::UpdateDestinationBits()
{
    m_nDestinationBits = DestinationExtension() == "tif" ? 16 : 8;
    return m_nDestinationBits;
}

CDatasetBase* CDatasetConversion::GetSource()
{
    return OwnHolder(m_pSource, m_bSourceExternal);
}

CDatasetConversion& CDatasetConversion::SetSource(CDatasetBase* holder)
{
    UseHolder(m_pSource, m_bSourceExternal, holder);
    return *this;
}

CDatasetBase* CDatasetConversion::GetDestination()
{
    return OwnHolder(m_pDestination, m_bDestinationExternal);
}

CDatasetConversion& CDatasetConversion::SetDestination(CDatasetBase* holder)
{
    UseHolder(m_pDestination, m_bDestinationExternal, holder);
    UpdateDestinationBits();
    return *this;
}

void CDatasetConversion::DeterminePlan()
{
    m_nPlan = PlanNone;
    vKit::CDataset* destination = GetDestination()->GetDataset();
    if (!destination->IsOpened()) return;
    // The names as a data set takes them from its first slice name. Folders are one when they
    // are one directory however spelt; prefixes differ by letter case, extensions do not.
    const std::string dst = destination->GetFirstSliceName();
    const std::string src = GetSource()->GetDataset()->GetFirstSliceName();
    const bool sameFolder = vKit::IsSamePlace(vKit::GetPathFolder(dst), vKit::GetPathFolder(src));
    const bool sameExtension = vKit::EqualsNoCase(vKit::GetPathExtension(dst), vKit::GetPathExtension(src));
    const bool samePrefix =
        vKit::CDataset::PrefixFromFileName(dst) == vKit::CDataset::PrefixFromFileName(src);
    const bool same = (sameFolder && sameExtension && samePrefix) || IsSourceDatasetThroughLinks();
    m_nPlan = same ? PlanSameDataset : PlanConvert;
}

// Source slices that are links into the destination's folder, or a folder that a file system
// spells in any letter case: the destination name of the source's first or last slice is, by
// device and inode, that slice itself.
bool CDatasetConversion::IsSourceDatasetThroughLinks()
{
    const vKit::CDataset* source = GetSource()->GetDataset();
    const std::string first = GetDestination()->GetDataset()->GetFirstSliceName();
    const int32_t count = source->GetCount();
    for (const int32_t i : {0, count - 1})
    {
        const std::string path = count > 0 ? source->GetEntryPath(i) : std::string();
        const int32_t number = vKit::CDataset::GetNumber(path);
        if (number >= 0 && vKit::IsSamePlace(path, vKit::CDataset::MakeSliceName(first, number))) return true;
    }
    return false;
}

bool CDatasetConversion::CanConvert()
{
    if (m_pDestination == nullptr || !m_pDestination->GetDataset()->IsOpened())
    {
        m_strMessage = "Source data-set not loaded";
        return false;
    }
    DeterminePlan();
    switch (m_nPlan)
    {
    case PlanNone:
        m_strMessage = "Nothing to do";
        return false;
    case PlanSameDataset:
        m_strMessage = "Not yet implemented";
        return false;
    case PlanConvert:
        return true;
    default:
        m_strMessage = "Unsupported";
        return false;
    }
}
