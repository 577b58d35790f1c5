#pragma once
// One conversion job: turns a source data set into a destination data set file by file.
//
// The caller (dialog or command line) fills in the two data sets through the holders and the
// options, asks CanConvert, and runs Convert on its own thread. Progress is raised through
// GetProgress().OnProgress before each file; a cancel request (SetCancelRequested on the progress
// source, or the flag given to SetCancelFlag) is honoured after the current file.
//
// Per-image pipeline (TransformImage, which WorkImage and the slice preview share), each stage a
// call of its own:
//   load -> ReduceImage -> [slice]  JPEG quality, palette reversal, raw inversion, volume settings
//                          [side]   palette reversal, raw inversion, JPEG quality, volume settings,
//                                   height change by the shift
//        -> save under a temporary name; then, in file order, rename into place -> file times.
// An 8-bit BMP that WorkImage saves as an 8-bit BMP of its own size takes the same stages on its
// file's rows (LoadBmpRows, SaveBmpRows) and never becomes samples: the same file, less work.
//
// Several files are converted at a time (one per processor, SetThreads): the next few files are
// decided and their images loaded, transformed and saved under temporary names on helper
// threads, while the calling thread raises the progress events and completes the files in list
// order. What callers observe is that of one file after the other: events in file order on the
// calling thread, the cancel honoured after the current file, the written files listed in
// handling order, and after a cancel no file that the plain loop would not have written.

#include "Base/core/Progress.h"
#include "Base/core/Status.h"
#include "Base/dataset/Dataset.h"
#include "Base/files/FileIds.h"
#include "Base/files/Files.h"
#include "Base/formats/FileImageBuffer16.h"
#include "Base/image/ColorTable.h"
#include "Base/image/ImageBuffer32.h"
#include "Base/platform/PlatformTemporary.h"
#include "engine/DatasetBase.h"
#include "engine/DestinationNames.h"
#include "engine/MemoryBudget.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct CSlicePreview;

// A file that could not be read, written, copied or deleted during a run.
struct CFailedFile
{
    std::string path;   // the file concerned (source for "read", destination otherwise)
    std::string action; // "read", "write", "copy" or "delete"
    int32_t code = 0;   // a vKit::CStatus code: errno value or private code
    std::string reason; // why, in words ("24 bits per pixel; ...", "No space left on device")
};

// Times carried from a source image to the image written from it (FILETIME values).
struct CCarriedTimes
{
    uint64_t creation = 0;
    uint64_t lastAccess = 0;
    uint64_t lastWrite = 0;
};

// The interpolation of a reduction: the values the settings store.
enum EResizeQuality : int32_t
{
    ResizeFast = 1,      // every f-th sample
    ResizeAverage2D = 2, // the f x f box average in each slice
    ResizeAverage3D = 3, // the f x f x f box average across f slices
};

// The options the work on an image reads, fixed when the files of a run are handled, so that
// helper threads never read the job itself.
struct CImageSettings
{
    int32_t resizeFactor = 1;
    int32_t resizeQuality = ResizeFast;
    int32_t jpegQuality = 33;
    int32_t shift = 0;
    bool reversePalette = false;
    bool invertRawData = false;
    bool generateVgi = false;
    bool keepFileTime = false;
};

// Memory one thread of a run uses from file to file, so that a run allocates its images once.
struct CLaneImages
{
    vKit::CFileImageBuffer16 image;            // the file being converted
    vKit::CImageBuffer16 scratch;              // where reductions are built
    vKit::CFileImageBuffer16 member;           // another source of a 3D group
    vKit::CImageBuffer32 sum;                  // the 3D group's accumulator
    std::vector<vKit::CImageBuffer16> members; // the other members of a 3D group, reduced
};

// One file of a run: what the calling thread decided for it and, for an image, what the work on
// it produced. The work writes nothing but its own step and the step's temporary file.
struct CFileStep
{
    enum EAction
    {
        Nothing,    // no destination name
        Present,    // a slice whose destination exists already
        SourceFile, // the destination is a file of the source itself
        Copy,       // a companion text file
        Image,      // a slice or side image to convert
    };
    EAction action = Nothing;
    std::string src;
    std::string dst;
    // Images only: the decision...
    std::string part;               // the temporary name the image is saved under
    bool isSlice = false;           // a slice, not a side image
    bool keepTaken = false;         // the name was free: a file found there at the rename stays
    std::vector<std::string> group; // 3D averaging: every source of the destination, list order
    // ... and what the work produced.
    int32_t loadCode = 0;
    std::vector<vKit::CStatus> unreadable; // group members left out of the sum
    bool noRows = false;                   // a side image the shift empties
    int32_t saveCode = -1;
    vKit::CStatus status; // why the load or the save failed
    bool timesRead = false;
    CCarriedTimes times;
};

