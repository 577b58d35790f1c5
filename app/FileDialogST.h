#pragma once
// CFileDialogST: the open, save and folder dialogs with the calling conventions of the program:
// a filter of the form "text|patterns|text|patterns|", a default extension, an initial name and
// flags. The window that shows them is the parent's (or the process-wide default window's).

#include "app/WindowOps.h"

#include <cstdint>
#include <string>
#include <vector>

// One entry of a "text|patterns|" filter; the patterns are split at ';'.
struct CFilterEntry
{
    std::string strText;
    std::vector<std::string> patterns;
};

class CFileDialogST
{
public:
    static constexpr uint32_t FlagOverwritePrompt = 0x00000002;
    static constexpr uint32_t FlagHideReadOnly = 0x00000004;
    static constexpr uint32_t FlagAllowMultiSelect = 0x00000200;
    static constexpr uint32_t FlagExplorer = 0x00080000;
    static constexpr int32_t ResultOk = 1;
    static constexpr int32_t ResultCancel = 2;

    CFileDialogST(bool open, const std::string& defaultExtension = "", const std::string& fileName = "",
                  uint32_t flags = FlagHideReadOnly | FlagOverwritePrompt, const std::string& filter = "",
                  CWindowOps* parent = nullptr);
    virtual ~CFileDialogST() = default;

    void SetTitle(const std::string& title) { m_strTitle = title; }
    void SetInitialFolder(const std::string& folder) { m_strInitialFolder = folder; }
    void SetFilterIndex(int32_t index) { m_nFilterIndex = index; }

    int32_t DoModal();
    std::string GetPathName() const;
    std::string GetFileName() const;
    std::string GetFileTitle() const;
    std::string GetFileExt() const;
    std::string GetDrive() const { return ""; } // no drives here
    std::string GetFolder() const;              // with its trailing separator
    // Multiple selection: position 0 is the first path; returns "" and position -1 past the end.
    std::string GetNextPathName(int32_t& position) const;

    // 1 when a folder was chosen (GetFolderPath), else 2.
    int32_t BrowseForFolder(const std::string& title, const std::string& initialFolder, uint32_t flags,
                            CWindowOps* parent);
    const std::string& GetFolderPath() const { return m_strFolderPath; }

    static std::vector<CFilterEntry> ParseFilter(const std::string& filter);
    // The name filters of a Qt file dialog: "text (p1 p2 ...)"; each pattern also in upper case,
    // since data sets are named without regard to case but the file system matches exactly.
    static std::vector<std::string> ToNameFilters(const std::string& filter);

    // The extension a save dialog adds to a name typed without one: that of the first pattern of
    // filter entry index (1-based) when it names one ("*.bmp": "bmp"), else that of the default
    // extension ("*.tif" or "tif": "tif"); "" where neither names one ("*.*", "*").
    static std::string SuffixForFilter(const std::string& filter, int32_t index,
                                       const std::string& defaultExtension);

    // The window that shows dialogs for callers without a parent.
    static void SetDefaultWindow(CWindowOps* window);
    static CWindowOps* GetDefaultWindow();

private:
    bool m_bOpen;
    std::string m_strDefaultExtension;
    std::string m_strFileName;
    uint32_t m_nFlags;
    std::string m_strFilter;
    CWindowOps* m_pParent;
    std::string m_strTitle;
    std::string m_strInitialFolder;
    int32_t m_nFilterIndex = -1;
    std::vector<std::string> m_paths;
    std::string m_strFolderPath;
};
