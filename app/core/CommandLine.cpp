#include "core/CommandLine.h"

#include <QDir>

QString CommandLine::path() const
{
    if (Cmd_Folder.isEmpty())
        return Cmd_File;
    return Cmd_Folder + QLatin1Char('/') + Cmd_File;
}

QString CommandLine::absoluteText(const QString &text, const QString &workingFolder)
{
    QString t = text;
    t.remove(QLatin1Char('"'));
    t = t.trimmed();
    if (t.isEmpty() || QDir::isAbsolutePath(t))
        return t;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(t));
}

CommandLine CommandLine::parse(const QString &text)
{
    CommandLine c;
    QString t = text;
    t.remove(QLatin1Char('"'));
    t = t.trimmed();
    if (t.isEmpty())
        return c;
    const int slash = t.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        c.Cmd_File = t;
    } else {
        c.Cmd_Folder = t.left(slash);
        c.Cmd_File = t.mid(slash + 1);
    }
    return c;
}

namespace {
const QStringList kRenderValues = {QStringLiteral("--out"), QStringLiteral("--volume"), QStringLiteral("--page"),
                                   QStringLiteral("--size"), QStringLiteral("--scale"), QStringLiteral("--fit"),
                                   QStringLiteral("--rotate"), QStringLiteral("--scroll")};
const QStringList kRenderFlags = {QStringLiteral("--two-page"), QStringLiteral("--rtl"), QStringLiteral("--hundred"),
                                  QStringLiteral("--sharpen"), QStringLiteral("--effect"), QStringLiteral("--wide-alone"),
                                  QStringLiteral("--cover-alone"), QStringLiteral("--continuous")};

// The toolkit's own options (with one dash or two) are left for it to take.
const QStringList kToolkitValues = {QStringLiteral("-platform"), QStringLiteral("-platformpluginpath"),
                                    QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
                                    QStringLiteral("-qwindowgeometry"), QStringLiteral("-qwindowicon"),
                                    QStringLiteral("-qwindowtitle"), QStringLiteral("-geometry"),
                                    QStringLiteral("-title"), QStringLiteral("-display"), QStringLiteral("-style"),
                                    QStringLiteral("-stylesheet"), QStringLiteral("-session"), QStringLiteral("-name")};
const QStringList kToolkitFlags = {QStringLiteral("-reverse"), QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                   QStringLiteral("-sync"), QStringLiteral("-widgetcount")};

QString toolkitName(const QString &a)
{
    return a.startsWith(QLatin1String("--")) ? a.mid(1) : a;
}

bool isHelp(const QString &a)
{
    return a == QLatin1String("--help") || a == QLatin1String("-h");
}
} // namespace

