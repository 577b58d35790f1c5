#pragma once
// A block of raw memory with a chosen alignment, 64-bit size and used count, and a re-entrant
// lock that every operation holds, so that a worker thread and the dialog thread can share it.
// Memory grows zero-filled; appended text is therefore always followed by a NUL.

#include <cstdint>
#include <mutex>
#include <string_view>

namespace vKit
{

class CBuffer
{
public:
    CBuffer() = default;
    // Deep copies: the copy owns its own memory with the same alignment and grow step.
    CBuffer(const CBuffer& other);
    CBuffer& operator=(const CBuffer& other);
    virtual ~CBuffer();

    virtual int32_t GetAlignment() const;
    virtual int64_t GetGrowStep() const;
    virtual void SetGrowStep(int64_t step);
    virtual int64_t GetSize() const;
    virtual int64_t GetUserValue() const;
    virtual void SetUserValue(int64_t value);
    virtual bool IsExternal() const;
    virtual bool GetUnixLineEnds() const;
    virtual void SetUnixLineEnds(bool unixLineEnds);
    virtual uint8_t* GetData() const;
    virtual int64_t GetUsed() const;
    // Kept within 0 .. GetSize(): a used count past the memory would let writers read beyond it.
    virtual void SetUsed(int64_t used);

    // Releases owned memory; afterwards no memory, size and used 0, user value 1, not external.
    virtual void Free();
    // Adds n zeroed bytes behind the content, keeping content, used count and user value.
    // Returns 1, or 0 when the memory could not be had (the buffer is then unchanged).
    virtual int32_t Grow(int64_t n);
    virtual int32_t GrowCopy(int64_t n);

    // New memory of size bytes whose address is a multiple of alignment (0 or 1: any address).
    // Old content is lost; used 0, user value 1. Returns the data pointer, null for size <= 0
    // or when the memory could not be had.
    uint8_t* Allocate(int64_t size, int32_t alignment = 0);
    // Free, then alignment 0, grow step 1, both flags cleared.
    void Init();
    // Sets every byte of the allocation, alignment gap included.
    void Fill(uint8_t value);
    // Copies n bytes to the start; reallocates (same alignment, old content lost) only when the
    // memory is smaller than n. Returns false when it could not get the memory.
    bool SetData(const void* source, int64_t n);
    // Copy of the other's content, used count, user value and line-end flag; never external.
    bool Assign(const CBuffer& other);

    // Makes room for n more bytes in steps of the grow step, keeping at least one spare byte
    // behind the used part.
    void EnsureRoom(int64_t n);
    // Appends the bytes of text (no NUL is written; the zeroed spare byte follows).
    // Returns false when the memory could not grow; nothing is appended then.
    bool AppendText(std::string_view text);
    // "\r\n", or "\n" with Unix line ends.
    bool AppendNewline();
    bool AppendLine(std::string_view text);

    // Callers that work on GetData() directly hold the lock for the time they do.
    std::recursive_mutex& GetLock() const { return m_Lock; }
    void Lock() const { m_Lock.lock(); }
    void Unlock() const { m_Lock.unlock(); }

private:
    int64_t BlockBytes() const;
    void Release();

    int32_t m_nAlignment = 0;
    int64_t m_nGrowStep = 1;
    int64_t m_nSize = 0;
    int64_t m_nUserValue = 1;
    int32_t m_bExternal = 0;
    int32_t m_bUnixLineEnds = 0;
    uint8_t* m_pData = nullptr;
    int64_t m_nUsed = 0;
    mutable std::recursive_mutex m_Lock;
    uint8_t* m_pBlock = nullptr;
};

} // namespace vKit
