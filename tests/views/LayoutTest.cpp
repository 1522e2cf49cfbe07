#include "ViewsFixture.h"
#include "platform/Canvas.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

// Centres of rectangles placed by integer halving may differ by one pixel.
::testing::AssertionResult centredOn(const QRect &inner, const QRect &outer)
{
    const QPoint d = inner.center() - outer.center();
    if (qAbs(d.x()) <= 1 && qAbs(d.y()) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "off centre by " << d.x() << ", " << d.y();
}

class Layout : public ViewsFixture
{
protected:
    // The built skin with bg_Top.bmp replaced by a picture whose red rises by
    // one step every four columns and whose green follows the row, so every
    // pixel of the bar tells which source column and row it came from.
    void useStripedBarSkin()
    {
        ASSERT_TRUE(program.isValid());
        const QString from = QStringLiteral(LEAFVIEW_BUILD_BIN "/skin");
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            const QString to = program.path() + QStringLiteral("/skin/") + QDir(from).relativeFilePath(f);
            QDir().mkpath(QFileInfo(to).path());
            ASSERT_TRUE(QFile::copy(f, to));
        }
        QImage bar(1024, 40, QImage::Format_RGB32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 1024; ++x)
                bar.setPixel(x, y, qRgb(x / 4, 100 + y, 50));
        const QString file = program.path() + QStringLiteral("/skin/bg_Top.bmp");
        QFile::remove(file);
        ASSERT_TRUE(bar.save(file, "BMP"));
        app->paths.programFolder = program.path();
    }

    // The bar's own picture as it paints it, without the controls on it.
    QImage barPicture()
    {
        QImage img(w->PicTop->size(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        w->PicTop->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return img;
    }

    QTemporaryDir program;
};

TEST_F(Layout, SmallWindowsSnapToTheSmallestSize)
{
    startUp();
    showAt(1024, 700);
    // The rule is about the outer size, frame included.
    const QSize frame = w->frameGeometry().size() - w->size();
    auto outer = [&] { return w->frameGeometry().size(); };
    w->resize(QSize(500, 300) - frame);
    EXPECT_TRUE(QTest::qWaitFor([&] { return outer() == QSize(600, 400); }, 2000)) << outer().width() << "x" << outer().height();
    w->resize(QSize(900, 380) - frame);
    EXPECT_TRUE(QTest::qWaitFor([&] { return outer() == QSize(900, 400); }, 2000)) << outer().width() << "x" << outer().height();
    w->resize(QSize(601, 401) - frame);
    EXPECT_TRUE(QTest::qWaitFor([&] { return outer() == QSize(601, 401); }, 2000)) << outer().width() << "x" << outer().height();
    // The panes follow the final size.
    EXPECT_EQ(w->PicTop->width(), w->width());
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, w->width(), w->height() - 40));
}

TEST_F(Layout, WideBarStretchesItsImageFromColumn1020ToTheRightEdge)
{
    useStripedBarSkin();
    startUp();
    showAt(1280, 800);
    const QImage bar = barPicture();
    ASSERT_EQ(bar.width(), 1280);
    for (int y : {0, 17, 39}) {
        auto red = [&](int x) { return qRed(bar.pixel(x, y)); };
        int lastRed = -1;
        for (int x = 0; x < 1280; ++x) {
            ASSERT_EQ(qGreen(bar.pixel(x, y)), 100 + y) << "x " << x << " y " << y;
            if (x < 1020) {
                ASSERT_EQ(red(x), x / 4) << "x " << x;
                continue;
            }
            // 1024 source columns over 260 pixels: each pixel stands about four
            // source columns (one red step) further on, never going back.
            const int expected = (x - 1020) * 1024 / 260 / 4;
            ASSERT_NEAR(red(x), expected, 1) << "x " << x;
            ASSERT_GE(red(x), lastRed) << "x " << x;
            lastRed = red(x);
        }
        // The stretch starts over the natural image's last columns and ends at the edge.
        EXPECT_EQ(red(1019), 254);
        EXPECT_EQ(red(1020), 0);
        EXPECT_EQ(red(1279), 255);
    }

    // At 1024 pixels or less the bar shows its image as it is.
    w->resize(1000, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->PicTop->width() == 1000; }, 2000));
    const QImage narrow = barPicture();
    for (int x = 0; x < 1000; ++x)
        ASSERT_EQ(qRed(narrow.pixel(x, 30)), x / 4) << "x " << x;
}

