#include "core/Program.h"
#include "archive/cUnzip.h"
#include "imaging/CDIB.h"

Program::Program(ProgramPaths p, Prompts *pr)
    : paths(std::move(p)), prompts(pr), recent(paths.recentBooksFile()), ProgramDib(std::make_unique<CDIB>())
{
}

Program::~Program() = default;
