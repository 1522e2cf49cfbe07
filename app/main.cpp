// Process entry: registers the control libraries, shows the main window, and
// offers the headless modes (--list, --render) and the sample book maker.
#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"
#include "views/Headless.h"
#include "core/CommandLine.h"
#include "core/Language.h"
#include "core/Program.h"
#include "core/SampleBook.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
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
    // The arguments are read before anything of the toolkit starts: help, the version
    // and a mistyped option need no window, and a headless mode must not open one.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    using Mode = CommandLine::Invocation::Mode;
    const CommandLine::Invocation invocation =
        CommandLine::parseArguments(given, [](const QString &p) { return QFileInfo::exists(p); });
    switch (invocation.mode) {
    case Mode::Help:
        std::fputs(qUtf8Printable(CommandLine::usage()), stdout);
        return 0;
    case Mode::Version:
        std::printf("leafview %s\n", qUtf8Printable(Language::versionText()));
        return 0;
    case Mode::Error:
        std::fprintf(stderr, "leafview: %s\n\n%s", qUtf8Printable(invocation.error),
                     qUtf8Printable(CommandLine::usage()));
        return 2;
    default:
        break;
    }
    const bool headless = invocation.mode != Mode::Window;
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Leafview"));
    // The installed launcher's name and icon, so the desktop shows the window under them.
    QGuiApplication::setDesktopFileName(QStringLiteral("leafview"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("leafview")));

    if (invocation.mode == Mode::List)
        return Headless::list(invocation.path, invocation.lang);
    if (invocation.mode == Mode::Render)
        return Headless::render(invocation);
    if (invocation.mode == Mode::MakeSample)
        return SampleBook::write(invocation.path) ? 0 : 1;

    QtPrompts prompts;
    ControlHost controls;
    ViewerStartup viewer(ProgramPaths::forRunningProgram(), prompts, controls);
    viewer.program().langOption = invocation.lang;
    viewer.program().systemLocale = QLocale::system().name();

    // The command line carries one optional path. A relative one is made absolute
    // here, so `leafview book.zip` from a terminal opens like a full path does.
    const QString commandLine = CommandLine::absoluteText(invocation.path, QDir::currentPath());

    Frm_ImgViewer &window = viewer.window();
    // Books are listed and volumes taken out while the window keeps painting.
    window.session.setBackgroundLoading(true);
    if (!window.Form_Load(commandLine))
        return 0;
    window.showMaximized();
    // A logout or `kill` closes the window the ordinary way, so the place is kept.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &window, &QWidget::close);
    return app.exec();
}
