#pragma once
// vKit::CComboBoxExt: a drop-down list whose entries carry a value each. The entries live here
// (text and value in a CStringsLst); the control shows them. Refilling and the user's choice
// raise OnChanged.

#include "Base/core/Event.h"
#include "Base/core/StringsLst.h"
#include "app/WindowOps.h"

#include <cstdint>
#include <string>

namespace vKit
{

class CComboBoxExt
{
public:
    using ChangedEvent = CEvent<void, CComboBoxExt*>;

    CComboBoxExt(CWindowOps& window, int32_t id);
    CComboBoxExt(const CComboBoxExt&) = delete;
    CComboBoxExt& operator=(const CComboBoxExt&) = delete;
    virtual ~CComboBoxExt() = default;

    CStringsLst& GetItems() { return m_Items; }
    const CStringsLst& GetItems() const { return m_Items; }
    // Copies the entries of list (text and value); the control is refilled by Fill.
    void SetItems(const CStringsLst& list);
    void AddItem(const std::string& text, int32_t value);

    // Empties the control, adds every entry with its value, selects the chosen entry again when
    // it still exists, then raises OnChanged.
    void Fill();
    int32_t GetSelectedIndex() const { return m_nSelected; }
    void SetSelectedIndex(int32_t index);
    // The value of the selected entry; -1 without a selection.
    int32_t GetSelectedValue() const;
    bool HasSelection() const { return m_nSelected >= 0 && m_nSelected < m_Items.GetCount(); }
    // Selects the first entry with that value; none (-1) when no entry carries it.
    void SelectByValue(int32_t value);
    // The user picked an entry: the control's choice is looked up by value, then OnChanged.
    void OnSelectionChanged();
    void Disable() { m_Window.Enable(m_nId, false); }
    void Enable() { m_Window.Enable(m_nId, true); }

    ChangedEvent OnChanged;

private:
    int32_t FindValue(int32_t value) const;

    CWindowOps& m_Window;
    int32_t m_nId;
    CStringsLst m_Items;
    int32_t m_nSelected = -1;
};

} // namespace vKit
