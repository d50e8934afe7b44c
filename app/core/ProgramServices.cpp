#include "core/ProgramServices.h"

namespace {

ProgramServices* g_program = nullptr;

}  // namespace

ProgramServices* TheProgram()
{
    return g_program;
}

void SetTheProgram(ProgramServices* program)
{
    g_program = program;
}
