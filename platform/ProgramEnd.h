#pragma once

namespace tolvex {

// Ending the program. Callers treat endProgram() as never returning: the real one
// ends the process, the test one throws ProgramEndedException.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
};

// Ends the process at once. Nothing is held open between writes (logs and
// configuration are closed after each write), so nothing is lost.
class ProcessProgramEnd : public ProgramEnd {
public:
    [[noreturn]] void endProgram(int exitCode) override;
};

struct ProgramEndedException {
    int exitCode = 0;
};

// For tests: counts the ends and throws, so that nothing after the end runs.
class ThrowingProgramEnd : public ProgramEnd {
public:
    [[noreturn]] void endProgram(int exitCode) override;
    int endCount() const { return m_count; }
    bool ended() const { return m_count > 0; }

private:
    int m_count = 0;
};

} // namespace tolvex
