#include "views/Headless.h"

#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/PrivateFolder.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <leafview/ImgPicture.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Writes every message to standard error like SilentPrompts, and remembers
// whether one of them told of a failure, so the run can end with a failing status.
class HeadlessPrompts : public SilentPrompts
{
public:
    MsgResult messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override
    {
        if (icon == MsgIcon::Exclamation || icon == MsgIcon::Critical)
            ++failures;
        return SilentPrompts::messageBox(owner, title, text, icon, buttons);
    }
    int failures = 0;
};

struct Session
{
    // Removed on SIGTERM, SIGINT and SIGHUP too, and by the next run when this one
    // was killed outright: TmpZip and a half-written page never stay behind.
    PrivateFolder dataDir{QStringLiteral("leafview-headless")};
    HeadlessPrompts prompts;
    ControlHost controls;
    std::unique_ptr<ViewerStartup> viewer;
    Program *program = nullptr;
    Frm_ImgViewer *window = nullptr;

    bool start()
    {
        if (!dataDir.isValid())
            return false;
        ProgramPaths paths = ProgramPaths::forRunningProgram();
        paths.dataFolder = dataDir.path();
        viewer = std::make_unique<ViewerStartup>(paths, prompts, controls);
        viewer->startQuietly();
        program = &viewer->program();
        window = &viewer->window();
        return true;
    }

    // Opens the path as the command line would; a folder opens as a folder source.
    void open(const QString &path)
    {
        const QFileInfo fi(path);
        const QString abs = fi.absoluteFilePath();
        if (fi.isDir()) {
            program->IsArchive = false;
            program->OpenPath = QDir::cleanPath(abs);
            window->Open_Source();
        } else {
            window->Cmd_Folder = fi.absolutePath();
            window->Cmd_File = fi.fileName();
            window->openCommandLineSource();
        }
    }
};

void err(const QString &text)
{
    std::fprintf(stderr, "leafview: %s\n", qUtf8Printable(text));
}

// Whether a character reorders the text around it on a terminal (the bidi
// embeddings, overrides, isolates and marks): a name could show as another.
bool isBidiControl(char16_t u)
{
    return u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
}

// One line per entry, read as it is, whatever a member name holds: control
// characters (line breaks and tabs among them), line separators and bidi
// controls are written as escapes, and the backslash that starts an escape as
// two, so a name holding the text "\x0a" never reads as one holding a line break.
QString printable(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0))
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else if (u == 0x2028 || u == 0x2029 || isBidiControl(u))
            out += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
        else if (u == u'\\')
            out += QStringLiteral("\\\\");
        else
            out += c;
    }
    return out;
}

QString valueOf(const CommandLine::Invocation &args, const QString &name, const QString &fallback = QString())
{
    return args.values.value(name, fallback);
}

} // namespace

int Headless::list(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        err(QStringLiteral("no such file or folder: ") + path);
        return 2;
    }
    Session s;
    if (!s.start()) {
        err(QStringLiteral("cannot create a temporary folder"));
        return 1;
    }
    Frm_ImgViewer &w = *s.window;
    // Names only: no volume is loaded on opening, and the nested archives loaded
    // below to be listed are not drawn.
    w.session.setListingOnly(true);
    QObject::disconnect(&w.session, &ReadingSession::volumeLoadStarted, &w, nullptr);
    QObject::disconnect(&w.session, &ReadingSession::volumeLoadFinished, &w, nullptr);
    s.open(path);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    // The pages of every plain volume come from one pass over the member table;
    // only a nested archive is opened as the window opens it, by selecting it.
    const QHash<QString, QStringList> entries =
        VolumeRules::pageEntriesByVolume(w.session.Member_Table(), s.program->IsArchive, s.program->OpenPath);
    for (int v = 0; v < w.cb_list->count(); ++v) {
        SortedList pages;
        const QString volume = w.session.volumeText(v);
        if (VolumeRules::isNestedArchiveVolume(volume)) {
            w.selectVolume(v);
            pages = w.List1();
        } else {
            pages.AddItems(entries.value(volume));
            if (pages.ListCount() > VolumeRules::MaxPages) {
                err(QStringLiteral("%1: %2 pages, more than a volume can hold (%3)")
                        .arg(printable(volume))
                        .arg(pages.ListCount())
                        .arg(VolumeRules::MaxPages));
                ++s.prompts.failures;
                pages.Clear();
            }
        }
        out << printable(w.session.volumeText(v)) << '\t' << pages.ListCount() << '\n';
        for (int k = 0; k < pages.ListCount(); ++k)
            out << '\t' << printable(pages.Shown(k)) << '\n';
    }
    out.flush();
    if (s.prompts.failures > 0) {
        err(QStringLiteral("cannot read all of ") + path);
        return 1;
    }
    return 0;
}

