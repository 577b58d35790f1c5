#include "app/ComboBoxExt.h"

namespace vKit
{

CComboBoxExt::CComboBoxExt(CWindowOps& window, int32_t id) : m_Window(window), m_nId(id) {}

void CComboBoxExt::SetItems(const CStringsLst& list)
{
    m_Items.RemoveAll();
    list.CopyTo(m_Items);
    m_nSelected = -1;
}

void CComboBoxExt::AddItem(const std::string& text, int32_t value)
{
    m_Items.Append(text, value);
}

void CComboBoxExt::Fill()
{
    m_Window.ListReset(m_nId);
    for (int32_t i = 0; i < m_Items.GetCount(); ++i)
        m_Window.ListAdd(m_nId, m_Items.GetString(i), static_cast<int32_t>(m_Items.GetData1(i)));
    // The chosen entry survives a refill, so handlers of OnChanged read a valid value.
    SetSelectedIndex(m_nSelected);
    OnChanged.Raise(this);
}

void CComboBoxExt::SetSelectedIndex(int32_t index)
{
    m_nSelected = index >= 0 && index < m_Items.GetCount() ? index : -1;
    m_Window.ListSelect(m_nId, m_nSelected);
}

int32_t CComboBoxExt::GetSelectedValue() const
{
    return HasSelection() ? static_cast<int32_t>(m_Items.GetData1(m_nSelected)) : -1;
}

int32_t CComboBoxExt::FindValue(int32_t value) const
{
    for (int32_t i = 0; i < m_Items.GetCount(); ++i)
    {
        if (m_Items.GetData1(i) == value) return i;
    }
    return -1;
}

void CComboBoxExt::SelectByValue(int32_t value)
{
    SetSelectedIndex(FindValue(value));
}

void CComboBoxExt::OnSelectionChanged()
{
    int32_t value = 0;
    m_nSelected = m_Window.ListSelectedValue(m_nId, value) ? FindValue(value) : -1;
    OnChanged.Raise(this);
}

} // namespace vKit
