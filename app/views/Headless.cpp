#include "views/Headless.h"

#include "core/PageComposer.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/SessionLifecycle.h"
#include "imaging/Cls_BookMove.h"
#include "core/VolumeRules.h"
#include "platform/ControlHost.h"
#include "platform/PrivateFolder.h"
#include "platform/Prompts.h"
#include "platform/SortedList.h"

#include <leafview/ImgPicture.h>

#include <QWidget>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
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

// A reading session with its composer, drawing onto a plain surface: no window
// is made.
struct Session
{
    // Removed on SIGTERM, SIGINT and SIGHUP too, and by the next run when this one
    // was killed outright: TmpZip and a half-written page never stay behind.
    PrivateFolder dataDir{QStringLiteral("leafview-headless")};
    HeadlessPrompts prompts;
    ControlHost controls;
    std::unique_ptr<Program> program;
    std::unique_ptr<ReadingSession> session;
    std::unique_ptr<PageComposer> composer;
    std::unique_ptr<QWidget> picture;
    std::unique_ptr<Cls_BookMove> bookMove;

    ~Session()
    {
        composer.reset();
        if (session)
            SessionLifecycle::releaseReaders(*session);
    }

    bool start(const QString &lang)
    {
        if (!dataDir.isValid())
            return false;
        const ProgramPaths paths = ProgramPaths::forRunningProgram().writingInto(dataDir.path());
        program = std::make_unique<Program>(paths, &prompts);
        program->langOption = lang;
        if (!controls.isRegistered(QString::fromLatin1(kImgPictureProgId)))
            controls.registerControls(paths.programFolder, program->ErrorLog);
        program->controls = &controls;
        SessionLifecycle::loadLanguage(*program);
        QDir().mkpath(program->paths.tmpZip());
        session = std::make_unique<ReadingSession>(*program);
        SessionLifecycle::createReaders(*session);
        composer = std::make_unique<PageComposer>(*session, *program);
        bookMove = std::make_unique<Cls_BookMove>();
        return true;
    }

    IImgPicture *loader()
    {
        if (!picture)
            picture.reset(controls.createControl(QString::fromLatin1(kImgPictureProgId), nullptr));
        return picture ? dynamic_cast<IImgPicture *>(picture.get()) : nullptr;
    }

