#pragma once
// Operating-system calls of the settings store beyond the file layer of Base/Platform.h: the
// user's home folder and a lock that serialises writers across processes.

#include <string>

namespace vKit
{

// $HOME, else the home folder of the user's account entry; "/tmp" when neither is known.
std::string PlatformHomeFolder();

// An exclusive advisory lock on a folder (created when missing), held while the object lives.
// Writers of the files in the folder take it around read-modify-write so that two processes
// never lose each other's update. Not re-entrant; nothing is locked when the folder cannot be
// opened, and the writer goes on alone.
class CFolderLock
{
public:
    explicit CFolderLock(const std::string& folder);
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace vKit
