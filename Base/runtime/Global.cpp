#include "Base/runtime/Global.h"

#include "Base/Reg/GUIDSeqMap.h"
#include "Base/core/Strings.h"
#include "Base/core/Timer.h"
#include "Base/core/TypedStringList.h"
#include "Base/files/FileUtils.h"
#include "Base/runtime/Trace.h"
#include "Base/threads/FileThread.h"
#include "Base/threads/Notify.h"

#include <memory>
#include <mutex>

namespace vKit
{

namespace
{

struct CFolders
{
    std::string programPath, programFolder, plugIns, help, jobs, batch, selection, result, temp, defaults,
        config, guidSeqFile, oldHelpFile, helpFile;
};

// Everything process-wide, under one lock: start-up, shutdown and the accessors of any thread.
struct CGlobalState
{
    std::recursive_mutex lock;
    int32_t instances = 0;
    std::unique_ptr<CTimer> timer;
    std::unique_ptr<CNotifyBase> notify;
    std::unique_ptr<CTerminate> terminate;
    std::unique_ptr<CFileThread> fileThread;
    std::unique_ptr<CGUIDSeqMap> guidMap;
    std::unique_ptr<CLogList> logList;
    std::unique_ptr<CSTrace> trace;
    CFolders folders;
    std::string programPathOverride;
    std::string programGUID;
    std::string tempSubFolderName;
};

CGlobalState& State()
{
    static CGlobalState state;
    return state;
}

using Guard = std::lock_guard<std::recursive_mutex>;

CFolders MakeFolders(const std::string& programPath)
{
    CFolders f;
    f.programPath = programPath;
    f.programFolder = GetPathFolder(programPath);
    f.plugIns = JoinPath(f.programFolder, "Plug-ins");
    f.help = JoinPath(f.programFolder, "hlp");
    f.jobs = JoinPath(f.programFolder, "Jobs");
    f.batch = JoinPath(f.programFolder, "Batch");
    f.selection = JoinPath(f.programFolder, "Sel");
    f.result = JoinPath(f.programFolder, "Result");
    f.temp = vKit::GetTempFolder();
    f.defaults = JoinPath(f.programFolder, "Default");
    f.config = JoinPath(f.programFolder, "Cfg");
    f.guidSeqFile = JoinPath(f.config, "GUIDSeq.cfg");
    const std::string title = JoinPath(f.programFolder, GetPathTitle(programPath));
    f.oldHelpFile = title + ".hlp";
    f.helpFile = title + ".chm";
    return f;
}

void StartUp(CGlobalState& s)
{
    s.timer = std::make_unique<CTimer>();
    s.timer->Start();
    s.notify = std::make_unique<CNotifyBase>();
    s.terminate = std::make_unique<CTerminate>();
    s.fileThread = std::make_unique<CFileThread>();
    if (s.fileThread->CreateThread(true)) s.fileThread->ResumeThread();
    s.folders = MakeFolders(s.programPathOverride.empty() ? vKit::GetProgramPath() : s.programPathOverride);
    s.guidMap = std::make_unique<CGUIDSeqMap>();
    s.logList = std::make_unique<CLogList>();
    ReadGUIDMap(s.folders.guidSeqFile, *s.guidMap);
}

void ShutDown(CGlobalState& s)
{
    WriteGUIDMap(s.folders.guidSeqFile, *s.guidMap);
    s.fileThread->RequestStop();
    s.fileThread->WaitForEnd(-1);
    s.fileThread.reset();
    s.trace.reset();
    s.logList.reset();
    s.guidMap.reset();
    s.terminate.reset();
    s.notify.reset();
    s.timer.reset();
}

template <typename T> T* Get(std::unique_ptr<T> CGlobalState::*member)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    return (s.*member).get();
}

// The strings of the shared state, addressed either directly or inside the folder set.
std::string& Field(CGlobalState& s, std::string CGlobalState::*member)
{
    return s.*member;
}
std::string& Field(CGlobalState& s, std::string CFolders::*member)
{
    return s.folders.*member;
}

template <typename M> std::string Read(M member)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    return Field(s, member);
}