class CDatasetConversion
{
public:
    // What a run does: nothing, or the source onto itself, or a conversion.
    enum EPlan : int32_t
    {
        PlanNone = 0,
        PlanSameDataset = 1,
        PlanConvert = 2,
    };
    static constexpr const char* BusyMessage = "The destination data set is being written by another run";

    CDatasetConversion();
    CDatasetConversion(const CDatasetConversion&) = delete;
    CDatasetConversion& operator=(const CDatasetConversion&) = delete;
    virtual ~CDatasetConversion();

    virtual int32_t GetJpgCompression() const { return m_nJpgCompression; }
    virtual CDatasetConversion& SetJpgCompression(int32_t quality)
    {
        return Store(m_nJpgCompression, quality);
    }
    virtual bool GetGenerateVgi() const { return m_bGenerateVgi != 0; }
    virtual CDatasetConversion& SetGenerateVgi(bool on) { return Store(m_bGenerateVgi, on); }
    virtual bool GetKeepFileTime() const { return m_bKeepFileTime != 0; }
    virtual CDatasetConversion& SetKeepFileTime(bool on) { return Store(m_bKeepFileTime, on); }
    virtual bool GetInvertPalette() const { return m_bInvertPalette != 0; }
    virtual CDatasetConversion& SetInvertPalette(bool on) { return Store(m_bInvertPalette, on); }
    virtual bool GetInvertRawData() const { return m_bInvertRawData != 0; }
    virtual CDatasetConversion& SetInvertRawData(bool on) { return Store(m_bInvertRawData, on); }
    virtual int32_t GetResizeFactor() const { return m_nResizeFactor; }
    virtual CDatasetConversion& SetResizeFactor(int32_t factor) { return Store(m_nResizeFactor, factor); }
    virtual int32_t GetResizeQuality() const { return m_nResizeQuality; }
    virtual CDatasetConversion& SetResizeQuality(int32_t quality) { return Store(m_nResizeQuality, quality); }
    // Extension tests; letter case ignored.
    virtual bool IsSameFormat();
    virtual bool IsDestinationBmp();
    virtual bool IsSourceBmp();
    virtual bool IsDestination8Bit();
    virtual bool GetOverwrite() const { return m_bOverwrite != 0; }
    virtual CDatasetConversion& SetOverwrite(bool on) { return Store(m_bOverwrite, on); }
    virtual int32_t GetShift() const { return m_nShift; }
    virtual CDatasetConversion& SetShift(int32_t shift) { return Store(m_nShift, shift); }
    // 16 for a "tif" destination, else 8.
    virtual int32_t UpdateDestinationBits();
    virtual CDatasetConversion& SetDestinationBits(int32_t bits) { return Store(m_nDestinationBits, bits); }
    virtual CDatasetBase* GetSource();
    virtual CDatasetConversion& SetSource(CDatasetBase* holder);
    virtual CDatasetBase* GetDestination();
    virtual CDatasetConversion& SetDestination(CDatasetBase* holder);
    // Grey decisions (defined with the inversion stage).
    virtual bool IsDestinationPaletteFalling();
    virtual bool IsDestinationRangeInverted();
    virtual bool MustReversePalette();
    virtual bool IsNoResizing() const { return m_nResizeFactor == 1; }
    virtual bool IsResizing() const { return m_nResizeFactor != 1; }
    virtual bool MustInvertRawData();

    // Readiness: false with the reason in GetMessage() when no conversion can run.
    bool CanConvert();
    void DeterminePlan();
    // Runs the whole conversion on the calling thread; the outcome is in the progress record
    // (finished or cancelled) and in the failure list.
    void Convert();
    void ConvertFiles();
    void ProcessFile(const std::string& src, const std::string& dst, vKit::CDataset& list);
    void ConvertFile(const std::string& src, const std::string& dst, vKit::CDataset& list);
    // Slice index of the source as this job would write it, into memory, writing no file
    // (defined with the preview): source and destination images as their files hold them.
    int32_t PreviewSlice(int32_t index, CSlicePreview& preview);
    // Writes the .vgi volume description of the slices written (defined with that stage).
    void WriteVgiFile();

    // Lists companions and slices of the source and gives each its destination name, without
    // touching a file: what ConvertFiles will handle, in its order (companions first). The
    // second form hands back the scan of the source folder the lists were made from.
    void PrepareLists();
    void PrepareLists(std::vector<vKit::CPlatformDirEntry>& listing);