TEST_F(Layout, PanesWithTheIndexOpenAndClosed)
{
    startWithPages(2);
    showAt(1280, 800);
    w->Pic_IndexScreen->resize(240, 10);
    app->IsIndexShow = true;
    w->Pic_IndexScreen->show();
    w->Form_Resize();
    EXPECT_EQ(w->PicTop->geometry(), QRect(0, 0, 1280, 40));
    EXPECT_EQ(w->Pic_IndexScreen->geometry(), QRect(1040, 40, 240, 760));
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, 1040, 760));
    EXPECT_EQ(w->PicTipOut->geometry(), w->PicDraw->geometry());
    EXPECT_TRUE(centredOn(w->lblnoimage->geometry(), w->PicDraw->geometry()));
    EXPECT_TRUE(centredOn(w->PicBox->geometry(), QRect(0, 0, 1280, 800)));

    app->IsIndexShow = false;
    w->Pic_IndexScreen->hide();
    w->Form_Resize();
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, 1280, 760));
    EXPECT_EQ(w->PicTipOut->geometry(), w->PicDraw->geometry());
    EXPECT_TRUE(centredOn(w->lblnoimage->geometry(), w->PicDraw->geometry()));
}

TEST_F(Layout, BarControlsStayClearOfEachOtherAndOfTheBanner)
{
    startWithPages(2);
    showAt(1280, 800);
    EXPECT_EQ(w->Picbanner->geometry(), QRect(767, 1, 160, 36));
    std::vector<QWidget *> parts = {w->cmdopen, w->cmdfirst, w->cmdprev, w->cmdnext, w->cmdlast, w->txtpage,
                                    w->lblpage, w->cb_list,  w->PicOption, w->cmdfile, w->cmdFolder,
                                    w->cmdfullscreen, w->cmdIndex, w->img_Tip, w->img_Info, w->Picbanner};
    for (size_t i = 0; i < parts.size(); ++i) {
        const QRect r = parts[i]->geometry();
        EXPECT_TRUE(QRect(0, 0, 1280, 40).contains(r)) << parts[i]->objectName().toStdString();
        for (size_t j = i + 1; j < parts.size(); ++j)
            EXPECT_FALSE(r.intersects(parts[j]->geometry()))
                << parts[i]->objectName().toStdString() << " / " << parts[j]->objectName().toStdString();
    }
    // The information button ends at the bar's right end.
    EXPECT_EQ(w->img_Info->geometry().right(), 1279);
    EXPECT_EQ(w->img_Tip->geometry().right() + 1, w->img_Info->x());
}

TEST_F(Layout, NoRedrawBeforeTheStartUpTimersFirstTick)
{
    ASSERT_TRUE(w->Form_Load(QString()));
    w->Tmr_Load.timer.stop();
    w->chkeffect->setChecked(false);
    openFolder(pagesFolder(QStringLiteral("b"), 3));
    ASSERT_EQ(w->txtpage->text(), QStringLiteral("1"));
    ASSERT_FALSE(w->Img_Tmp.isNull());

    // Page_Draw writes the page box; an emptied box shows whether it ran.
    w->txtpage->clear();
    w->resize(900, 600);
    w->Form_Resize();
    EXPECT_TRUE(w->txtpage->text().isEmpty());
    EXPECT_TRUE(w->Img_Tmp.isNull());

    w->Tmr_Load_Timer();
    ASSERT_EQ(w->Tmr_Load.Tag, QStringLiteral("exe"));
    w->resize(950, 600);
    w->Form_Resize();
    EXPECT_EQ(w->txtpage->text(), QStringLiteral("1"));
}

// ---- wait panel

struct ProgressCase
{
    qint32 percent, total;
    int barWidth; // (300 - 4) / total * percent, rounded
};

class Progress : public ViewsFixture, public ::testing::WithParamInterface<ProgressCase>
{
};

TEST_P(Progress, BarWidthIsTheTrackShareOfTheUnitsDone)
{
    ASSERT_EQ(w->Shback->width(), 300);
    const ProgressCase c = GetParam();
    w->ZipFile_Progress(c.percent, c.total, QStringLiteral("이미지 불러오기"));
    EXPECT_EQ(w->Shbar->width(), c.barWidth);
    EXPECT_EQ(w->lbl_filemsg->text(), QStringLiteral("이미지 불러오기"));
}

INSTANTIATE_TEST_SUITE_P(Counts, Progress,
                         ::testing::Values(ProgressCase{0, 5, 0}, ProgressCase{1, 4, 74}, ProgressCase{3, 4, 222},
                                           ProgressCase{4, 4, 296}, ProgressCase{1, 3, 99},
                                           ProgressCase{2, 3, 197}, ProgressCase{1, 1000, 0},
                                           ProgressCase{7, 1000, 2},
                                           // more than the total never leaves the track
                                           ProgressCase{9, 4, 296}));

} // namespace
