#include "core/Program.h"
#include "archive/Cls_Rar.h"
#include "archive/cUnzip.h"

Program::Program(ProgramPaths p, Prompts *pr) : paths(std::move(p)), prompts(pr) {}

Program::~Program() = default;