    // The palette of the source slice shown to the user (its second colour table).
    const vKit::CColorTable& GetSourcePalette() const { return m_sourcePalette; }
    void SetSourcePalette(const vKit::CColorTable& palette) { m_sourcePalette = palette; }
    // Destination files present after each handled file, in handling order.
    vKit::CFiles& GetWrittenFiles() { return m_writtenFiles; }
    vKit::CDataset& GetCompanions() { return m_companions; }
    vKit::CDataset& GetSlices() { return m_slices; }
    const std::string& GetMessage() const { return m_strMessage; }
    EPlan GetPlan() const { return m_nPlan; }
    int32_t GetDestinationBits() const { return m_nDestinationBits; }
    vKit::CProgressBase& GetProgress() { return m_progress; }

    // Outcome of the last run beyond the progress record.
    // True when the run was refused because another run holds the destination data set; the
    // message says so, and nothing was touched.
    bool IsRefused() const { return m_bRefused; }
    const std::vector<CFailedFile>& GetFailedFiles() const { return m_failedFiles; }
    int32_t GetWrittenCount() const { return m_nWrittenCount; } // files saved or copied
    int32_t GetSkippedCount() const { return m_nSkippedCount; } // slices present already
    int32_t GetListedCount() const { return m_nListedCount; }   // companions + slices

    // A flag that another context (a signal handler) sets to request the cancel; polled with
    // the progress source's own request. Null for none.
    void SetCancelFlag(const std::atomic<bool>* flag) { m_pCancelFlag = flag; }

    // Files converted at a time. 0 (the default): KAVEX_THREADS from the environment when it
    // holds a number from 1, else one per processor up to 8. 1 converts on the calling thread
    // alone; at most 64.
    void SetThreads(int32_t threads) { m_nThreads = threads; }
    // The number a run uses.
    int32_t GetEffectiveThreads() const;

    // Size of the source's slices (its first one, as the caller loaded it to show), which the
    // memory of a run is reckoned from; 0 x 0, unknown, takes each thread's images to fit.
    void SetSourceSliceSize(int32_t width, int32_t height)
    {
        m_nSliceWidth = width;
        m_nSliceHeight = height;
    }
    // A scan of the source's listing mask (PlatformFindFiles on GetListingMask) that the caller
    // made just before the run: the next run lists its files from it instead of reading the
    // folder again.
    void SetSourceListing(const std::string& mask, std::vector<vKit::CPlatformDirEntry> listing)
    {
        m_sourceListingMask = mask;
        m_sourceListing = std::move(listing);
    }
    // Bytes the images a run works on at a time may hold together; 0 (the default) for
    // KAVEX_MEMORY_MB from the environment, else a quarter of the physical memory.
    int64_t GetMemoryBudget() const { return m_nMemoryBudget; }
    void SetMemoryBudget(int64_t bytes) { m_nMemoryBudget = bytes; }
    // Threads and look-ahead of a run: the threads asked for, fewer when their images would
    // exceed the budget, never fewer than one.
    kavex::CLanePlan GetLanePlan();

    // Adds (shift > 0) or drops (shift < 0) rows at the bottom of a side image; the new rows
    // are 0. False, leaving the image as it was, when no row would remain.
    static bool ChangeSideImageHeight(vKit::CImageBuffer16& image, int32_t shift);

protected:
    // Pipeline stages; each is defined in the file of its stage. The static ones run on any
    // thread.
    static void ReduceImage(CLaneImages& lane, CFileStep& step, const CImageSettings& settings);
    static void ReversePalette(vKit::CColorTable& table);
    static void InvertRawData(vKit::CImageBuffer16& image);
    static bool ReadSourceTimes(const std::string& src, CCarriedTimes& times);
    // Onto the file written, while it still has its temporary (hidden) name.
    static void WriteDestinationTimes(const std::string& part, const CCarriedTimes& times);

