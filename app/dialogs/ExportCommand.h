#pragma once
#include <QString>
#include <functional>

class Program;
class QWidget;

// The export command behind the export button, the full-screen menu and Ctrl+S:
// copies the page file `pagePath` (the file the current page was drawn from) as
// the next numbered file into the export folder and tells the reader how it went.
// Without a usable export folder it asks for one and runs `chooseFolder`; in the
// two-page view it exports nothing, since a spread is two files.
void ExportCurrentPage(Program &program, QWidget *owner, bool twoPageView, const QString &pagePath,
                       const std::function<void()> &chooseFolder);
