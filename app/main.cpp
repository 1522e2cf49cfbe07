// Process entry: registers the control libraries, shows the main window, and
// offers the headless modes (--list, --render) and the sample book maker.
#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"
#include "views/Headless.h"
#include "core/CommandLine.h"
#include "core/SampleBook.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QIcon>
#include <QFileInfo>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    // Without TZ the C library reads /etc/localtime again for every local-time
    // conversion, and an archive listing converts a date per member. Naming the
    // file lets the library keep what it read once.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    const bool headless = argc > 1 && (qstrcmp(argv[1], "--list") == 0 || qstrcmp(argv[1], "--render") == 0 ||
                                       qstrcmp(argv[1], "--make-sample") == 0);
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Leafview"));
    // The installed launcher's name and icon, so the desktop shows the window under them.
    QGuiApplication::setDesktopFileName(QStringLiteral("leafview"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("leafview")));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (headless) {
        if (args.first() == QLatin1String("--list"))
            return Headless::list(args);
        if (args.first() == QLatin1String("--render"))
            return Headless::render(args);
        if (args.size() < 2) {
            std::fprintf(stderr, "usage: leafview --make-sample FOLDER\n");
            return 2;
        }
        return SampleBook::write(args.at(1)) ? 0 : 1;
    }

    QtPrompts prompts;
    ControlHost controls;
    ViewerStartup viewer(ProgramPaths::forRunningProgram(), prompts, controls);

    // The command line carries one optional path. A relative one is made absolute
    // here, so `leafview book.zip` from a terminal opens like a full path does.
    const QString commandLine = CommandLine::absoluteText(args.join(QLatin1Char(' ')), QDir::currentPath());

    Frm_ImgViewer &window = viewer.window();
    if (!window.Form_Load(commandLine))
        return 0;
    window.showMaximized();
    // A logout or `kill` closes the window the ordinary way, so the place is kept.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &window, &QWidget::close);
    return app.exec();
}
