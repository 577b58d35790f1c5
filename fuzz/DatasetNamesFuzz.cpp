// libFuzzer target: the data set's name functions on arbitrary paths. Input: a path, optionally
// a NUL and a second prefix; the last two bytes also give a slice number delta.

#include "Base/dataset/Dataset.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t nul = input.find('\0');
    const std::string path = input.substr(0, nul);
    const std::string prefix = nul == std::string::npos ? "p" : input.substr(nul + 1);
    const int32_t delta = size >= 2 ? int16_t(data[size - 2] << 8 | data[size - 1]) : 1;

    using vKit::CDataset;
    const CDataset::EFileKind kind = CDataset::GetFileKind(path);
    (void)CDataset::GetKindSuffix(kind);
    (void)CDataset::IsSliceOrSideImage(path);
    const int32_t number = CDataset::GetNumber(path);
    if ((number < -1 || number > 9999) || (number == -1) != (CDataset::GetNumberText(path) == "-1"))
        __builtin_trap(); // four digits or nothing
    (void)CDataset::PrefixFromFileName(path);
    (void)CDataset::MakeSliceName(path, delta);
    (void)CDataset::ShiftNumber(path, delta);
    (void)CDataset::RenameWithPrefix(path, prefix);
    (void)CDataset::MaskFromFileName(path);

    CDataset dataset;
    dataset.SetFileName(path);
    (void)dataset.GetMask();
    (void)dataset.GetFirstSliceName();
    (void)dataset.GetLogFileName();
    (void)dataset.GetArcFileName();
    (void)dataset.GetCfgFileName();
    for (bool strict : {false, true})
    {
        (void)dataset.IsSliceFile(prefix, strict);
        (void)dataset.IsSprFile(prefix, strict);
        (void)dataset.IsArcFile(prefix, strict);
        (void)dataset.IsCfgFile(prefix, strict);
        (void)dataset.IsDicomFile(prefix, strict);
    }
    return 0;
}
