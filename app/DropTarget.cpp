#include "app/DropTarget.h"

#include "app/KavexApp.h"

CMyDropTarget::CMyDropTarget(vKit::CFiles& droppedFiles) : m_DroppedFiles(droppedFiles) {}

bool CMyDropTarget::CarriesPrivateFormat(const std::vector<std::string>& formats)
{
    // Toolkits wrap a registered format's name in a type of their own, so look for the name.
    for (const std::string& format : formats)
    {
        if (format.find(KavexApp::PrivateDragFormat) != std::string::npos) return true;
    }
    return false;
}

CMyDropTarget::EEffect CMyDropTarget::DragEffect(bool hasFileList,
                                                 const std::vector<std::string>& formats) const
{
    if (!m_bAccept || !hasFileList || CarriesPrivateFormat(formats)) return EffectNone;
    return EffectCopy;
}

bool CMyDropTarget::Drop(const std::vector<std::string>& paths)
{
    if (!m_bAccept || paths.empty()) return false;
    m_DroppedFiles.Clear();
    for (const std::string& path : paths)
        m_DroppedFiles.SetString(m_DroppedFiles.GetCount(), path);
    if (m_bNotify) OnUpdateParent.Raise();
    return true;
}
