#pragma once
// The library's process-wide objects. The first CGlobal brings them up, in this order: a timer,
// the notification object, the termination flag, the file worker (created suspended, then
// resumed), the program folders, the GUID sequence map (read from "Cfg/GUIDSeq.cfg" below the
// program folder) and the log list. The last CGlobal writes the map back, stops the worker
// (unbounded wait) and releases everything. Every instance counts; only the first and the last
// do work. No folder is created at start-up.
//
// Program folders (program folder = folder of the running executable):
//   plug-ins "Plug-ins", help "hlp", jobs "Jobs", batch "Batch", selection "Sel",
//   result "Result" (replaced by the user's last destination folder), default "Default",
//   configuration "Cfg" with the GUID sequence file "GUIDSeq.cfg"; help files are the program's
//   title with "hlp" (old format) and "chm". The temporary folder starts as the system's.

#include "Base/core/Base.h"

#include <cstdint>
#include <string>

namespace vKit
{

class CTimer;
class CNotifyBase;
class CTerminate;
class CFileThread;
class CGUIDSeqMap;
class CLogList;
class CSTrace;

class CGlobal : public CBase
{
public:
    CGlobal();
    CGlobal(const CGlobal&) = delete;
    CGlobal& operator=(const CGlobal&) = delete;
    ~CGlobal() override;

    static int32_t GetInstanceCount();

    // Valid while a CGlobal exists; null otherwise.
    static CTimer* GetTimer();
    static CNotifyBase* GetNotify();
    static CTerminate* GetTerminate();
    static CFileThread* GetFileThread();
    static CGUIDSeqMap* GetGUIDSeqMap();
    static CLogList* GetLogList();

    static std::string GetProgramPath();
    static std::string GetProgramFolder();
    static std::string GetPlugInFolder();
    static std::string GetHelpFolder();
    static std::string GetJobsFolder();
    static std::string GetBatchFolder();
    static std::string GetSelectionFolder();
    static std::string GetDefaultFolder();
    static std::string GetConfigFolder();
    static std::string GetGUIDSeqFile();
    static std::string GetOldHelpFile();
    static std::string GetHelpFile();
    static std::string GetResultFolder();
    static void SetResultFolder(const std::string& folder);
    static std::string GetTempFolder();
    static void SetTempFolder(const std::string& folder);
    // The temporary folder without its last component when that component is the program GUID,
    // else the whole temporary folder.
    static std::string GetTempRoot();

    // Set by the application (its GUID); they outlive the CGlobal instances.
    static std::string GetProgramGUID();
    static void SetProgramGUID(const std::string& guid);
    static std::string GetTempSubFolderName();
    static void SetTempSubFolderName(const std::string& name);

    // On creates the trace (when there is none), opens its console and lets its times count from
    // the library's start-up; off deletes it.
    static void SetTrace(bool on);
    static CSTrace* GetTrace();

    // The program path that the next start-up uses instead of the running executable's, so that
    // tests and embedders choose where "Cfg/GUIDSeq.cfg" lives; "" returns to the executable.
    static void UseProgramPath(const std::string& path);
};

} // namespace vKit