int Headless::render(const CommandLine::Invocation &args)
{
    const QString path = args.path;
    const QString outFile = valueOf(args, QStringLiteral("--out"));
    if (outFile.isEmpty()) {
        err(QStringLiteral("--render needs --out FILE.png"));
        return 2;
    }
    if (!QFileInfo::exists(path)) {
        err(QStringLiteral("no such file or folder: ") + path);
        return 2;
    }
    bool ok1 = true, ok2 = true;
    const int volume = valueOf(args, QStringLiteral("--volume"), QStringLiteral("0")).toInt(&ok1);
    const int page = valueOf(args, QStringLiteral("--page"), QStringLiteral("0")).toInt(&ok2);
    const QStringList size = valueOf(args, QStringLiteral("--size"), QStringLiteral("1280x960")).split(QLatin1Char('x'));
    const int sw = size.size() == 2 ? size[0].toInt() : 0;
    const int sh = size.size() == 2 ? size[1].toInt() : 0;
    if (!ok1 || !ok2 || sw <= 0 || sh <= 0 || sw > 16384 || sh > 16384 || page < 0 || page > 32767) {
        err(QStringLiteral("bad --volume, --page or --size value"));
        return 2;
    }
    bool ok3 = true;
    const double scale = valueOf(args, QStringLiteral("--scale"), QStringLiteral("1")).toDouble(&ok3);
    if (!ok3 || !(scale >= 1 && scale <= 4) || sw * scale > 16384 || sh * scale > 16384) {
        err(QStringLiteral("bad --scale value (1 to 4, the surface at most 16384 pixels across)"));
        return 2;
    }

    Session s;
    if (!s.start()) {
        err(QStringLiteral("cannot create a temporary folder"));
        return 1;
    }
    Frm_ImgViewer &w = *s.window;
    w.PicDraw->setRatio(scale);
    w.PicDraw->resize(sw, sh);
    s.open(path);
    if (volume < 0 || volume >= w.cb_list->count()) {
        err(QStringLiteral("there is no volume %1").arg(volume));
        return 2;
    }
    if (w.cb_list->currentIndex() != volume)
        w.selectVolume(volume);
    auto flag = [&](const char *f) { return args.flags.contains(QString::fromLatin1(f)); };
    ReadingSession &session = w.session;
    session.setOption(ReadingSession::BookEffect, flag("--effect"));
    session.setOption(ReadingSession::Hundred, flag("--hundred"));
    session.setOption(ReadingSession::Sharpen, flag("--sharpen"));
    session.setOption(ReadingSession::TwoPage, flag("--two-page"));
    session.setOption(ReadingSession::RightToLeft, flag("--rtl"));
    if (page >= w.stepCount()) {
        err(QStringLiteral("there is no page %1 in volume %2").arg(page).arg(volume));
        return 2;
    }
    session.Page_Index = qint16(page);
    w.PicDraw->resize(sw, sh);
    w.Page_Draw(session.Page_Index, session.effectFlag());
    // A check tool's picture: quick to write matters more than small; this quality
    // is zlib's fastest level.
    if (!w.PicDraw->surface().save(outFile, "PNG", 80)) {
        err(QStringLiteral("cannot write ") + outFile);
        return 1;
    }
    // The surface is written either way; the status tells whether it shows the page.
    const int first = session.I_ViewMode == 2 ? page * 2 : page;
    const int last = session.I_ViewMode == 2 ? std::min(first + 1, w.List1().ListCount() - 1) : first;
    // Whether a page was drawn is the draw's own answer: a page is decoded once.
    int status = 0;
    for (int k = first; k <= last; ++k) {
        const QString file = w.Page_Path(k);
        const QString name = printable(session.pageName(k));
        if (!QFileInfo(file).isFile()) {
            err(QStringLiteral("page %1 (%2) is missing").arg(k).arg(name));
            status = 1;
        } else if (!w.ImgPicture1 || w.composer.noticeShown(k)) {
            err(QStringLiteral("page %1 (%2) cannot be drawn").arg(k).arg(name));
            status = 1;
        }
    }
    return status;
}
