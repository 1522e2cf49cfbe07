// The thumbnail index pane on the main window, with the real PhotoGrip control.
#include "TestImages.h"
#include "ViewerFixture.h"
#include "ZipWriter.h"
#include "core/IndexGeometry.h"
#include "core/DecodeQueue.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"
#include "views/IndexGrid.h"
#include "views/IndexPane.h"

#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>

namespace {

using namespace IndexGeometry;

struct Page
{
    int w, h;
    QColor colour;
};

class Index : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        startUp();
        w->chkeffect->setChecked(false);
        w->show();
        w->resize(1024, 768);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->size() == QSize(1024, 768); }, 2000));
        pane = w->Pic_IndexScreen;
    }
    QString book(const QString &name, const std::vector<Page> &pages)
    {
        const QString root = makeFolder(name);
        for (size_t i = 0; i < pages.size(); ++i)
            TestImages::write(root + QStringLiteral("/p%1.png").arg(i + 1, 2, 10, QLatin1Char('0')), pages[i].w,
                              pages[i].h, pages[i].colour);
        return root;
    }
    // Opens the index and waits until every thumbnail stands.
    void openIndex()
    {
        QSignalSpy built(pane, &IndexPane::built);
        w->cmdIndex->press(Qt::LeftButton);
        w->cmdIndex->release(Qt::LeftButton);
        ASSERT_TRUE(built.wait(10000));
    }
    // The rectangle of non-black pixels of a cell picture.
    static QRect painted(const QImage &cell)
    {
        QRect r;
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x)
                if ((cell.pixel(x, y) & 0xffffff) != 0)
                    r |= QRect(x, y, 1, 1);
        return r;
    }
    QRgb surfaceCentre() { return w->PicDraw->surface().pixel(w->PicDraw->width() / 2, w->PicDraw->height() / 2); }

    IndexPane *pane = nullptr;
};

TEST_F(Index, OpensOnTheRightWithEachPageInItsCell)
{
    openFolder(book(QStringLiteral("b"), {{60, 40, Qt::red}, {800, 1200, Qt::green}, {400, 300, Qt::blue}}));
    openIndex();
    EXPECT_TRUE(app->IsIndexShow);
    EXPECT_EQ(pane->geometry(), QRect(1024 - 221, 40, 221, 768 - 40));
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, 1024 - 221, 768 - 40));
    ASSERT_EQ(pane->thumbnailCount(), 3);
    // Each thumbnail at its size, centred in its box, in its page's colour.
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    const QRect expected[] = {{14, 16, 60, 40}, {20, 0, 47, 71}, {24, 20, 40, 30}};
    for (int i = 0; i < 3; ++i) {
        const QImage cell = pane->thumbnail(i);
        EXPECT_EQ(painted(cell), expected[i]) << i;
        EXPECT_EQ(cell.pixelColor(expected[i].center()), colours[i]) << i;
    }
    EXPECT_EQ(pane->captionText(0), QStringLiteral("p01.png"));
    EXPECT_FALSE(pane->V_Index->isEnabled());
    EXPECT_EQ(pane->V_Index->value(), 0);
    EXPECT_TRUE(pane->PicBookIndex->isVisible());
    EXPECT_FALSE(pane->PicInfo->isVisible());
    EXPECT_FALSE(pane->cmdunload->toolTip().isEmpty());
}

TEST_F(Index, ClickShowsThePageOrItsSpread)
{
    openFolder(book(QStringLiteral("b"), {{40, 40, Qt::red}, {40, 40, Qt::green}, {40, 40, Qt::blue},
                                          {40, 40, Qt::yellow}}));
    openIndex();
    QTest::mouseClick(pane->PicBookIn, Qt::LeftButton, {}, thumbRect(1).center());
    EXPECT_EQ(w->session.step(), 1);
    EXPECT_EQ(pane->PicBookIn->highlight(), 1);
    EXPECT_EQ(QColor(surfaceCentre()), QColor(Qt::green));

    w->chk_view->setChecked(true);
    QTest::mouseClick(pane->PicBookIn, Qt::LeftButton, {}, thumbRect(3).center());
    EXPECT_EQ(w->session.step(), 1); // the spread of pages 3 and 4
    EXPECT_TRUE(app->IsIndexShow);
}