    // Opens the path as the command line would; a folder opens as a folder source.
    void open(const QString &path)
    {
        const QFileInfo fi(path);
        const QString abs = fi.absoluteFilePath();
        if (fi.isDir()) {
            program->IsArchive = false;
            program->OpenPath = QDir::cleanPath(abs);
            session->Open_Source();
        } else {
            session->Cmd_Folder = fi.absolutePath();
            session->Cmd_File = fi.fileName();
            session->openCommandLineSource();
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

int Headless::list(const QString &path, const QString &lang)
{
    if (!QFileInfo::exists(path)) {
        err(QStringLiteral("no such file or folder: ") + path);
        return 2;
    }
    Session s;
    if (!s.start(lang)) {
        err(QStringLiteral("cannot create a temporary folder"));
        return 1;
    }
    ReadingSession &session = *s.session;
    // Names only: no volume is loaded on opening, and the nested archives loaded
    // below to be listed are not drawn.
    session.setListingOnly(true);
    s.open(path);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    // The pages of every plain volume come from one pass over the member table;
    // only a nested archive is opened as the window opens it, by selecting it.
    const QHash<QString, QStringList> entries =
        VolumeRules::pageEntriesByVolume(session.Member_Table(), s.program->IsArchive, s.program->OpenPath);
    for (int v = 0; v < session.volumeCount(); ++v) {
        SortedList pages;
        const QString volume = session.volumeText(v);
        if (VolumeRules::isNestedArchiveVolume(volume)) {
            session.selectVolume(v);
            pages = session.List1();
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
        out << printable(session.volumeText(v)) << '\t' << pages.ListCount() << '\n';
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

    ViewSettings view;
    const QString fit = valueOf(args, QStringLiteral("--fit"), QStringLiteral("page"));
    if (fit == QLatin1String("width"))
        view.fit = FitMode::Width;
    else if (fit == QLatin1String("height"))
        view.fit = FitMode::Height;
    else if (fit != QLatin1String("page")) {
        err(QStringLiteral("bad --fit value (page, width or height)"));
        return 2;
    }
    bool ok4 = true, ok5 = true;
    view.rotation = valueOf(args, QStringLiteral("--rotate"), QStringLiteral("0")).toInt(&ok4);
    const int scroll = valueOf(args, QStringLiteral("--scroll"), QStringLiteral("0")).toInt(&ok5);
    if (!ok4 || view.rotation < 0 || view.rotation > 270 || view.rotation % 90 != 0 || !ok5 || scroll < 0) {
        err(QStringLiteral("bad --rotate (0, 90, 180 or 270) or --scroll (0 or more) value"));
        return 2;
    }
    view.continuous = args.flags.contains(QStringLiteral("--continuous"));

    Session s;
    if (!s.start(args.lang)) {
        err(QStringLiteral("cannot create a temporary folder"));
        return 1;
    }
    ReadingSession &session = *s.session;
    PageComposer &composer = *s.composer;
    IImgPicture *loader = s.loader();
    // In device pixels, as on a screen of `scale` device pixels to a pixel.
    const QSize device = scale == 1.0 ? QSize(sw, sh) : QSize(int(std::nearbyint(sw * scale)), int(std::nearbyint(sh * scale)));
    QImage surface(device, QImage::Format_RGB32);
    QImage Img_Tmp;
    const PageTarget target{[&surface]() -> QImage & { return surface; }, {}, {}, loader, &Img_Tmp, s.bookMove.get(),
                            scale};
    // The window draws the first step of every volume it loads; the turn below
    // starts from that picture, as a turn in the window does.
    QObject::connect(&session, &ReadingSession::volumeLoadFinished, [&] {
        if (session.pageCount() > 0)
            composer.draw(target, (composer.prepare(session.step()), session.step()), 0, session.turn());
    });
    s.open(path);
    if (volume < 0 || volume >= session.volumeCount()) {
        err(QStringLiteral("there is no volume %1").arg(volume));
        return 2;
    }
    if (session.volumeIndex() != volume)
        session.selectVolume(volume);
    auto flag = [&](const char *f) { return args.flags.contains(QString::fromLatin1(f)); };
    const auto set = [&](ReadingSession::Option o, bool on) {
        // An option the window shows redraws its step (the two-page switch from an
        // empty background), as the window does.
        if (!session.setOption(o, on) || o == ReadingSession::BookEffect || session.pageCount() == 0)
            return;
        if (o == ReadingSession::TwoPage)
            Img_Tmp = QImage();
        composer.prepare(session.step());
        composer.draw(target, session.step(), 0, session.turn());
    };
    set(ReadingSession::BookEffect, flag("--effect"));
    set(ReadingSession::Hundred, flag("--hundred"));
    set(ReadingSession::Sharpen, flag("--sharpen"));
    set(ReadingSession::TwoPage, flag("--two-page"));
    set(ReadingSession::RightToLeft, flag("--rtl"));
    set(ReadingSession::WideAlone, flag("--wide-alone"));
    set(ReadingSession::CoverAlone, flag("--cover-alone"));
    if (page >= session.stepCount()) {
        err(QStringLiteral("there is no page %1 in volume %2").arg(page).arg(volume));
        return 2;
    }
    if (!view.plain()) {
        // As the window draws a change of the view: its place at once, no turn.
        session.setView(view);
        composer.prepare(session.step());
        composer.draw(target, session.step(), 0, session.turn());
    }
    session.goToStep(page, TurnDirection::RightOver, false);
    if (scroll > 0) {
        // The strip is scrolled from the top of the volume: the draw above laid it out.
        composer.prepare(session.step());
        composer.draw(target, session.step(), 0, session.turn());
        session.scrollTo(scroll);
    }
    composer.prepare(session.step());
    composer.draw(target, session.step(), scroll > 0 ? 0 : session.effectFlag(), session.turn());
    // A check tool's picture: quick to write matters more than small; this quality
    // is zlib's fastest level.
    if (!surface.save(outFile, "PNG", 80)) {
        err(QStringLiteral("cannot write ") + outFile);
        return 1;
    }
    // The surface is written either way; the status tells whether it shows the page.
    // Whether a page was drawn is the draw's own answer: a page is decoded once.
    const PageStep shown = session.currentStep();
    int status = 0;
    for (int k = shown.first; k <= shown.last(); ++k) {
        const QString file = session.Page_Path(k);
        const QString name = printable(session.pageName(k));
        if (!QFileInfo(file).isFile()) {
            err(QStringLiteral("page %1 (%2) is missing").arg(k).arg(name));
            status = 1;
        } else if (!loader || composer.noticeShown(k)) {
            err(QStringLiteral("page %1 (%2) cannot be drawn").arg(k).arg(name));
            status = 1;
        }
    }
    return status;
}
