#include "dialogs/Frm_Info.h"

#include "platform/ProgramPaths.h"
#include "platform/SkinButton.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBrowser>

namespace {
// Where the page and the button sit on the background picture.
const QRect kPageRect(14, 14, 322, 164);
constexpr int kButtonTop = 190;
// The window's face where the picture is missing or does not reach (a window
// system may give the window more room than it asks for): the colour of the
// picture's lower edge.
const QColor kFace(0xe4, 0xe8, 0xec);
} // namespace

Frm_Info::Frm_Info(const ProgramPaths &paths, QWidget *parent, const QString &closeTip, const PageKeys::KeyMap &keys)
    : QDialog(parent), m_skin(paths.skinFolder()), m_page(paths.programFolder + QStringLiteral("/program_info.htm")),
      m_keys(keys)
{
    setModal(true);
    setWindowTitle(QString());
    setFixedSize(kWidth, kHeight);
    m_background.load(m_skin + QStringLiteral("bg_info.bmp"));

    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setGeometry(kPageRect);
    WebBrowser1->setFrameShape(QFrame::NoFrame);
    WebBrowser1->setOpenExternalLinks(true);
    // The page is written for a light well: a dark desktop theme must not turn it
    // (or, without the page, the empty well) black.
    QPalette page = WebBrowser1->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, QColor(0x2b, 0x33, 0x3d));
    WebBrowser1->setPalette(page);

    cmd_close = new SkinButton(this);
    cmd_close->setObjectName(QStringLiteral("cmd_close"));
    cmd_close->setToolTip(closeTip);
    connect(cmd_close, &SkinButton::leftPressed, this, &Frm_Info::cmd_close_MouseDown);
    connect(cmd_close, &SkinButton::leftReleased, this, &Frm_Info::cmd_close_MouseUp);

    Form_Load();
}

void Frm_Info::Form_Load()
{
    // The button images are the same in both languages.
    cmd_close->resize(80, 30);
    cmd_close->setImageFile(m_skin + QStringLiteral("b_ok.bmp"));
    cmd_close->move((kWidth - cmd_close->width()) / 2, kButtonTop);
    // A missing page leaves the browser empty; the window still opens and closes.
    QFile page(m_page);
    if (!page.open(QIODevice::ReadOnly))
        return;
    // Relative links and pictures of the page resolve beside it.
    WebBrowser1->document()->setBaseUrl(QUrl::fromLocalFile(m_page));
    WebBrowser1->setHtml(withKeys(QString::fromUtf8(page.readAll()), m_keys));
}

QString Frm_Info::withKeys(QString html, const PageKeys::KeyMap &keys)
{
    static const QRegularExpression row(QStringLiteral(R"re((<tr id="key-(\w+)"><td class="k">)[^<]*(</td>))re"));
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = row.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const PageKeys::Action action = PageKeys::actionNamed(m.captured(2));
        out += QStringView(html).mid(from, m.capturedStart(0) - from);
        out += action == PageKeys::Action::None
                   ? m.captured(0)
                   : m.captured(1) + keys.shownKeys(action).toHtmlEscaped() + m.captured(3);
        from = m.capturedEnd(0);
    }
    return out + html.mid(from);
}

void Frm_Info::cmd_close_MouseDown()
{
    cmd_close->setImageFile(m_skin + QStringLiteral("b_ok_down.bmp"));
}

void Frm_Info::cmd_close_MouseUp()
{
    cmd_close->setImageFile(m_skin + QStringLiteral("b_ok.bmp"));
    accept();
}

void Frm_Info::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void Frm_Info::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kFace);
    if (!m_background.isNull())
        p.drawPixmap(0, 0, m_background);
}
