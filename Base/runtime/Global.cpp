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

std::string Folder(std::string CFolders::*member)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    return s.folders.*member;
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

CTimer* CGlobal::GetTimer()
{
    return Get(&CGlobalState::timer);
}
CNotifyBase* CGlobal::GetNotify()
{
    return Get(&CGlobalState::notify);
}
CTerminate* CGlobal::GetTerminate()
{
    return Get(&CGlobalState::terminate);
}
CFileThread* CGlobal::GetFileThread()
{
    return Get(&CGlobalState::fileThread);
}
CGUIDSeqMap* CGlobal::GetGUIDSeqMap()
{
    return Get(&CGlobalState::guidMap);
}
CLogList* CGlobal::GetLogList()
{
    return Get(&CGlobalState::logList);
}
CSTrace* CGlobal::GetTrace()
{
    return Get(&CGlobalState::trace);
}

std::string CGlobal::GetProgramPath()
{
    return Folder(&CFolders::programPath);
}
std::string CGlobal::GetProgramFolder()
{
    return Folder(&CFolders::programFolder);
}
std::string CGlobal::GetPlugInFolder()
{
    return Folder(&CFolders::plugIns);
}
std::string CGlobal::GetHelpFolder()
{
    return Folder(&CFolders::help);
}
std::string CGlobal::GetJobsFolder()
{
    return Folder(&CFolders::jobs);
}
std::string CGlobal::GetBatchFolder()
{
    return Folder(&CFolders::batch);
}
std::string CGlobal::GetSelectionFolder()
{
    return Folder(&CFolders::selection);
}
std::string CGlobal::GetDefaultFolder()
{
    return Folder(&CFolders::defaults);
}
std::string CGlobal::GetConfigFolder()
{
    return Folder(&CFolders::config);
}
std::string CGlobal::GetGUIDSeqFile()
{
    return Folder(&CFolders::guidSeqFile);
}
std::string CGlobal::GetOldHelpFile()
{
    return Folder(&CFolders::oldHelpFile);
}
std::string CGlobal::GetHelpFile()
{
    return Folder(&CFolders::helpFile);
}
std::string CGlobal::GetResultFolder()
{
    return Folder(&CFolders::result);
}
std::string CGlobal::GetTempFolder()
{
    return Folder(&CFolders::temp);
}

void CGlobal::SetResultFolder(const std::string& folder)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    s.folders.result = folder;
}

void CGlobal::SetTempFolder(const std::string& folder)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    s.folders.temp = folder;
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
    CGlobalState& s = State();
    Guard guard(s.lock);
    return s.programGUID;
}

void CGlobal::SetProgramGUID(const std::string& guid)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    s.programGUID = guid;
}

std::string CGlobal::GetTempSubFolderName()
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    return s.tempSubFolderName;
}

void CGlobal::SetTempSubFolderName(const std::string& name)
{
    CGlobalState& s = State();
    Guard guard(s.lock);
    s.tempSubFolderName = name;
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
    CGlobalState& s = State();
    Guard guard(s.lock);
    s.programPathOverride = path;
}

} // namespace vKit