TEST_F(Index, CloseRemovesItAndReopeningBuildsAgainAtThePageBeingRead)
{
    openFolder(TestImages::writePages(makeFolder(QStringLiteral("b")), 30, 30, 40));
    openIndex();
    // 15 rows are taller than the viewport: the bar scrolls by rows and drags the grid along.
    EXPECT_TRUE(pane->V_Index->isEnabled());
    EXPECT_EQ(pane->V_Index->singleStep(), 95);
    EXPECT_EQ(pane->V_Index->maximum(), contentHeight(30) - pane->PicBookIndex->height());
    pane->V_Index->setSliderDown(true);
    pane->V_Index->setSliderPosition(190);
    EXPECT_EQ(pane->PicBookIn->y(), -190);
    pane->V_Index->setSliderDown(false);

    pane->cmdunload->press(Qt::LeftButton);
    EXPECT_FALSE(app->IsIndexShow);
    EXPECT_FALSE(pane->isVisible());
    EXPECT_EQ(pane->thumbnailCount(), 0);
    EXPECT_EQ(w->PicDraw->geometry(), QRect(0, 40, 1024, 768 - 40));

    openIndex();
    EXPECT_EQ(pane->thumbnailCount(), 30);
    EXPECT_EQ(pane->PicBookIn->y(), 0);
    EXPECT_EQ(pane->V_Index->value(), 0);
    EXPECT_EQ(pane->PicBookIn->highlight(), 0);

    // Far down the book, in one-page and two-page view: that page's cell (the
    // spread's first) is marked and scrolled into the middle of the viewport.
    for (const auto &[twoPage, index, cell] : {std::tuple(false, 19, 19), std::tuple(true, 8, 16)}) {
        pane->cmdunload->press(Qt::LeftButton);
        w->chk_view->setChecked(twoPage);
        w->session.goToStep(index, TurnDirection::RightOver, false);
        openIndex();
        EXPECT_EQ(pane->PicBookIn->highlight(), cell) << twoPage;
        const QRect shown = highlightRect(cell).translated(0, pane->PicBookIn->y());
        EXPECT_TRUE(QRect(QPoint(0, 0), pane->PicBookIndex->size()).contains(shown)) << twoPage;
        EXPECT_LE(std::abs(shown.center().y() - pane->PicBookIndex->height() / 2), 1) << twoPage;
        EXPECT_EQ(pane->V_Index->value(), -pane->PicBookIn->y());
    }
}

TEST_F(Index, AVolumeChangeCancelsTheBuildAndBuildsTheNewVolume)
{
    const QString root = makeFolder(QStringLiteral("set"));
    TestImages::writePages(root + QStringLiteral("/a"), 40, 30, 40);
    TestImages::writePages(root + QStringLiteral("/b"), 41, 30, 40);
    openFolder(root);
    ASSERT_EQ(w->volumeText(0), QStringLiteral("a/"));
    QSignalSpy built(pane, &IndexPane::built);
    w->cmdIndex->press(Qt::LeftButton);
    w->Tmr_Index.timer.stop();
    pane->Tmr_Index_Timer(); // the build of volume a starts ...
    ASSERT_TRUE(pane->building());
    w->selectVolume(1);      // ... and the switch to b stops it
    EXPECT_FALSE(pane->building());
    EXPECT_EQ(pane->thumbnailCount(), 0);
    EXPECT_TRUE(w->Tmr_Index.timer.isActive());
    ASSERT_TRUE(built.wait(10000));
    EXPECT_EQ(built.count(), 1);
    ASSERT_EQ(pane->thumbnailCount(), 41);
    EXPECT_EQ(pane->thumbnail(40).pixelColor(44, 35), TestImages::pageColour(41));
}

TEST_F(Index, F9TogglesAndAnEmptyListDoesNotOpen)
{
    QShortcut *f9 = nullptr;
    for (QShortcut *s : w->findChildren<QShortcut *>())
        if (s->key() == QKeySequence(Qt::Key_F9))
            f9 = s;
    ASSERT_NE(f9, nullptr);
    emit f9->activated();
    EXPECT_FALSE(app->IsIndexShow); // no pages yet

    openFolder(book(QStringLiteral("b"), {{40, 40, Qt::red}}));
    QSignalSpy built(pane, &IndexPane::built);
    emit f9->activated();
    EXPECT_TRUE(app->IsIndexShow);
    ASSERT_TRUE(built.wait(10000));
    emit f9->activated();
    EXPECT_FALSE(app->IsIndexShow);
}

TEST_F(Index, BadPagesGiveEmptyCellsAndZipPagesAreExtractedOnce)
{
    // A page that is not an image between two that are.
    const QByteArray image = TestImages::encoded(40, 40, Qt::red);
    const QString zip = makeZip(books.path() + QStringLiteral("/book.zip"),
                                {{QStringLiteral("a.png"), image},
                                 {QStringLiteral("b.png"), QByteArray(40000, 'x')},
                                 {QStringLiteral("c.png"), image}});
    app->IsArchive = true;
    app->ArchiveKind = ArchiveKind::Zip;
    app->OpenPath = zip;
    w->Open_Source();
    ASSERT_EQ(w->session.pageCount(), 3);
    // Page a was drawn (so extracted); the index finds it in TmpZip and does not
    // take it out again: a changed copy there is what its thumbnail shows.
    const QString drawn = w->session.Page_Path(0);
    ASSERT_TRUE(QFile::exists(drawn));
    ASSERT_TRUE(TestImages::write(drawn, 40, 40, Qt::magenta));
    openIndex();
    ASSERT_EQ(pane->thumbnailCount(), 3);
    EXPECT_EQ(pane->thumbnail(0).pixelColor(44, 35), QColor(Qt::magenta));
    EXPECT_EQ(painted(pane->thumbnail(1)), QRect()); // black, not a crash
    EXPECT_FALSE(pane->thumbnail(1).isNull());
    EXPECT_EQ(pane->captionText(1), QStringLiteral("b.png"));

    EXPECT_TRUE(DecodeQueue::thumbnailCell(data.path() + QStringLiteral("/none.png")).isNull());
}

} // namespace
