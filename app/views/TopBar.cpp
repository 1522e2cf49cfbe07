#include "views/TopBar.h"

#include "platform/KeyCodes.h"
#include "platform/SkinButton.h"
#include "views/Frm_ImgViewer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

void TopBar::build(Frm_ImgViewer &w)
{
    w.PicTop = new QWidget(&w);
    w.PicTop->setObjectName(QStringLiteral("PicTop"));
    w.PicTop->setAutoFillBackground(true);

    auto makeButton = [&w](const char *name) {
        auto *b = new SkinButton(w.PicTop);
        b->setObjectName(QString::fromLatin1(name));
        b->resize(40, 40);
        return b;
    };
    w.cmdopen = makeButton("cmdopen");
    w.cmdfirst = makeButton("cmdfirst");
    w.cmdprev = makeButton("cmdprev");
    w.cmdnext = makeButton("cmdnext");
    w.cmdlast = makeButton("cmdlast");
    w.cmdfile = makeButton("cmdfile");
    w.cmdFolder = makeButton("cmdFolder");
    w.cmdfullscreen = makeButton("cmdfullscreen");
    w.cmdIndex = makeButton("cmdIndex");
    w.img_Info = makeButton("img_Info");
    w.img_Tip = makeButton("img_Tip");

    w.txtpage = new QLineEdit(w.PicTop);
    w.txtpage->setObjectName(QStringLiteral("txtpage"));
    w.txtpage->setAlignment(Qt::AlignRight);
    w.lblpage = new QLabel(QStringLiteral("/0"), w.PicTop);
    w.lblpage->setObjectName(QStringLiteral("lblpage"));
    w.cb_list = new QComboBox(w.PicTop);
    w.cb_list->setObjectName(QStringLiteral("cb_list"));
    w.cb_list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w.cb_list->setMinimumContentsLength(16);

    w.PicOption = new QWidget(w.PicTop);
    w.PicOption->setObjectName(QStringLiteral("PicOption"));
    auto makeCheck = [&w](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, w.PicOption);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    // The captions follow the language (Lang_Load).
    w.chk_view = makeCheck("chk_view", QString());
    w.chk_japan = makeCheck("chk_japan", QString());
    w.Chk_hundred = makeCheck("Chk_hundred", QStringLiteral("100%"));
    w.Chk_Sharpen = makeCheck("Chk_Sharpen", QString());
    w.chkeffect = makeCheck("chkeffect", QString());
    // The book effect is on when the window is created; the other options are off.
    w.chkeffect->setChecked(true);

    w.Picbanner = new QWidget(w.PicTop);
    w.Picbanner->setObjectName(QStringLiteral("Picbanner"));
    w.Picbanner->setGeometry(767, 1, 160, 36);

    ReadingSession &session = w.session;
    QObject::connect(w.cb_list, qOverload<int>(&QComboBox::activated), &w, [&w](int i) {
        // The list gives up the focus, so its arrow keys never switch volumes.
        w.PicTop->setFocus();
        w.session.selectVolume(i);
    });
    for (auto o : {ReadingSession::TwoPage, ReadingSession::RightToLeft, ReadingSession::Hundred,
                   ReadingSession::Sharpen, ReadingSession::BookEffect})
        QObject::connect(optionBox(w, o), &QCheckBox::toggled, &w, [&session, o](bool on) { session.setOption(o, on); });
    QObject::connect(w.cmdfirst, &SkinButton::leftPressed, &w, &Frm_ImgViewer::cmdfirst_MouseDown);
    QObject::connect(w.cmdprev, &SkinButton::leftPressed, &w, &Frm_ImgViewer::cmdprev_MouseDown);
    QObject::connect(w.cmdnext, &SkinButton::leftPressed, &w, &Frm_ImgViewer::cmdnext_MouseDown);
    QObject::connect(w.cmdlast, &SkinButton::leftPressed, &w, &Frm_ImgViewer::cmdlast_MouseDown);
    QObject::connect(w.txtpage, &QLineEdit::returnPressed, &w, [&w] { w.txtpage_KeyUp(KeyCodes::Enter); });
}

void TopBar::followSession(Frm_ImgViewer &w)
{
    ReadingSession &session = w.session;
    QObject::connect(&session, &ReadingSession::optionChanged, &w,
                     [&w](ReadingSession::Option o, bool on) { showOption(w, o, on); });
    QObject::connect(&session, &ReadingSession::volumesChanged, &w, [&w] { fillVolumeList(w); });
    QObject::connect(&session, &ReadingSession::volumeTextChanged, &w,
                     [&w](int i) { w.cb_list->setItemText(i, w.session.volumeLabel(i)); });
}

QCheckBox *TopBar::optionBox(const Frm_ImgViewer &w, ReadingSession::Option o)
{
    switch (o) {
    case ReadingSession::TwoPage:
        return w.chk_view;
    case ReadingSession::RightToLeft:
        return w.chk_japan;
    case ReadingSession::Hundred:
        return w.Chk_hundred;
    case ReadingSession::Sharpen:
        return w.Chk_Sharpen;
    case ReadingSession::BookEffect:
        return w.chkeffect;
    default:
        // The spread options are on the page's menu, not on the bar.
        return nullptr;
    }
}

void TopBar::fillVolumeList(Frm_ImgViewer &w)
{
    const QSignalBlocker quiet(w.cb_list);
    QStringList shown, labels;
    for (int i = 0; i < w.cb_list->count(); ++i)
        shown << w.cb_list->itemText(i);
    for (int i = 0; i < w.session.volumeCount(); ++i)
        labels << w.session.volumeLabel(i);
    if (shown != labels) {
        w.cb_list->clear();
        w.cb_list->addItems(labels);
    }
    w.cb_list->setCurrentIndex(w.session.volumeIndex());
}

void TopBar::showPageNumber(Frm_ImgViewer &w)
{
    if (w.session.List1().isEmpty()) {
        w.txtpage->clear();
        w.lblpage->setText(QStringLiteral("/0"));
        return;
    }
    w.txtpage->setText(w.session.pageBoxText());
    w.lblpage->setText(QLatin1Char('/') + QString::number(w.session.stepCount()));
}

void TopBar::showOption(Frm_ImgViewer &w, ReadingSession::Option o, bool on)
{
    QCheckBox *box = optionBox(w, o);
    if (!box)
        return;
    if (box->isChecked() != on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    switch (o) {
    case ReadingSession::TwoPage:
        w.chk_view_Click();
        break;
    case ReadingSession::RightToLeft:
        w.chk_japan_Click();
        break;
    case ReadingSession::Hundred:
        w.Chk_hundred_Click();
        break;
    case ReadingSession::Sharpen:
        w.Chk_Sharpen_Click();
        break;
    default:
        // Read by the next step; nothing to redraw.
        break;
    }
}

void TopBar::stepButton(Frm_ImgViewer &w, SkinButton *b, const QString &stem, StepPress press,
                        const std::function<void()> &step)
{
    b->setImageFile(w.skinPath(stem + QStringLiteral("_down.bmp"), false));
    if (press != StepPress::Plain)
        QCoreApplication::processEvents();
    step();
    if (press == StepPress::PaintedAndHeld && w.session.pageCount() < 2) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 50)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    b->setImageFile(w.skinPath(stem + QStringLiteral(".bmp"), false));
}
