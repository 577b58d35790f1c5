#include "app/CursorRes.h"

namespace vKit
{

namespace
{
int32_t s_nCount = 0;
ECursorShape s_table[CCursorRes::SlotCount] = {};
CCursorRes::Applier s_applier = nullptr;

// Arrow, wait, cross, hand, help, no, size-all, the four sizing cursors, app-starting.
void LoadTable()
{
    for (int32_t i = 0; i < CCursorRes::SlotCount; ++i)
        s_table[i] = static_cast<ECursorShape>(i + 1);
}
} // namespace

CCursorRes::CCursorRes()
{
    if (s_nCount == 0) LoadTable();
    ++s_nCount;
}

CCursorRes::~CCursorRes()
{
    --s_nCount;
}

ECursorShape CCursorRes::Slot(int32_t kind)
{
    if (kind < 1 || kind > SlotCount) return ECursorShape::None;
    return s_table[kind - 1];
}

ECursorShape CCursorRes::Resolve() const
{
    if (m_bForceArrow) return Slot(1);
    if (m_bForceWait) return Slot(2);
    return Slot(m_nKind);
}

ECursorShape CCursorRes::Apply() const
{
    const ECursorShape shape = Resolve();
    if (shape != ECursorShape::None && s_applier != nullptr) s_applier(shape);
    return shape;
}

ECursorShape CCursorRes::Show(int32_t kind)
{
    m_nKind = kind;
    return Apply();
}

void CCursorRes::SetApplier(Applier applier)
{
    s_applier = applier;
}

} // namespace vKit