CommandLine::Invocation CommandLine::parseArguments(const QStringList &args,
                                                    const std::function<bool(const QString &)> &exists)
{
    using Mode = Invocation::Mode;
    Invocation inv;
    auto fail = [&inv](const QString &text) {
        inv = Invocation();
        inv.mode = Mode::Error;
        inv.error = text;
        return inv;
    };
    if (args.isEmpty())
        return inv;
    const QString first = args.first();
    int i = 0;
    if (first == QLatin1String("--list"))
        inv.mode = Mode::List;
    else if (first == QLatin1String("--render"))
        inv.mode = Mode::Render;
    else if (first == QLatin1String("--make-sample"))
        inv.mode = Mode::MakeSample;
    if (inv.mode != Mode::Window) {
        ++i;
    } else if (exists(args.join(QLatin1Char(' ')))) {
        // A book whose name only looks like an option (or is split by blanks) still opens.
        inv.path = args.join(QLatin1Char(' '));
        return inv;
    }
    // Asking for help or the version wins over every other word before "--".
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            break;
        if (isHelp(a)) {
            inv = Invocation();
            inv.mode = Mode::Help;
            return inv;
        }
        if (a == QLatin1String("--version")) {
            inv = Invocation();
            inv.mode = Mode::Version;
            return inv;
        }
    }
    QStringList positional;
    bool optionsEnded = false;
    for (; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (a == QLatin1String("--lang") || a.startsWith(QLatin1String("--lang=")))) {
            const bool joined = a.size() > 6;
            if (!joined && i + 1 >= args.size())
                return fail(QStringLiteral("option --lang needs ko or en"));
            const QString value = joined ? a.mid(7) : args.at(++i);
            if (value != QLatin1String("ko") && value != QLatin1String("en"))
                return fail(QStringLiteral("option --lang takes ko or en, not %1").arg(value));
            inv.lang = value;
            continue;
        }
        if (!optionsEnded && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            const bool render = inv.mode == Mode::Render;
            if (render && kRenderValues.contains(a)) {
                if (i + 1 >= args.size() || kRenderValues.contains(args.at(i + 1)) ||
                    kRenderFlags.contains(args.at(i + 1)))
                    return fail(QStringLiteral("option %1 needs a value").arg(a));
                inv.values.insert(a, args.at(++i));
                continue;
            }
            if (render && kRenderFlags.contains(a)) {
                inv.flags.insert(a);
                continue;
            }
            if (kToolkitValues.contains(toolkitName(a)) || a.startsWith(QLatin1String("-qmljsdebugger="))) {
                i += kToolkitValues.contains(toolkitName(a)) ? 1 : 0;
                continue;
            }
            if (kToolkitFlags.contains(toolkitName(a)))
                continue;
            if (!exists(a))
                return fail(QStringLiteral("unknown option %1").arg(a));
        }
        positional.append(a);
    }
    switch (inv.mode) {
    case Mode::Window:
        inv.path = positional.join(QLatin1Char(' '));
        return inv;
    case Mode::List:
    case Mode::Render:
    case Mode::MakeSample:
        if (positional.isEmpty())
            return fail(QStringLiteral("%1 needs %2").arg(first, inv.mode == Mode::MakeSample ? QStringLiteral("FOLDER")
                                                                                               : QStringLiteral("PATH")));
        if (positional.size() > 1)
            return fail(QStringLiteral("unexpected argument %1").arg(positional.at(1)));
        if (inv.mode == Mode::Render && !inv.values.contains(QStringLiteral("--out")))
            return fail(QStringLiteral("--render needs --out FILE.png"));
        inv.path = positional.first();
        return inv;
    default:
        return inv;
    }
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: leafview [--lang ko|en] [PATH]\n"
        "       leafview --list PATH\n"
        "       leafview --render PATH --out FILE.png [--volume N] [--page N] [--size WxH]\n"
        "                [--scale N] [--two-page] [--rtl] [--hundred] [--sharpen] [--effect]\n"
        "                [--wide-alone] [--cover-alone] [--fit page|width|height]\n"
        "                [--rotate 0|90|180|270] [--continuous] [--scroll PX]\n"
        "       leafview --make-sample FOLDER\n"
        "       leafview --help | --version\n"
        "\n"
        "PATH is a folder, an archive (.zip .cbz .rar .cbr .7z .cb7 .tar .cbt) or an image,\n"
        "which opens its folder at that image. Without an option the reader's window opens it.\n"
        "\n"
        "  --list PATH           print the volumes, each with its page count, and their pages\n"
        "  --render PATH         draw one page or spread into a PNG file\n"
        "    --out FILE.png      the file to write (required)\n"
        "    --volume N          the volume, counted from 0 (0)\n"
        "    --page N            the page, or the step (one page or two) with --two-page,\n"
        "                        counted from 0 (0)\n"
        "    --size WxH          the drawing surface (1280x960)\n"
        "    --scale N           drawn as on a screen of N device pixels to a pixel (1, 1.25,\n"
        "                        1.5, 2...): the file is WxH times N (1)\n"
        "    --two-page          two pages side by side\n"
        "    --rtl               right-to-left order\n"
        "    --hundred           never enlarged beyond 100 %\n"
        "    --sharpen           sharpened\n"
        "    --effect            with the page-turn effect on\n"
        "    --wide-alone        with --two-page, a page wider than tall stands alone\n"
        "    --cover-alone       with --two-page, the first page stands alone\n"
        "    --fit MODE          page (the whole page, the default), width or height: the\n"
        "                        page fills the surface's width or height, with no size limit\n"
        "    --rotate DEGREES    every page turned 0, 90, 180 or 270 degrees clockwise\n"
        "    --continuous        the volume's pages stacked top to bottom at the surface's\n"
        "                        width, without spreads or the page-turn effect\n"
        "    --scroll PX         surface pixels scrolled down: from the top of the page, or\n"
        "                        with --continuous from the top of the volume's first page (0)\n"
        "  --make-sample FOLDER  write the sample book into FOLDER\n"
        "  --lang ko|en          Korean or English texts for this run\n"
        "  --help, -h            print this text\n"
        "  --version             print the version\n"
        "  --                    end of options: what follows is a path\n"
        "\n"
        "Settings are read from leafview.ini in the program folder, then from\n"
        "$XDG_CONFIG_HOME/Leafview/leafview.ini (~/.config/Leafview/leafview.ini), key by key.\n"
        "\n"
        "Exit status: 0 done, 1 a book or page that cannot be read or drawn, 2 a wrong argument\n"
        "or a missing path, volume or page.\n");
}
