#pragma once
// A data set: the numbered slices one reconstruction wrote into one folder (prefix + four digits +
// extension) and the companion files sharing its prefix ("_arc", "_spr", "_sp2", "_vpr" side images,
// "_cfg.txt", "_dicom.txt", the ".log" file). CDataset recognises a data set from any one of its
// files, lists its members in slice order, forms every member name and derives the destination
// names of a conversion.
//
// Names are folder + '/' + file name, with the folder kept without a trailing separator; an empty
// folder therefore stands for the root folder, as the path pieces of a file in "/" come out.

#include "Base/core/Event.h"
#include "Base/core/Progress.h"
#include "Base/core/StringsLst.h"
#include "Base/files/Files.h"
#include "Base/image/Histogram.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vKit
{

class CFileIdSet;

class CDataset : public CProgressBase
{
public:
    static constexpr int32_t kNumberGapBins = 10000;

    CDataset();
    CDataset(const CDataset&) = delete;
    CDataset& operator=(const CDataset&) = delete;

    // ---- Pure name operations: they read only the given path (strict tests: the prefix length).

    enum class EFileKind
    {
        None,
        Slice,
        Spr,
        Vpr,
        Arc,
        Sp2,
        Cfg,
        Dicom,
    };
    // A companion file: the suffix it adds to the prefix, and whether it is a text file
    // (".txt") or a side image (the slices' extension).
    struct SMemberKind
    {
        EFileKind kind;
        const char* suffix;
        bool textFile;
    };
    // Every companion kind, in the order the kind tests run.
    static constexpr SMemberKind MemberKinds[] = {
        {EFileKind::Spr, "_spr", false}, {EFileKind::Vpr, "_vpr", false}, {EFileKind::Arc, "_arc", false},
        {EFileKind::Sp2, "_sp2", false}, {EFileKind::Cfg, "_cfg", true},  {EFileKind::Dicom, "_dicom", true},
    };
    // The first non-strict kind test that holds, in the order slice, spr, vpr, arc, sp2, cfg, dicom.
    static EFileKind GetFileKind(std::string_view path);
    // The lower-case suffix a kind adds to the prefix ("_spr"); "" for slices and None.
    static const char* GetKindSuffix(EFileKind kind);

    // Prefix of any member file name, mask included ("scan0042.bmp", "SCAN_SPR.BMP",
    // "scan_dicom.txt", "scan.log" and "scan????.bmp" all give "scan"; "scan_cfg.txt" gives "").
    static std::string PrefixFromFileName(std::string_view path);
    // Kind tests on the title's last characters. Strict also wants the title to be exactly this
    // data set's prefix length plus the suffix length (the prefix characters are not compared).
    bool IsSliceFile(std::string_view path, bool strict = false) const;
    bool IsArcFile(std::string_view path, bool strict = false) const;
    bool IsSprFile(std::string_view path, bool strict = false) const;
    bool IsSp2File(std::string_view path, bool strict = false) const;
    bool IsVprFile(std::string_view path, bool strict = false) const;
    bool IsCfgFile(std::string_view path, bool strict = false) const;
    bool IsDicomFile(std::string_view path, bool strict = false) const;
    static bool IsSliceOrSideImage(std::string_view path);
    // Value of the title's last four characters when they are all digits, else -1 / "-1".
    static int32_t GetNumber(std::string_view path);
    static std::string GetNumberText(std::string_view path);
    // folder + '/' + prefix + number ("%04d") + '.' + extension.
    static std::string MakeSliceName(std::string_view path, int32_t number);
    // The slice name renumbered by delta; any other path unchanged.
    static std::string ShiftNumber(std::string_view path, int32_t delta);
    // The same kind of member file under another prefix; "" for a file of no known kind.
    static std::string RenameWithPrefix(std::string_view path, std::string_view newPrefix);
    static std::string MaskFromFileName(std::string_view path);
    static bool MaskExists(std::string_view path);

    // ---- Names of this data set.
    // The prefix followed by anything: every member's name matches it.
    std::string GetListingMask() const;
    std::string GetFirstSliceName() const;
    std::string GetLogFileName() const;
    std::string GetSprFileName() const;
    std::string GetSp2FileName() const;
    std::string GetVprFileName() const;
    std::string GetArcFileName() const;
    std::string GetCfgFileName() const;
    std::string GetDicomFileName() const;
    bool HasSprFile() const;
    bool HasSp2File() const;
    bool HasVprFile() const;
    bool HasCfgFile() const;
    bool HasDicomFile() const;

    // ---- Opening and listing.
    // Back to the state of a new data set; the entries stay listed until the next Load.
    void Init();
    // Opens the data set the path belongs to and lists it; returns the number of entries.
    int32_t Open(const std::string& path);
    int32_t Load();
    // The same from the entries of a scan of GetListingMask (PlatformFindFiles) made by the
    // caller: several lists of one folder, and its text files, read it once.
    int32_t Open(const std::string& path, const std::vector<CPlatformDirEntry>& listing);
    // The list's membership test: the first include flag whose kind test holds accepts the path.
    int32_t OkToAddFile(const std::string& path, int32_t strict);
    // Counts every positive difference between neighbouring entry numbers.
    void CollectNumberGaps();

    // ---- Conversion support.
    // Gives every entry the name it gets in the destination data set: new folder, prefix and, for
    // images, extension; slice numbers moved by shift. Entries of no known kind get "".
    void BuildDestinationNames(const std::string& folder, const std::string& prefix,
                               const std::string& extension, int32_t shift);
    // Folds step consecutive destination slice numbers into one (number / step, truncated).
    void DivideNumbers(int32_t step);
    // Empties list and appends the full path of every entry whose destination name equals
    // destination (ASCII case ignored), in list order.
    void GetSourcesOf(CStringsLst& list, const std::string& destination) const;
    // Deletes the listed files that exist and are named exactly as members of this data set,
    // never one that is a member of protect (when given). Raises progress per file and stops
    // early on a cancel request. Returns 1 when it stopped on a cancel, else 0.
    // Nor one that is, by device and inode, a file of keep (when given).
    int32_t DeleteFiles(const CDataset* protect = nullptr, const CFileIdSet* keep = nullptr);
    // True when path names a member of this data set exactly: same folder (the same directory,
    // however it is spelt), the prefix in its own letter case followed by four digits or a
    // companion suffix, and this data set's extension for images, "txt" for the text files, "log"
    // for the log.
    bool IsExactMember(const std::string& path) const;
    // A file name begins with the prefix, letter case included: "ab" and "AB" name two data sets.
    bool HasOwnPrefix(std::string_view fileName) const;
    // A file name a conversion into this data set writes, whatever its image format: a slice, a
    // side image, a text file, the log or the volume description.
    bool IsOwnFileName(std::string_view fileName) const;
    // Entries named like members that are no files (folders, pipes, dangling links), with the
    // reason each cannot be read; the last Load found them.
    const std::vector<std::pair<std::string, int32_t>>& GetUnlisted() const { return m_unlisted; }

    // Entry access beyond the virtual getters: the destination name kept in the entry's record.
    std::string GetDestinationName(int32_t index) const;

    // ---- Virtual getters and setters, in the order of the fields.
    virtual CFiles& GetFiles() { return m_Files; }
    const CFiles& GetFiles() const { return m_Files; }
    virtual const std::string& GetPrefix() const { return m_strPrefix; }
    virtual void SetPrefix(const std::string& prefix) { m_strPrefix = prefix; }
    // Takes folder, prefix and extension from any member file name or mask.
    virtual void SetFileName(const std::string& path);
    virtual std::string GetMask() const;
    virtual const std::string& GetFolder() const { return m_strFolder; }
    virtual void SetFolder(const std::string& folder) { m_strFolder = folder; }
    virtual const std::string& GetExtension() const { return m_strExtension; }
    virtual void SetExtension(const std::string& extension) { m_strExtension = extension; }

    virtual bool GetSlices() const { return m_bSlices != 0; }
    virtual void SetSlices(bool v) { m_bSlices = v; }
    virtual bool GetArc() const { return m_bArc != 0; }
    virtual void SetArc(bool v) { m_bArc = v; }
    virtual bool GetCfg() const { return m_bCfg != 0; }
    virtual void SetCfg(bool v) { m_bCfg = v; }
    virtual bool GetSpr() const { return m_bSpr != 0; }
    virtual void SetSpr(bool v) { m_bSpr = v; }
    virtual bool GetVpr() const { return m_bVpr != 0; }
    virtual void SetVpr(bool v) { m_bVpr = v; }
    virtual bool GetSp2() const { return m_bSp2 != 0; }
    virtual void SetSp2(bool v) { m_bSp2 = v; }
    virtual bool GetDicom() const { return m_bDicom != 0; }
    virtual void SetDicom(bool v) { m_bDicom = v; }
    virtual int32_t GetLastIndex() const { return m_nLastIndex; }
    virtual void SetLastIndex(int32_t v) { m_nLastIndex = v; }
    virtual int32_t GetFirstIndex() const { return m_nFirstIndex; }
    virtual void SetFirstIndex(int32_t v) { m_nFirstIndex = v; }
    virtual int32_t GetRangeLast() const { return m_nRangeLast; }
    virtual void SetRangeLast(int32_t v) { m_nRangeLast = v; }
    virtual int32_t GetRangeFirst() const { return m_nRangeFirst; }
    virtual void SetRangeFirst(int32_t v) { m_nRangeFirst = v; }
    virtual int32_t GetLastNumber() const { return m_nLastNumber; }
    virtual void SetLastNumber(int32_t v) { m_nLastNumber = v; }
    virtual int32_t GetFirstNumber() const { return m_nFirstNumber; }
    virtual void SetFirstNumber(int32_t v) { m_nFirstNumber = v; }
    virtual bool GetHasSpr() const { return m_bHasSpr != 0; }
    virtual void SetHasSpr(bool v) { m_bHasSpr = v; }
    virtual bool GetHasSp2() const { return m_bHasSp2 != 0; }
    virtual void SetHasSp2(bool v) { m_bHasSp2 = v; }
    virtual bool GetHasVpr() const { return m_bHasVpr != 0; }
    virtual void SetHasVpr(bool v) { m_bHasVpr = v; }
    virtual bool GetHasSideImages() const { return m_bHasSideImages != 0; }
    virtual void SetHasSideImages(bool v) { m_bHasSideImages = v; }
    virtual bool GetHasCfg() const { return m_bHasCfg != 0; }
    virtual void SetHasCfg(bool v) { m_bHasCfg = v; }
    virtual bool GetHasDicom() const { return m_bHasDicom != 0; }
    virtual void SetHasDicom(bool v) { m_bHasDicom = v; }
    virtual bool IsOpened() const { return m_bOpened != 0; }
    virtual void SetOpened(bool v) { m_bOpened = v; }

    // Entries of the file list: full path and number (side files -1).
    virtual std::string GetEntryPath(int32_t index) const;
    virtual void SetEntryPath(int32_t index, const std::string& path);
    virtual int32_t GetEntryNumber(int32_t index) const;
    virtual void SetEntryNumber(int32_t index, int32_t number);

    virtual bool IsInLoadDialog() const { return m_bInLoadDialog != 0; }
    virtual void SetInLoadDialog(bool v) { m_bInLoadDialog = v; }
    virtual bool IsInSaveDialog() const { return m_bInSaveDialog != 0; }
    virtual void SetInSaveDialog(bool v) { m_bInSaveDialog = v; }
    virtual const CHistogramBuffer& GetNumberGaps() const { return m_NumberGaps; }

    ~CDataset() override;

    virtual int32_t GetCount() const;
    // Include presets; a false flag changes nothing.
    virtual bool IsSlicesOnly() const;
    virtual void SetSlicesOnly(bool on);
    virtual bool IsCompanionsOnly() const;
    virtual void SetCompanionsOnly(bool on);
    virtual bool IsAllFiles() const;
    virtual void SetAllFiles(bool on);

    // Raised again from the file list for whoever subscribes to the data set.
    CStringsLst::AddFilterEvent OnAddFilter;

private:
    // A numbered image name in its folder that renumbering by 0 gives back unchanged.
    static bool IsPlainSliceName(std::string_view path);
    // folder + '/' + name, also for an empty folder: that is the root, as GetPathFolder reports it.
    static std::string InFolder(std::string_view folder, std::string_view name);
    static const SMemberKind* FindMemberKind(EFileKind kind);
    bool IsMemberFile(std::string_view path, EFileKind kind, bool strict) const;
    std::string GetMemberFileName(EFileKind kind) const;
    void ResetFields();
    // Load, from the caller's scan when listing is given.
    int32_t LoadFrom(const std::vector<CPlatformDirEntry>* listing);
    void Subscribe();
    void Unsubscribe();
    void AssignNumbers(int32_t count);
    void OnListAddFilter(CStringObject& entry);
    void OnListProgress(CProgressInfo info);
    // The same directory, however either is spelt; an empty folder is the root.
    bool IsSameFolder(const std::string& folder) const;
    enum class EMemberRest
    {
        None,    // not a member name
        Image,   // four digits or a side image suffix
        Text,    // a text file suffix
        Nothing, // the prefix alone: log or volume description
    };
    EMemberRest RestAfterPrefix(std::string_view fileName) const;
    // The suffix after the prefix and the extension of a file name fit one of the member kinds.
    bool IsExactMemberName(std::string_view fileName) const;
    // A member by exact name, or a name the mask scan would list with every include flag on.
    bool IsMemberCandidate(const std::string& path) const;

    CFiles m_Files;
    std::string m_strPrefix;
    std::string m_strFolder;
    std::string m_strExtension;
    int32_t m_bSlices = 1;
    int32_t m_bArc = 1;
    int32_t m_bCfg = 0;
    int32_t m_bSpr = 1;
    int32_t m_bVpr = 0;
    int32_t m_bSp2 = 0;
    int32_t m_bDicom = 0;
    int32_t m_nLastIndex = 0;
    int32_t m_nFirstIndex = 0;
    int32_t m_nRangeLast = 0;
    int32_t m_nRangeFirst = 0;
    int32_t m_nLastNumber = 0;
    int32_t m_nFirstNumber = 0;
    int32_t m_bHasSpr = 0;
    int32_t m_bHasSp2 = 0;
    int32_t m_bHasVpr = 0;
    int32_t m_bHasSideImages = 0;
    int32_t m_bHasCfg = 0;
    int32_t m_bHasDicom = 0;
    int32_t m_bOpened = 0;
    int32_t m_bInLoadDialog = 0;
    int32_t m_bInSaveDialog = 0;
    CHistogramBuffer m_NumberGaps;
    std::vector<std::pair<std::string, int32_t>> m_unlisted;
};

// Everything the name operations make of one arbitrary path, for the fuzzer and for tests:
// the pieces, the kind bits and the names derived from them.
struct CDatasetNameReport
{
    std::string prefix, folder, extension, mask, firstSlice, logFile;
    std::string numberText, shifted, renamed;
    int32_t number = -1;
    uint32_t kinds = 0;     // bit 0 slice, 1 arc, 2 spr, 3 sp2, 4 vpr, 5 cfg, 6 dicom, 7 slice or side image
    bool consistent = true; // the invariants between the name operations held
};
CDatasetNameReport ExamineDatasetName(std::string_view path);

} // namespace vKit
