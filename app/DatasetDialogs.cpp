#include "app/DatasetDialogs.h"

#include "Base/core/Strings.h"
#include "app/FileDialogST.h"

namespace DatasetDialogs
{

namespace
{
// The platform's dialogs take at most 1023 characters of filter and initial name.
constexpr size_t kMaxText = 1023;

int32_t Pick(vKit::CDataset& dataset, bool open, const std::string& initialFolder, const std::string& filter,
             const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent)
{
    const std::string usedFilter = (filter.empty() ? std::string(DefaultFilter) : filter).substr(0, kMaxText);
    const std::string usedExtension =
        defaultExtension.empty() ? std::string(DefaultExtension) : defaultExtension;
    dataset.SetFolder(initialFolder);
    const std::string initialName = open ? std::string() : dataset.GetPrefix().substr(0, kMaxText);
    const uint32_t flags = CFileDialogST::FlagHideReadOnly | (open ? 0 : CFileDialogST::FlagOverwritePrompt);
    for (;;)
    {
        CFileDialogST dialog(open, usedExtension, initialName, flags, usedFilter, parent);
        dialog.SetTitle(open ? LoadTitle : SaveTitle);
        dialog.SetInitialFolder(dataset.GetFolder());
        if (filterIndex >= 0) dialog.SetFilterIndex(filterIndex);
        if (dialog.DoModal() != CFileDialogST::ResultOk) return 0;
        const std::string path = dialog.GetPathName();
        const std::string prefix = vKit::CDataset::PrefixFromFileName(path);
        if (prefix.empty()) continue;
        dataset.SetFolder(vKit::GetPathFolder(path));
        dataset.SetPrefix(prefix);
        dataset.SetExtension(vKit::GetPathExtension(path));
        return 1;
    }
}

// A second dialog of the same kind while one is open answers 1 at once.
int32_t Show(vKit::CDataset& dataset, bool open, const std::string& initialFolder, const std::string& filter,
             const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent)
{
    if (open ? dataset.IsInLoadDialog() : dataset.IsInSaveDialog()) return 1;
    const auto mark = [&](bool on) { open ? dataset.SetInLoadDialog(on) : dataset.SetInSaveDialog(on); };
    mark(true);
    const int32_t result = Pick(dataset, open, initialFolder, filter, defaultExtension, filterIndex, parent);
    mark(false);
    return result;
}

} // namespace

int32_t LoadDialog(vKit::CDataset& dataset, const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent)
{
    return Show(dataset, true, initialFolder, filter, defaultExtension, filterIndex, parent);
}

int32_t SaveDialog(vKit::CDataset& dataset, const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent)
{
    return Show(dataset, false, initialFolder, filter, defaultExtension, filterIndex, parent);
}

} // namespace DatasetDialogs
