#include "Base/core/Buffer.h"

#include <cstring>
#include <limits>
#include <new>

namespace vKit
{

namespace
{
using Guard = std::lock_guard<std::recursive_mutex>;

// Largest block we ask the allocator for; beyond it size + alignment could overflow.
constexpr int64_t kMaxBlock = std::numeric_limits<int64_t>::max() / 2;

// Bytes allocated in front of the data so that it can be moved to an aligned address.
int64_t AlignmentGap(int32_t alignment)
{
    return alignment > 1 ? alignment : 0;
}
} // namespace

CBuffer::CBuffer(const CBuffer& other) : CBuffer()
{
    *this = other;
}

CBuffer& CBuffer::operator=(const CBuffer& other)
{
    if (this == &other) return *this;
    std::scoped_lock guard(m_Lock, other.m_Lock);
    if (m_nAlignment != other.m_nAlignment || m_nSize < other.m_nSize)
        Allocate(other.m_nSize, other.m_nAlignment);
    m_nGrowStep = other.m_nGrowStep;
    Assign(other);
    return *this;
}

CBuffer::~CBuffer()
{
    Release();
}

#define VKIT_LOCKED_GET(Type, Name, Load)                                                                    \
    Type CBuffer::Name() const                                                                               \
    {                                                                                                        \
        Guard g(m_Lock);                                                                                     \
        return Load;                                                                                         \
    }
#define VKIT_LOCKED_SET(Type, Name, Field, Store)                                                            \
    void CBuffer::Name(Type value)                                                                           \
    {                                                                                                        \
        Guard g(m_Lock);                                                                                     \
        Field = Store;                                                                                       \
    }

VKIT_LOCKED_GET(int32_t, GetAlignment, m_nAlignment)
VKIT_LOCKED_GET(int64_t, GetGrowStep, m_nGrowStep)
VKIT_LOCKED_SET(int64_t, SetGrowStep, m_nGrowStep, value)
VKIT_LOCKED_GET(int64_t, GetSize, m_nSize)
VKIT_LOCKED_GET(int64_t, GetUserValue, m_nUserValue)
VKIT_LOCKED_SET(int64_t, SetUserValue, m_nUserValue, value)
VKIT_LOCKED_GET(bool, IsExternal, m_bExternal != 0)
VKIT_LOCKED_GET(bool, GetUnixLineEnds, m_bUnixLineEnds != 0)
VKIT_LOCKED_SET(bool, SetUnixLineEnds, m_bUnixLineEnds, value ? 1 : 0)
VKIT_LOCKED_GET(uint8_t*, GetData, m_pData)
VKIT_LOCKED_GET(int64_t, GetUsed, m_nUsed)
VKIT_LOCKED_SET(int64_t, SetUsed, m_nUsed, value < 0 ? 0 : (value > m_nSize ? m_nSize : value))

#undef VKIT_LOCKED_GET
#undef VKIT_LOCKED_SET

int64_t CBuffer::BlockBytes() const
{
    return m_pBlock ? m_nSize + AlignmentGap(m_nAlignment) : 0;
}

void CBuffer::Release()
{
    if (!m_bExternal) delete[] m_pBlock;
    m_pBlock = nullptr;
    m_pData = nullptr;
}

void CBuffer::Free()
{
    Guard g(m_Lock);
    Release();
    m_nSize = m_nUsed = 0;
    m_nUserValue = 1;
    m_bExternal = 0;
}

uint8_t* CBuffer::Allocate(int64_t size, int32_t alignment)
{
    Guard g(m_Lock);
    Free();
    m_nAlignment = alignment;
    if (size <= 0 || size > kMaxBlock) return nullptr;
    const int64_t gap = AlignmentGap(alignment);
    uint8_t* block = new (std::nothrow) uint8_t[static_cast<size_t>(size + gap)];
    if (!block) return nullptr;
    uint8_t* data = block;
    if (gap > 0)
    {
        const uint64_t misfit = reinterpret_cast<uintptr_t>(block) % static_cast<uint64_t>(gap);
        if (misfit != 0) data += gap - static_cast<int64_t>(misfit);
    }
    m_pBlock = block;
    m_pData = data;
    m_nSize = size;
    return m_pData;
}

void CBuffer::Init()
{
    Guard g(m_Lock);
    Free();
    m_nAlignment = 0;
    m_nGrowStep = 1;
    m_bUnixLineEnds = 0;
}

void CBuffer::Fill(uint8_t value)
{
    Guard g(m_Lock);
    if (m_pBlock) std::memset(m_pBlock, value, static_cast<size_t>(BlockBytes()));
}

bool CBuffer::SetData(const void* source, int64_t n)
{
    Guard g(m_Lock);
    if (n <= 0) return true;
    if (!m_pData || m_nSize < n)
    {
        // The source may lie in our own memory; Allocate would release it before the copy.
        const uintptr_t from = reinterpret_cast<uintptr_t>(source);
        const uintptr_t block = reinterpret_cast<uintptr_t>(m_pBlock);
        if (m_pBlock && from >= block && from < block + static_cast<uintptr_t>(BlockBytes())) return false;
        if (!Allocate(n, m_nAlignment)) return false;
    }
    if (source && source != m_pData) std::memmove(m_pData, source, static_cast<size_t>(n));
    return true;
}

bool CBuffer::Assign(const CBuffer& other)
{
    if (this == &other) return true;
    std::scoped_lock guard(m_Lock, other.m_Lock);
    if (other.m_nSize > 0 && !SetData(other.m_pData, other.m_nSize)) return false;
    m_nUsed = other.m_nUsed;
    m_nUserValue = other.m_nUserValue;
    m_bUnixLineEnds = other.m_bUnixLineEnds;
    m_bExternal = 0;
    return true;
}

int32_t CBuffer::Grow(int64_t n)
{
    Guard g(m_Lock);
    if (n <= 0) return 1;
    if (n > kMaxBlock - m_nSize) return 0;
    // Build the larger buffer beside the old one, so that a failed allocation loses nothing.
    CBuffer larger;
    if (!larger.Allocate(m_nSize + n, m_nAlignment)) return 0;
    larger.Fill(0);
    if (m_nSize > 0) std::memcpy(larger.m_pData, m_pData, static_cast<size_t>(m_nSize));
    const int64_t used = m_nUsed;
    const int64_t userValue = m_nUserValue;
    Release();
    m_pBlock = larger.m_pBlock;
    m_pData = larger.m_pData;
    m_nSize = larger.m_nSize;
    m_bExternal = 0;
    m_nUsed = used;
    m_nUserValue = userValue;
    larger.m_pBlock = nullptr;
    larger.m_pData = nullptr;
    larger.m_nSize = 0;
    return 1;
}

int32_t CBuffer::GrowCopy(int64_t n)
{
    return CBuffer::Grow(n);
}

void CBuffer::EnsureRoom(int64_t n)
{
    Guard g(m_Lock);
    if (m_nGrowStep > 0 && n > 0 && m_nUsed + n >= m_nSize) Grow((n / m_nGrowStep + 1) * m_nGrowStep);
}

bool CBuffer::AppendText(std::string_view text)
{
    Guard g(m_Lock);
    if (text.empty()) return true;
    const int64_t length = static_cast<int64_t>(text.size());
    EnsureRoom(length);
    // A grow step of 0 or less, or a used count set by hand, can leave too little room:
    // grow by exactly what is missing rather than write past the memory.
    const int64_t missing = m_nUsed + length + 1 - m_nSize;
    if (missing > 0 && Grow(missing) == 0) return false;
    std::memcpy(m_pData + m_nUsed, text.data(), text.size());
    m_nUsed += length;
    return true;
}

bool CBuffer::AppendNewline()
{
    Guard g(m_Lock);
    return AppendText(m_bUnixLineEnds ? std::string_view("\n") : std::string_view("\r\n"));
}

bool CBuffer::AppendLine(std::string_view text)
{
    Guard g(m_Lock);
    return AppendText(text) && AppendNewline();
}

} // namespace vKit
