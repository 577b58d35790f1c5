#pragma once
// The open and save dialogs of a data set: the user picks any member file, and the data set takes
// its folder, prefix and extension from it. A pick that yields no prefix shows the dialog again.

#include "Base/dataset/Dataset.h"
#include "app/WindowOps.h"

#include <cstdint>
#include <string>

namespace DatasetDialogs
{

inline constexpr const char* DefaultFilter = "Bitmap files (*.bmp)|*.bmp|Jpeg files (*.jpg)|*.jpg|Tiff files "
                                             "(*.tif)|*.tif|Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";
inline constexpr const char* DefaultExtension = "*.bmp";
inline constexpr const char* LoadTitle = "Loading data set";
inline constexpr const char* SaveTitle = "Saving data set";

// 1 when the user confirmed a file (or this data set's dialog is already showing), 0 when cancelled.
// An empty filter or default extension takes the defaults above; filterIndex counts from 1.
int32_t LoadDialog(vKit::CDataset& dataset, const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent);
// The same with the save dialog, its file-name box preset with the data set's prefix.
int32_t SaveDialog(vKit::CDataset& dataset, const std::string& initialFolder, const std::string& filter,
                   const std::string& defaultExtension, int32_t filterIndex, CWindowOps* parent);

} // namespace DatasetDialogs
