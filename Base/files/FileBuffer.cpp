#include "Base/files/FileBuffer.h"

#include "Base/platform/Platform.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace vKit
{

namespace
{
using Guard = std::lock_guard<std::recursive_mutex>;

// Owner write permission; without it the file is read-only and is not replaced.
constexpr uint32_t kOwnerWrite = 0200;

int32_t WriteInPlace(const std::string& path, const uint8_t* data, int64_t size)
{
    CPlatformFile file;
    int32_t err = file.Open(path, PlatformOpenMode::WriteExisting);
    if (err == 0) err = file.Write(data, static_cast<uint64_t>(size));
    const int32_t closeErr = file.Close();
    return err != 0 ? err : closeErr;
}
} // namespace

// ---- settings ---------------------------------------------------------------------------------

#define VKIT_FILEBUFFER_FIELD(Type, Getter, Setter, Field, Store, Load)                                      \
    Type CFileBuffer::Getter() const                                                                         \
    {                                                                                                        \
        Guard g(GetLock());                                                                                  \
        return Load;                                                                                         \
    }                                                                                                        \
    void CFileBuffer::Setter(Type value)                                                                     \
    {                                                                                                        \
        Guard g(GetLock());                                                                                  \
        Field = Store;                                                                                       \
    }

VKIT_FILEBUFFER_FIELD(bool, IsSkipLoad, SetSkipLoad, m_bSkipLoad, value ? 1 : 0, m_bSkipLoad != 0)
VKIT_FILEBUFFER_FIELD(int32_t, GetTag, SetTag, m_nTag, value, m_nTag)
VKIT_FILEBUFFER_FIELD(int32_t, GetTag2, SetTag2, m_nTag2, value, m_nTag2)
VKIT_FILEBUFFER_FIELD(bool, IsStopRequested, SetStopRequested, m_bStopRequested, value ? 1 : 0,
                      m_bStopRequested != 0)
VKIT_FILEBUFFER_FIELD(bool, IsReleaseWhenDone, SetReleaseWhenDone, m_bReleaseWhenDone, value ? 1 : 0,
                      m_bReleaseWhenDone != 0)
VKIT_FILEBUFFER_FIELD(int32_t, GetExtra, SetExtra, m_nExtra, value, m_nExtra)
VKIT_FILEBUFFER_FIELD(int32_t, GetMode, SetMode, m_nMode, value, m_nMode)
VKIT_FILEBUFFER_FIELD(bool, IsDone, SetDone, m_bDone, value ? 1 : 0, m_bDone != 0)

#undef VKIT_FILEBUFFER_FIELD

std::string CFileBuffer::GetFileName() const
{
    Guard g(GetLock());
    return m_strFileName;
}

void CFileBuffer::SetFileName(const std::string& name)
{
    Guard g(GetLock());
    m_strFileName = name;
}

bool CFileBuffer::IsLoaded() const
{
    Guard g(GetLock());
    return m_bLoaded != 0;
}

bool CFileBuffer::IsSaved() const
{
    Guard g(GetLock());
    return m_bSaved != 0;
}

bool CFileBuffer::IsBusy() const
{
    Guard g(GetLock());
    return m_bBusy != 0;
}

// ---- preparing a job --------------------------------------------------------------------------

void CFileBuffer::ResetFields()
{
    m_strFileName.clear();
    m_nMode = ModeNone;
    m_bSkipLoad = 0;
    m_nTag = 0;
    m_nTag2 = 100;
    m_bStopRequested = 0;
    m_bReleaseWhenDone = 0;
    m_nExtra = 0;
    m_bDone = 0;
    m_bLoaded = 0;
    m_bSaved = 0;
    m_bBusy = 0;
    m_nLastError = 0;
}

void CFileBuffer::Reset()
{
    Guard g(GetLock());
    Free();
    ResetFields();
}

bool CFileBuffer::AttachMemory(const std::string& name, const void* data, int64_t size, bool releaseWhenDone)
{
    Guard g(GetLock());
    bool ok = true;
    if (data != nullptr && data == GetData())
    {
        // Our own memory: resetting would free the very bytes to be written.
        ResetFields();
        SetUsed(size);
    }
    else
    {
        Reset();
        if (data != nullptr && size > 0)
        {
            ok = Allocate(size, kFileAlignment) != nullptr;
            if (ok)
            {
                std::memcpy(GetData(), data, static_cast<size_t>(size));
                SetUsed(size);
            }
        }
    }
    m_strFileName = name;
    m_bReleaseWhenDone = releaseWhenDone ? 1 : 0;
    m_nMode = ModeWrite;
    return ok;
}

bool CFileBuffer::AttachBuffer(const std::string& name, const CBuffer& other, bool releaseWhenDone)
{
    std::scoped_lock guard(GetLock(), other.GetLock());
    return AttachMemory(name, other.GetData(), other.GetUsed(), releaseWhenDone);
}

void CFileBuffer::SetFile(const std::string& name)
{
    Guard g(GetLock());
    Reset();
    m_strFileName = name;
    m_nMode = ModeRead;
}

// ---- loading ----------------------------------------------------------------------------------

void CFileBuffer::MakeEmpty(int32_t extra)
{
    Allocate(extra, kFileAlignment);
    Fill(0);
}

int32_t CFileBuffer::Load(int32_t extra)
{
    return LoadFile(extra, false);
}

int32_t CFileBuffer::LoadWithProgress(int32_t extra)
{
    return LoadFile(extra, true);
}

int32_t CFileBuffer::LoadFrom(const std::string& name, int32_t extra)
{
    Guard g(GetLock());
    m_strFileName = name;
    m_nMode = ModeRead;
    return Load(extra);
}

int32_t CFileBuffer::LoadFile(int32_t extra, bool withProgress)
{
    Guard g(GetLock());
    if (m_bSkipLoad) return 0;
    m_bBusy = 1;
    m_nMode = ModeRead;
    m_bLoaded = 0;
    m_nExtra = std::max(extra, 0);
    if (withProgress) m_progress.StartProgress(0, 100);

    // The size comes from the open file itself, so it cannot change between asking and reading.
    CPlatformFile file;
    int64_t size = 0;
    int32_t err = file.Open(m_strFileName, PlatformOpenMode::Read, true);
    if (err == 0) err = file.GetSize(size);
    if (err == 0) err = ReadOpened(file, size, m_nExtra, withProgress);
    file.Close();
    if (err != 0) MakeEmpty(m_nExtra);
    m_nLastError = err;
    m_bLoaded = err == 0 ? 1 : 0;
    m_bBusy = 0;
    if (withProgress)
    {
        if (err == 0)
            m_progress.EndProgress();
        else
            m_progress.AbortProgress();
    }
    return err;
}

int32_t CFileBuffer::ReadOpened(CPlatformFile& file, int64_t size, int32_t extra, bool withProgress)
{
    if (size < 0 || size > std::numeric_limits<int64_t>::max() / 2) return EFBIG;
    if (size + extra > 0 && Allocate(size + extra, kFileAlignment) == nullptr) return ENOMEM;
    Fill(0);
    const int64_t piece = withProgress ? kProgressChunk : std::max<int64_t>(size, 1);
    int64_t total = 0;
    while (total < size)
    {
        const int64_t want = std::min(piece, size - total);
        uint64_t got = 0;
        const int32_t err = file.Read(GetData() + total, static_cast<uint64_t>(want), &got);
        if (err != 0) return err;
        total += static_cast<int64_t>(got);
        // The file shrank since its size was read: keep what there is.
        const bool shortRead = static_cast<int64_t>(got) < want;
        if (withProgress)
        {
            m_progress.GetProgressInfo().SetPosition(static_cast<int32_t>(total * 100 / size));
            m_progress.FireProgress();
            if (m_progress.IsCancelRequested()) return ECANCELED;
        }
        if (shortRead) break;
    }
    SetUsed(total);
    return 0;
}

// ---- saving -----------------------------------------------------------------------------------

int32_t CFileBuffer::Save()
{
    Guard g(GetLock());
    if (m_nMode != ModeWrite) return m_nLastError = EINVAL;
    m_bSaved = 0;
    if (m_strFileName.empty()) return m_nLastError = ENOENT;
    const uint8_t* data = GetData();
    const int64_t used = data ? GetUsed() : 0;

    int32_t err = 0;
    CPlatformStat st;
    const bool exists = PlatformStat(m_strFileName, st) == 0;
    if (exists && st.isDirectory)
        err = EISDIR;
    else if (exists && !st.isRegular)
        err = WriteInPlace(m_strFileName, data, used); // a device or pipe is written to, not renamed over
    else if (exists && (st.mode & kOwnerWrite) == 0)
        err = EACCES;
    else
        err = PlatformWriteFileAtomically(m_strFileName, data, static_cast<size_t>(used));
    if (err == 0) m_bSaved = 1;
    m_nLastError = err;
    return err;
}

CStatus CFileBuffer::GetStatus() const
{
    Guard g(GetLock());
    return m_nLastError == 0 ? CStatus() : PlatformErrorStatus(m_nLastError, m_strFileName);
}

int32_t CFileBuffer::SaveAs(const std::string& name)
{
    Guard g(GetLock());
    m_strFileName = name;
    m_nMode = ModeWrite;
    return Save();
}

} // namespace vKit
