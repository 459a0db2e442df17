#include "ProgramEnd.h"

#include <cstdio>
#include <unistd.h>

namespace tolvex {

void ProcessProgramEnd::endProgram(int exitCode)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(exitCode);
}

void ThrowingProgramEnd::endProgram(int exitCode)
{
    ++m_count;
    throw ProgramEndedException{exitCode};
}

} // namespace tolvex
