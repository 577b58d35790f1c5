// The job's options, its data set holders, the format tests and the readiness check.

#include "engine/DatasetConversion.h"

#include "Base/core/Strings.h"
#include "Base/platform/Platform.h"

CDatasetConversion::CDatasetConversion() : m_pSource(new CDatasetBase), m_pDestination(new CDatasetBase)
{
    // Handling order, not name order: the volume description follows it.
    m_writtenFiles.SetSorted(false);
}

CDatasetConversion::~CDatasetConversion()
{
    if (!m_bSourceExternal) delete m_pSource;
    if (!m_bDestinationExternal) delete m_pDestination;
}

CDatasetConversion& CDatasetConversion::SetJpgCompression(int32_t quality)
{
    m_nJpgCompression = quality;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetGenerateVgi(bool on)
{
    m_bGenerateVgi = on;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetKeepFileTime(bool on)
{
    m_bKeepFileTime = on;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetInvertPalette(bool on)
{
    m_bInvertPalette = on;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetInvertRawData(bool on)
{
    m_bInvertRawData = on;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetResizeFactor(int32_t factor)
{
    m_nResizeFactor = factor;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetResizeQuality(int32_t quality)
{
    m_nResizeQuality = quality;
    return *this;
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

CDatasetConversion& CDatasetConversion::SetOverwrite(bool on)
{
    m_bOverwrite = on;
    return *this;
}

CDatasetConversion& CDatasetConversion::SetShift(int32_t shift)
{
    m_nShift = shift;
    return *this;
}

int32_t CDatasetConversion::UpdateDestinationBits()
{
    m_nDestinationBits = DestinationExtension() == "tif" ? 16 : 8;
    return m_nDestinationBits;
}

CDatasetConversion& CDatasetConversion::SetDestinationBits(int32_t bits)
{
    m_nDestinationBits = bits;
    return *this;
}

CDatasetBase* CDatasetConversion::GetSource()
{
    if (m_pSource == nullptr)
    {
        m_pSource = new CDatasetBase;
        m_bSourceExternal = 0;
    }
    return m_pSource;
}

CDatasetConversion& CDatasetConversion::SetSource(CDatasetBase* holder)
{
    if (holder != m_pSource)
    {
        if (!m_bSourceExternal) delete m_pSource;
        m_pSource = holder;
        m_bSourceExternal = 1;
    }
    return *this;
}

CDatasetBase* CDatasetConversion::GetDestination()
{
    if (m_pDestination == nullptr)
    {
        m_pDestination = new CDatasetBase;
        m_bDestinationExternal = 0;
    }
    return m_pDestination;
}

CDatasetConversion& CDatasetConversion::SetDestination(CDatasetBase* holder)
{
    if (holder != m_pDestination)
    {
        if (!m_bDestinationExternal) delete m_pDestination;
        m_pDestination = holder;
        m_bDestinationExternal = 1;
    }
    UpdateDestinationBits();
    return *this;
}

namespace
{

// Folders name the same place when their texts agree ignoring ASCII case, or when both exist and
// are one directory however they are spelt (a link, "a/./b").
bool SameFolder(const std::string& a, const std::string& b)
{
    if (vKit::EqualsNoCase(a, b)) return true;
    vKit::CPlatformStat sa, sb;
    const std::string pa = a.empty() ? "/" : a, pb = b.empty() ? "/" : b;
    return vKit::PlatformStat(pa, sa) == 0 && vKit::PlatformStat(pb, sb) == 0 && sa.isDirectory &&
           sb.isDirectory && sa.device == sb.device && sa.inode == sb.inode;
}

} // namespace

void CDatasetConversion::DeterminePlan()
{
    m_nPlan = PlanNone;
    vKit::CDataset* destination = GetDestination()->GetDataset();
    if (!destination->IsOpened()) return;
    // The names as a data set takes them from its first slice name.
    const std::string dst = destination->GetFirstSliceName();
    const std::string src = GetSource()->GetDataset()->GetFirstSliceName();
    const bool sameFolder = SameFolder(vKit::GetPathFolder(dst), vKit::GetPathFolder(src));
    const bool sameExtension = vKit::EqualsNoCase(vKit::GetPathExtension(dst), vKit::GetPathExtension(src));
    const bool samePrefix =
        vKit::EqualsNoCase(vKit::CDataset::PrefixFromFileName(dst), vKit::CDataset::PrefixFromFileName(src));
    m_nPlan = sameFolder && sameExtension && samePrefix ? PlanSameDataset : PlanConvert;
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
