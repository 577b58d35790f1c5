#pragma once
// Holder of one data set for the engine: owns a data set of its own until the caller hands it
// one, which it then only borrows.

#include "Base/dataset/Dataset.h"

#include <cstdint>

class CDatasetBase
{
public:
    CDatasetBase();
    CDatasetBase(const CDatasetBase&) = delete;
    CDatasetBase& operator=(const CDatasetBase&) = delete;
    virtual ~CDatasetBase();

    // Creates an owned data set when none is held.
    virtual vKit::CDataset* GetDataset();
    // Borrows the caller's data set; an owned one held so far is deleted.
    virtual void SetDataset(vKit::CDataset* dataset);
    virtual bool IsValid() const { return true; }

    bool IsExternal() const { return m_bExternal != 0; }

private:
    vKit::CDataset* m_pDataset = nullptr;
    uint8_t m_bExternal = 0;
};
