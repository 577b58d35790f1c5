#include "engine/DatasetBase.h"

CDatasetBase::CDatasetBase() : m_pDataset(new vKit::CDataset) {}

CDatasetBase::~CDatasetBase()
{
    if (!m_bExternal) delete m_pDataset;
}

vKit::CDataset* CDatasetBase::GetDataset()
{
    if (m_pDataset == nullptr)
    {
        m_pDataset = new vKit::CDataset;
        m_bExternal = 0;
    }
    return m_pDataset;
}

void CDatasetBase::SetDataset(vKit::CDataset* dataset)
{
    if (dataset == m_pDataset) return;
    if (!m_bExternal) delete m_pDataset;
    m_pDataset = dataset;
    m_bExternal = 1;
}