    // The three parts of handling one file. DecideFile (calling thread) finds what the file
    // needs, changing no file; slicePass adds the test for a present destination. WorkImage
    // (any thread) loads, transforms and saves an image under its temporary name. CommitFile
    // (calling thread, in file order) completes the file: renames, copies, lists.
    CFileStep DecideFile(std::string src, std::string dst, vKit::CDataset& list, bool slicePass);
    static void WorkImage(CFileStep& step, const CImageSettings& settings, CLaneImages& lane);
    // The per-image pipeline short of the save: loads step.src into lane.image and applies every
    // stage the settings ask for. False when there is nothing to save (load failed, or a side
    // image the shift empties).
    static bool TransformImage(CFileStep& step, const CImageSettings& settings, CLaneImages& lane);
    // Loads step.src (only checking an 8-bit BMP's rows, with rowsOnly) and reads its times when
    // the settings keep them. False when the load failed.
    static bool LoadSource(CFileStep& step, const CImageSettings& settings, vKit::CFileImageBuffer16& image,
                           bool rowsOnly);
    static void ReleaseLargeScratch(CLaneImages& lane);
    void CommitFile(CFileStep& step, bool ended);
    // Removes what the work on a file left when the file will not be committed.
    static void DiscardFile(CFileStep& step);
    CImageSettings CurrentImageSettings();

private:
    friend class CConversionPass;

    void PlanConversion(CFileStep& step, vKit::CDataset& list);
    void CompleteConversion(CFileStep& step, bool ended);
    // The rename found the free destination name taken by a file that came after the decision:
    // true when that file stays, as the decision would have kept it then (a present slice, a
    // file of the source); false when it is to be replaced.
    bool KeepTakenName(CFileStep& step);
    // True when the commit renames the step's saved image onto its destination.
    static bool IsRenamedIntoPlace(const CFileStep& step, bool ended);
    bool LockDestination();
    void RemoveLeftovers();
    void ReportUnlisted(const vKit::CDataset& list);
    bool IsSourceDatasetThroughLinks();
    bool IsCancelPending();
    void ResetOutcome();
    void Fail(const std::string& path, const char* action, const vKit::CStatus& why);
    void DeleteOldDestination(const std::string& dstFirst);
    // Keeps the scan the lists came from; the source's ids are taken from it when first asked.
    void RememberSourceFiles(std::vector<vKit::CPlatformDirEntry> listing);
    void KnowSourceFiles();
    bool IsSourceFile(const std::string& path);
    static void ApplyGreyStages(vKit::CFileImageBuffer16& image, const CImageSettings& settings);
    static void ApplyVolumeSettings(vKit::CFileImageBuffer16& image, const CImageSettings& settings);
    void CopyCompanion(const std::string& src, const std::string& dst);
    void CopyLogFile();
    std::string SourceExtension();
    std::string DestinationExtension();
    // The chained setters' body: stores one option and returns the job.
    template <typename T, typename V> CDatasetConversion& Store(T& field, V value)
    {
        field = value;
        return *this;
    }

    CDatasetBase* m_pSource = nullptr;
    uint8_t m_bSourceExternal = 0;
    CDatasetBase* m_pDestination = nullptr;
    uint8_t m_bDestinationExternal = 0;
    vKit::CDataset m_companions;
    vKit::CDataset m_slices;
    vKit::CColorTable m_sourcePalette;
    vKit::CFiles m_writtenFiles;
    uint8_t m_bGenerateVgi = 0;
    int32_t m_nJpgCompression = 33;
    uint8_t m_bKeepFileTime = 0;
    uint8_t m_bInvertPalette = 0;
    uint8_t m_bInvertRawData = 0;
    int32_t m_nResizeFactor = 1;
    int32_t m_nResizeQuality = ResizeFast;
    uint8_t m_bOverwrite = 0;
    int32_t m_nShift = 0;
    int32_t m_nDestinationBits = 8;
    std::string m_strMessage;
    vKit::CProgressBase m_progress;
    EPlan m_nPlan = PlanNone;

    std::vector<CFailedFile> m_failedFiles;
    int32_t m_nWrittenCount = 0;
    int32_t m_nSkippedCount = 0;
    int32_t m_nListedCount = 0;
    const std::atomic<bool>* m_pCancelFlag = nullptr;
    int32_t m_nThreads = 0;
    // Every file of the source data set by device and inode: never written or deleted. Made
    // from m_sourceScan on the first question, which a run into a new folder never asks.
    vKit::CFileIdSet m_sourceFiles;
    std::vector<vKit::CPlatformDirEntry> m_sourceScan;
    bool m_bSourceFilesKnown = true;
    // The destination folder's names while the files are converted.
    CDestinationNames m_destinationNames;
    std::string m_sourceListingMask;
    std::vector<vKit::CPlatformDirEntry> m_sourceListing;
    // Held from the start of a run to its end, so that no other run writes the destination.
    vKit::CPlatformLock m_lock;
    bool m_bRefused = false;
    int32_t m_nSliceWidth = 0;
    int32_t m_nSliceHeight = 0;
    int64_t m_nMemoryBudget = 0;
};
