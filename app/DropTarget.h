#pragma once
// CMyDropTarget: the main dialog as a target for files dragged from the desktop. It accepts a
// drag that offers a file list unless the drag also carries the program's private format, keeps
// the dropped paths in the dialog's file list and tells the dialog through OnUpdateParent.

#include "Base/core/Event.h"
#include "Base/files/Files.h"

#include <string>
#include <vector>

class CMyDropTarget
{
public:
    enum EEffect
    {
        EffectNone = 0,
        EffectCopy = 1
    };
    using UpdateEvent = vKit::CEvent<void>;

    explicit CMyDropTarget(vKit::CFiles& droppedFiles);
    CMyDropTarget(const CMyDropTarget&) = delete;
    CMyDropTarget& operator=(const CMyDropTarget&) = delete;
    virtual ~CMyDropTarget() = default;

    // Drag enter and drag over: copy for a file list without the private format, else none.
    // While the target does not accept (a conversion runs), always none.
    EEffect DragEffect(bool hasFileList, const std::vector<std::string>& formats) const;
    // Empties the file list, appends the dropped paths in their order and, when notifying,
    // raises OnUpdateParent. False (nothing changed) for an empty list or while not accepting.
    bool Drop(const std::vector<std::string>& paths);

    bool IsNotifying() const { return m_bNotify != 0; }
    void SetNotifying(bool notify) { m_bNotify = notify ? 1 : 0; }
    void SetAccepting(bool accept) { m_bAccept = accept ? 1 : 0; }

    static bool CarriesPrivateFormat(const std::vector<std::string>& formats);

    UpdateEvent OnUpdateParent;

private:
    vKit::CFiles& m_DroppedFiles;
    int32_t m_bNotify = 0;
    int32_t m_bAccept = 1;
};