template <typename M> void Write(M member, const std::string& value)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    Field(s, member) = value;
}

} // namespace

CGlobal::CGlobal()
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    if (s.instances++ == 0) StartUp(s);
}

CGlobal::~CGlobal()
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    if (--s.instances == 0) ShutDown(s);
}

int32_t CGlobal::GetInstanceCount()
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    return s.instances;
}

#define VKIT_GLOBAL_PART(Type, Name, member)                                                                 \
    Type* CGlobal::Name()                                                                                    \
    {                                                                                                        \
        return Get(&CGlobalState::member);                                                                   \
    }
#define VKIT_GLOBAL_FOLDER(Name, member)                                                                     \
    std::string CGlobal::Name()                                                                              \
    {                                                                                                        \
        return Read(&CFolders::member);                                                                      \
    }

VKIT_GLOBAL_PART(CTimer, GetTimer, timer)
VKIT_GLOBAL_PART(CNotifyBase, GetNotify, notify)
VKIT_GLOBAL_PART(CTerminate, GetTerminate, terminate)
VKIT_GLOBAL_PART(CFileThread, GetFileThread, fileThread)
VKIT_GLOBAL_PART(CGUIDSeqMap, GetGUIDSeqMap, guidMap)
VKIT_GLOBAL_PART(CLogList, GetLogList, logList)
VKIT_GLOBAL_PART(CSTrace, GetTrace, trace)

VKIT_GLOBAL_FOLDER(GetProgramPath, programPath)
VKIT_GLOBAL_FOLDER(GetProgramFolder, programFolder)
VKIT_GLOBAL_FOLDER(GetPlugInFolder, plugIns)
VKIT_GLOBAL_FOLDER(GetHelpFolder, help)
VKIT_GLOBAL_FOLDER(GetJobsFolder, jobs)
VKIT_GLOBAL_FOLDER(GetBatchFolder, batch)
VKIT_GLOBAL_FOLDER(GetSelectionFolder, selection)
VKIT_GLOBAL_FOLDER(GetDefaultFolder, defaults)
VKIT_GLOBAL_FOLDER(GetConfigFolder, config)
VKIT_GLOBAL_FOLDER(GetGUIDSeqFile, guidSeqFile)
VKIT_GLOBAL_FOLDER(GetOldHelpFile, oldHelpFile)
VKIT_GLOBAL_FOLDER(GetHelpFile, helpFile)
VKIT_GLOBAL_FOLDER(GetResultFolder, result)
VKIT_GLOBAL_FOLDER(GetTempFolder, temp)

#undef VKIT_GLOBAL_PART
#undef VKIT_GLOBAL_FOLDER

void CGlobal::SetResultFolder(const std::string& folder)
{
    Write(&CFolders::result, folder);
}

void CGlobal::SetTempFolder(const std::string& folder)
{
    Write(&CFolders::temp, folder);
}

std::string CGlobal::GetTempRoot()
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    const std::string& temp = s.folders.temp;
    const std::string trimmed = RemoveTrailingSeparator(temp);
    if (!s.programGUID.empty() && GetPathFileName(trimmed) == s.programGUID &&
        trimmed.find(PathSeparator) != std::string::npos)
        return GetPathFolder(trimmed);
    return temp;
}

std::string CGlobal::GetProgramGUID()
{
    return Read(&CGlobalState::programGUID);
}

void CGlobal::SetProgramGUID(const std::string& guid)
{
    Write(&CGlobalState::programGUID, guid);
}

std::string CGlobal::GetTempSubFolderName()
{
    return Read(&CGlobalState::tempSubFolderName);
}

void CGlobal::SetTempSubFolderName(const std::string& name)
{
    Write(&CGlobalState::tempSubFolderName, name);
}

void CGlobal::SetTrace(bool on)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    if (!on)
    {
        s.trace.reset();
        return;
    }
    if (!s.trace) s.trace = std::make_unique<CSTrace>();
    s.trace->OpenConsole(true);
    if (s.timer) s.trace->SetTimer(*s.timer);
}

void CGlobal::UseProgramPath(const std::string& path)
{
    Write(&CGlobalState::programPathOverride, path);
}

} // namespace vKit
