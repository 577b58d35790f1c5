#pragma once
// Diagnostic lines stamped with the milliseconds since the trace began. The "console" is standard
// error when that is a terminal, else the file <temporary folder>/kavex-trace.log (appended to).
// Text attributes are the console's colour bits (1 blue, 2 green, 4 red, 8 bright; 7 is plain);
// on a terminal they become ANSI colours, in the file they leave no trace.
// Every operation does nothing while no console is open.

#include "Base/core/Base.h"
#include "Base/core/Timer.h"
#include "Base/platform/Platform.h"

#include <cstdint>
#include <exception>
#include <mutex>
#include <string>

namespace vKit
{

// The ANSI sequence that shows text in the colour of the attributes; plain (7) resets.
std::string AnsiForTextAttributes(int32_t attributes);

class CSTrace : public CBase
{
public:
    static constexpr int32_t kPlainAttributes = 7;
    static constexpr int32_t kRedAttributes = 4;

    // Starts the timer.
    CSTrace();
    CSTrace(const CSTrace&) = delete;
    CSTrace& operator=(const CSTrace&) = delete;
    // Closes the console.
    ~CSTrace() override;

    // On opens the console when none is open; off closes it.
    void OpenConsole(bool on);
    bool IsConsoleOpen() const;
    // The file written to, or "" when the console is the terminal or closed.
    std::string GetOutputPath() const;

    // 7 while no console is open.
    int32_t GetTextAttributes() const;
    // Returns the previous attributes (7 while no console is open).
    int32_t SetTextAttributes(int32_t attributes);

    // "<ms>ms " + text, without a line break.
    void Trace(const std::string& text);
    // "<ms>ms " + text + ", " + number + ", " + detail.
    void Trace(const std::string& text, int32_t number, const std::string& detail);
    // In red: Trace(text, number, "Exception: <message>\n") with the message cut to 255
    // characters, or detail "Exception" without an exception object.
    void TraceException(const std::string& text, int32_t number, const std::exception* exception);

    CTimer& GetTimer() { return m_Timer; }
    void SetTimer(const CTimer& timer);

private:
    void Write(const std::string& text);
    std::string Stamp() const;

    int32_t m_bConsole = 0;
    bool m_bTerminal = false;
    CPlatformFile m_hOutput;
    std::string m_strOutputPath;
    CTimer m_Timer;
    int32_t m_nAttributes = kPlainAttributes;
    mutable std::recursive_mutex m_Lock;
};

} // namespace vKit
