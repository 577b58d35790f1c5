#pragma once
// A buffer bound to one file that is read into it or written from it as a whole. The file
// worker queues such buffers as jobs: mode 1 writes the used part to the file, mode 2 reads the
// file. Every operation holds the buffer's lock.

#include "Base/core/Buffer.h"
#include "Base/core/Progress.h"
#include "Base/core/Status.h"

#include <cstdint>
#include <string>

namespace vKit
{

class CPlatformFile;

class CFileBuffer : public CBuffer
{
public:
    enum Mode : int32_t
    {
        ModeNone = 0,
        ModeWrite = 1, // memory to be written to the file
        ModeRead = 2,  // file to be read into memory
    };

    // Size of the pieces LoadWithProgress reads between two progress events.
    static constexpr int64_t kProgressChunk = 102400;
    // Alignment of the memory that loading and attaching allocate.
    static constexpr int32_t kFileAlignment = 32;

    CFileBuffer() = default;
    CFileBuffer(const CFileBuffer& other) = default;
    CFileBuffer& operator=(const CFileBuffer& other) = default;
    ~CFileBuffer() override = default;

    // While set, Load and LoadWithProgress leave the buffer as it is.
    virtual void SetSkipLoad(bool skip);
    virtual bool IsSkipLoad() const;
    // Two values kept for the owner of the buffer; nothing here reads them.
    virtual void SetTag(int32_t tag);
    virtual int32_t GetTag() const;
    virtual void SetTag2(int32_t tag); // 100 after Reset
    virtual int32_t GetTag2() const;
    // Set by RequestStop; read by whoever runs the job.
    virtual bool IsStopRequested() const;
    virtual void SetStopRequested(bool stop);
    // The job is deleted by the file worker once it is done.
    virtual bool IsReleaseWhenDone() const;
    virtual void SetReleaseWhenDone(bool release);
    // Zeroed spare bytes allocated behind the file content by loading.
    virtual int32_t GetExtra() const;
    virtual void SetExtra(int32_t extra);

    int32_t GetMode() const;
    void SetMode(int32_t mode);
    std::string GetFileName() const;
    void SetFileName(const std::string& name);
    // Set by the file worker once it performed the job; cleared by Reset.
    bool IsDone() const;
    void SetDone(bool done);
    bool IsLoaded() const;
    bool IsSaved() const;
    bool IsBusy() const;

    // Frees the memory and returns every setting to its start value.
    void Reset();
    // Prepares a write of size bytes from data to name. Data already in this buffer is kept in place.
    // False when the memory for the copy could not be had (the buffer is then reset and empty).
    bool AttachMemory(const std::string& name, const void* data, int64_t size, bool releaseWhenDone);
    // The same with the other buffer's data and used count.
    bool AttachBuffer(const std::string& name, const CBuffer& other, bool releaseWhenDone);
    // Prepares a read of name.
    void SetFile(const std::string& name);

    // Reads the whole file into new memory followed by extra zero bytes; 0 or an errno value.
    // An empty file loads as extra zero bytes. A file that cannot be opened or read leaves the
    // buffer unloaded (extra zero bytes, nothing used) and returns its error.
    int32_t Load(int32_t extra = 0);
    int32_t LoadFrom(const std::string& name, int32_t extra = 0);
    // As Load, reading in pieces of kProgressChunk and raising GetProgress() from 0 to 100 after
    // each piece; ends with EndProgress, or AbortProgress on failure or a cancel request
    // (ECANCELED).
    int32_t LoadWithProgress(int32_t extra = 0);

    // Writes the used part to the file: under a temporary name beside it, renamed into place when
    // complete, so a failed write never replaces a good file. A read-only file is not replaced
    // (EACCES). 0 or an errno value; EINVAL when the buffer holds no write job.
    int32_t Save();
    int32_t SaveAs(const std::string& name);

    void RequestStop() { SetStopRequested(true); }

    // The last load or save as a status: the file and the system's reason (Ok after success).
    CStatus GetStatus() const;

    CProgressBase& GetProgress() { return m_progress; }

private:
    void ResetFields();
    int32_t LoadFile(int32_t extra, bool withProgress);
    int32_t ReadOpened(CPlatformFile& file, int64_t size, int32_t extra, bool withProgress);
    void MakeEmpty(int32_t extra);

    int32_t m_bSkipLoad = 0;
    int32_t m_nTag = 0;
    int32_t m_nTag2 = 100;
    int32_t m_bStopRequested = 0;
    int32_t m_bReleaseWhenDone = 0;
    int32_t m_nExtra = 0;
    int32_t m_nMode = ModeNone;
    std::string m_strFileName;
    int32_t m_bDone = 0;
    int32_t m_bLoaded = 0;
    int32_t m_bSaved = 0;
    int32_t m_bBusy = 0;
    int32_t m_nLastError = 0;
    CProgressBase m_progress;
};

} // namespace vKit
