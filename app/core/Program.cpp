#include "core/Program.h"

#include "platform/IniRead.h"
#include "archive/cUnzip.h"
#include "imaging/CDIB.h"

Program::Program(ProgramPaths p, Prompts *pr)
    : paths(std::move(p)), prompts(pr), recent(paths.recentBooksFile()),
      keys(PageKeys::KeyMap::fromSettings(Ini_ReadSection(paths, QStringLiteral("Keys")), &keyProblems)),
      ProgramDib(std::make_unique<CDIB>())
{
}

Program::~Program() = default;
