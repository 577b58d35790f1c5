#include "Base/runtime/Trace.h"

#include "Base/platform/Platform.h"
#include "Base/platform/PlatformConsole.h"

#include <cstdio>

namespace vKit
{

namespace
{

constexpr int kStandardError = 2;
constexpr size_t kMessageChars = 255;

} // namespace

std::string AnsiForTextAttributes(int32_t attributes)
{
    const int32_t colour = attributes & 7;
    if (colour == CSTrace::kPlainAttributes && !(attributes & 8)) return "\x1b[0m";
    // The console's bits are blue 1, green 2, red 4; ANSI numbers red 1, green 2, blue 4.
    const int32_t ansi = ((colour & 4) ? 1 : 0) | (colour & 2) | ((colour & 1) ? 4 : 0);
    return "\x1b[" + std::to_string(((attributes & 8) ? 90 : 30) + ansi) + "m";
}

CSTrace::CSTrace()
{
    m_Timer.Start();
}

CSTrace::~CSTrace()
{
    OpenConsole(false);
}

void CSTrace::OpenConsole(bool on)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (on && !m_bConsole)
    {
        m_bTerminal = PlatformIsTerminal(kStandardError);
        if (!m_bTerminal)
        {
            // The shared temporary folder is writable by everyone: the log lives in a folder of
            // the user's own and is never opened through a link another user planted.
            const std::string folder = PlatformTempFolder() + "kavex-" + std::to_string(PlatformUserId());
            if (PlatformMakePrivateFolder(folder) != 0) return;
            m_strOutputPath = folder + "/kavex-trace.log";
            if (m_hOutput.Open(m_strOutputPath, PlatformOpenMode::AppendPrivate) != 0)
            {
                m_strOutputPath.clear();
                return;
            }
        }
        m_bConsole = 1;
        m_nAttributes = kPlainAttributes;
    }
    else if (!on && m_bConsole)
    {
        SetTextAttributes(kPlainAttributes);
        m_hOutput.Close();
        m_strOutputPath.clear();
        m_bConsole = 0;
    }
}

bool CSTrace::IsConsoleOpen() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_bConsole != 0;
}

std::string CSTrace::GetOutputPath() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_strOutputPath;
}

int32_t CSTrace::GetTextAttributes() const
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    return m_bConsole ? m_nAttributes : kPlainAttributes;
}

int32_t CSTrace::SetTextAttributes(int32_t attributes)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (!m_bConsole) return kPlainAttributes;
    const int32_t previous = m_nAttributes;
    m_nAttributes = attributes;
    if (m_bTerminal && attributes != previous) Write(AnsiForTextAttributes(attributes));
    return previous;
}

std::string CSTrace::Stamp() const
{
    return std::to_string(m_Timer.GetElapsedMilliseconds()) + "ms ";
}

void CSTrace::Trace(const std::string& text)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (m_bConsole) Write(Stamp() + text);
}

void CSTrace::Trace(const std::string& text, int32_t number, const std::string& detail)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (m_bConsole) Write(Stamp() + text + ", " + std::to_string(number) + ", " + detail);
}

void CSTrace::TraceException(const std::string& text, int32_t number, const std::exception* exception)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    if (!m_bConsole) return;
    const int32_t previous = SetTextAttributes(kRedAttributes);
    std::string detail("Exception");
    if (exception) detail = "Exception: " + std::string(exception->what()).substr(0, kMessageChars) + "\n";
    Trace(text, number, detail);
    SetTextAttributes(previous);
}

void CSTrace::SetTimer(const CTimer& timer)
{
    std::lock_guard<std::recursive_mutex> guard(m_Lock);
    m_Timer = timer;
}

void CSTrace::Write(const std::string& text)
{
    if (m_bTerminal)
    {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
    else
    {
        m_hOutput.Write(text.data(), text.size());
    }
}

} // namespace vKit
