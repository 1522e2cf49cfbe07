#pragma once
#include "TestImages.h"
#include "ViewerFixture.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QCheckBox>

#include <QDir>
#include <QTest>
#include <map>
#include <vector>

// A main window whose command windows are counters, with helpers for the
// skin paths of the built program folder.
class ViewsFixture : public ViewerFixture
{
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        w->openFullScreen = [this] { seen("fullscreen"); };
        w->openIndex = [this] { seen("index"); };
        w->exportPage = [this] { seen("export"); };
        w->chooseExportFolder = [this] { seen("folder"); };
        w->showInfo = [this] { seen("info"); };
        w->runOpenChooser = [this] {
            seen("open");
            return false;
        };
    }

    // Records a command and the image its button showed while it ran.
    void seen(const char *command)
    {
        calls.push_back(QString::fromLatin1(command));
        static const std::map<QString, const char *> buttonOf = {
            {"fullscreen", "cmdfullscreen"}, {"index", "cmdIndex"}, {"export", "cmdfile"},
            {"folder", "cmdFolder"},         {"info", "img_Info"},  {"open", "cmdopen"}};
        if (auto *b = w->findChild<SkinButton *>(QString::fromLatin1(buttonOf.at(QString::fromLatin1(command)))))
            imageDuring = b->imageFile();
    }

    static QString skin(const QString &relative) { return QStringLiteral(LEAFVIEW_BUILD_BIN "/skin/") + relative; }

    // A folder of n small pages.
    QString pagesFolder(const QString &name, int n)
    {
        const QString root = makeFolder(name);
        for (int i = 1; i <= n; ++i)
            TestImages::write(root + QStringLiteral("/p%1.png").arg(i), 30, 40, QColor(40 * i % 255, 90, 160));
        return root;
    }

    // Start-up, then a book of n pages opened as the open command does.
    void startWithPages(int n)
    {
        startUp();
        w->chkeffect->setChecked(false);
        openFolder(pagesFolder(QStringLiteral("book"), n));
    }

    void showAt(int width, int height)
    {
        w->show();
        w->resize(width, height);
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->size() == QSize(width, height); }, 2000));
    }

    std::vector<QString> calls;
    QString imageDuring;
};
