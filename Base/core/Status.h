#pragma once
// Why an operation on a file failed, for the user: a code, the file and a reason in words.
// Codes: 0 success; positive codes are errno values (what the system refused); the private
// codes below are negative, so that none of them can be mistaken for an errno value.

#include <cstdint>
#include <string>

namespace vKit
{

class CStatus
{
public:
    enum ECode : int32_t
    {
        Ok = 0,
        NotHandled = -1001,  // the name's extension is not one of the slice formats
        Unsupported = -1002, // a sound file of a kind that does not load (24-bit BMP, LZW TIFF)
        Corrupt = -1003,     // the file contradicts itself, or ends before its data
        TooLarge = -1004,    // a size the format or the memory cannot hold
        Refused = -1005,     // the image cannot be saved as it is (8-bit data not yet clamped)
    };

    CStatus() = default;
    CStatus(int32_t code, std::string path, std::string reason)
        : m_nCode(code), m_sPath(std::move(path)), m_sReason(std::move(reason))
    {
    }

    bool IsOk() const { return m_nCode == Ok; }
    int32_t GetCode() const { return m_nCode; }
    bool IsErrno() const { return m_nCode > 0; }
    const std::string& GetPath() const { return m_sPath; }
    const std::string& GetReason() const { return m_sReason; }
    // "path: reason", or the part that is there.
    std::string GetMessage() const
    {
        if (m_sPath.empty() || m_sReason.empty()) return m_sPath + m_sReason;
        return m_sPath + ": " + m_sReason;
    }

    // The layers that know the file name it when the one that failed did not.
    CStatus& SetPath(const std::string& path)
    {
        m_sPath = path;
        return *this;
    }

private:
    int32_t m_nCode = Ok;
    std::string m_sPath;
    std::string m_sReason;
};

} // namespace vKit
