#pragma once
// A key/value store with one interface over three back-ends:
//   registry     Base/Reg/Registry.h, under root \ Software \ Quorell \ application \ section
//   profile file the INI file application/section, values in its section "file section"
//   text file    lines held in memory, written as a whole by SaveText; a write appends:
//                "[section]" (after an empty line when lines exist) when the section changes,
//                then "key=value". Values are never replaced, so a text is written anew after
//                ClearText. A read finds the section's header, then the first line up to the
//                next header whose text before its first "=" equals the key, ignoring case.
// Numbers are written as decimal text in the file back-ends.

#include "Base/files/TextFile.h"

#include <cstdint>
#include <string>

namespace vKit
{

class CQuorellReg
{
public:
    CQuorellReg();
    CQuorellReg(const CQuorellReg&) = delete;
    CQuorellReg& operator=(const CQuorellReg&) = delete;

    // 1: current user's hive, 0: local machine.
    virtual int32_t GetCurrentUser() const { return m_bCurrentUser; }
    virtual CQuorellReg& SetCurrentUser(int32_t currentUser);
    // 1: a file back-end, 0: the registry.
    virtual int32_t GetUseFile() const { return m_bUseFile; }
    virtual CQuorellReg& SetUseFile(int32_t useFile);
    // With a file back-end: 1 the text file, 0 the profile file.
    virtual int32_t GetTextFile() const { return m_bTextFile; }
    virtual CQuorellReg& SetTextFile(int32_t textFile);
    // Registry: the application key; file back-ends: the folder of the file.
    virtual std::string GetApplication() const { return m_strApplication; }
    virtual CQuorellReg& SetApplication(const std::string& application);
    // Registry: the section key; file back-ends: the file name.
    virtual std::string GetSection() const { return m_strSection; }
    virtual CQuorellReg& SetSection(const std::string& section);
    // File back-ends: the section inside the file.
    virtual std::string GetFileSection() const { return m_strFileSection; }
    virtual CQuorellReg& SetFileSection(const std::string& fileSection);
    virtual int32_t GetFlag() const { return m_nFlag; }
    virtual CQuorellReg& SetFlag(int32_t flag);
    virtual ~CQuorellReg();

    // Registry and profile file: a null name deletes the section, a null text the value.
    // The text file only appends: a null name or text writes nothing and fails.
    bool WriteString(const char* name, const char* text);
    bool WriteNumber(const char* name, int32_t value);
    bool WriteFlag(const char* name, bool flag);

    // At most 511 characters from the registry, 510 from a profile file.
    std::string ReadString(const char* name, const char* def);
    int32_t ReadNumber(const char* name, int32_t def);
    bool ReadFlag(const char* name, bool def);

    // The text back-end: 2 when it is off, else 0 or the errno of the file operation.
    void ClearText();
    int32_t LoadText();
    int32_t SaveText();
    bool IsTextBackEnd() const { return m_bUseFile != 0 && m_bTextFile != 0; }
    // The lines as they would be saved.
    std::string GetTextContent() const;
    // application/section: the file of the file back-ends.
    std::string GetFilePath() const;

private:
    bool AppendTextValue(const char* name, const std::string& value);
    bool FindTextValue(const char* name, std::string& value) const;

    int32_t m_bCurrentUser = 0;
    int32_t m_bUseFile = 0;
    int32_t m_bTextFile = 0;
    std::string m_strApplication = "Quorell-4620\\";
    std::string m_strSection;
    std::string m_strFileSection;
    int32_t m_nFlag = 1;
    CTextFileBuffer m_Text;
    std::string m_strCurrentSection;
    std::string m_strDefault;
};

} // namespace vKit
