#include "WheelMouse.h"
#include "platform/ControlHost.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A page surface recording the wheel deltas it handles itself.
struct Surface : QWidget
{
    QList<int> got;
    void wheelEvent(QWheelEvent *e) override { got << e->angleDelta().y(); }
};

// Buttons and keys are held: they must not disturb the delta.
void wheel(QWidget *w, int dy)
{
    QWheelEvent ev(QPointF(5, 5), QPointF(10, 20), QPoint(), QPoint(0, dy), Qt::LeftButton | Qt::RightButton,
                   Qt::ShiftModifier | Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}

// A control attached to its own surface, with the deltas it raised.
struct Rig
{
    Surface surface;
    WheelMouse control;
    QList<int> raised;
    Rig()
    {
        control.SetHwnd(&surface);
        QObject::connect(&control, &WheelMouse::WheelChanged, [this](int d) { raised << d; });
    }
};

} // namespace

TEST(WheelMouse, RaisesTheDeltaLeavesTheEventToTheSurfaceAndFollowsSetHwnd)
{
    Rig a, b;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier); // other events raise nothing
    QApplication::sendEvent(&a.surface, &key);
    wheel(&a.surface, 120);
    wheel(&b.surface, -120);
    EXPECT_EQ(a.raised, QList<int>({120}));
    EXPECT_EQ(b.raised, QList<int>({-120}));

    Surface other;
    a.control.SetHwnd(&other);
    wheel(&a.surface, 30);
    wheel(&other, -30);
    EXPECT_EQ(a.raised, QList<int>({120, -30}));
    EXPECT_EQ(a.surface.got, QList<int>({120, 30}));
    {
        Surface gone;
        a.control.SetHwnd(&gone);
    }
    EXPECT_EQ(a.control.attachedWidget(), nullptr); // a destroyed widget detaches the control
}

TEST(WheelMouse, LoadsAsPluginByProgramIdentifier)
{
    const QString built = QStringLiteral(LEAFVIEW_BUILD_BIN) + QStringLiteral("/ocx/Ox_ScrollHook.so");
    ASSERT_TRUE(QFile::exists(built)) << built.toStdString();
    ControlHost host;
    QString errorLog;
    ASSERT_TRUE(host.registerLibrary(built, errorLog)) << errorLog.toStdString();
    QWidget window;
    Surface surface;
    QWidget *w = host.createControl(QStringLiteral("ScrollHook.WheelMouse"), &window);
    ASSERT_NE(qobject_cast<IWheelMouse *>(w), nullptr);
    // The program knows only the interface, so it connects by signature.
    QSignalSpy spy(w, SIGNAL(WheelChanged(int)));
    qobject_cast<IWheelMouse *>(w)->SetHwnd(&surface);
    wheel(&surface, -120);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), -120);
    w->resize(200, 100);
    EXPECT_EQ(w->size(), QSize(43, 41));
}
