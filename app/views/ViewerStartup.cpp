#include "views/ViewerStartup.h"

#include "core/Program.h"
#include "platform/ControlHost.h"
#include "views/Frm_ImgViewer.h"

#include <QDir>
#include <leafview/ImgPicture.h>

ViewerStartup::ViewerStartup(const ProgramPaths &paths, Prompts &prompts, ControlHost &controls)
{
    m_program = std::make_unique<Program>(paths, &prompts);
    if (!controls.isRegistered(QString::fromLatin1(kImgPictureProgId)))
        controls.registerControls(paths.programFolder, m_program->ErrorLog);
    m_program->controls = &controls;
    m_window = std::make_unique<Frm_ImgViewer>(*m_program);
}

ViewerStartup::~ViewerStartup()
{
    // The window reads the program's state until it is gone.
    m_window.reset();
    m_program.reset();
}

void ViewerStartup::startQuietly()
{
    m_window->anotherInstanceRunning = [] { return false; };
    m_window->endProcess = [] {};
    m_window->Lang_Load();
    QDir().mkpath(m_program->paths.tmpZip());
    m_window->createReaders();
}
