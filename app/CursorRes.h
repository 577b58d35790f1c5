#pragma once
// vKit::CCursorRes: the mouse cursor a window shows. A process-wide table of twelve cursors is
// loaded by the first instance; each instance picks one by its kind (1 to 12) or forces the
// arrow or the hourglass. The window layer installs the function that actually sets the cursor.

#include "Base/core/Base.h"

#include <cstdint>

namespace vKit
{

enum class ECursorShape : int32_t
{
    None = 0,
    Arrow,
    Wait,
    Cross,
    Hand,
    Help,
    No,
    SizeAll,
    SizeNeSw,
    SizeNs,
    SizeNwSe,
    SizeWe,
    AppStarting // arrow with hourglass
};

class CCursorRes : public CBase
{
public:
    static constexpr int32_t SlotCount = 12;
    using Applier = void (*)(ECursorShape shape);

    CCursorRes();
    CCursorRes(const CCursorRes&) = delete;
    CCursorRes& operator=(const CCursorRes&) = delete;
    virtual ~CCursorRes();

    void SetForceArrow(bool force) { m_bForceArrow = force ? 1 : 0; }
    void SetForceWait(bool force) { m_bForceWait = force ? 1 : 0; }

    // The cursor Apply would set now; None when the kind is outside 1 to 12 and nothing is forced.
    ECursorShape Resolve() const;
    // Sets the resolved cursor through the installed applier; returns what it set.
    ECursorShape Apply() const;
    // Kind then Apply, the usual pair.
    ECursorShape Show(int32_t kind);

    static void SetApplier(Applier applier);
    static ECursorShape Slot(int32_t kind);

private:
    int32_t m_nKind = 0;
    int32_t m_bForceArrow = 0;
    int32_t m_bForceWait = 0;
};

} // namespace vKit
