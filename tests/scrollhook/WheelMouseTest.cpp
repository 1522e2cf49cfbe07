#include "WheelMouse.h"
#include "platform/ControlHost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A page surface that counts the wheel events it handles itself.
class CountingSurface : public QWidget
{
public:
    int wheels = 0;
    int lastDelta = 0;

protected:
    void wheelEvent(QWheelEvent *e) override
    {
        ++wheels;
        lastDelta = e->angleDelta().y();
        e->accept();
    }
};

void sendWheel(QWidget *w, int deltaY, Qt::MouseButtons buttons = Qt::NoButton,
               Qt::KeyboardModifiers mods = Qt::NoModifier, QPointF global = QPointF(10, 20))
{
    QWheelEvent ev(QPointF(5, 5), global, QPoint(), QPoint(0, deltaY), buttons, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &ev);
}

QList<int> deltas(const QSignalSpy &spy)
{
    QList<int> out;
    for (const auto &args : spy)
        out << args.at(0).toInt();
    return out;
}

} // namespace

TEST(WheelMouse, RaisesNothingUntilAttached)
{
    CountingSurface surface;
    WheelMouse control;
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    sendWheel(&surface, 120);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(surface.wheels, 1);
}

class WheelDeltas : public ::testing::TestWithParam<int>
{
};

TEST_P(WheelDeltas, SignalCarriesTheSignedDeltaAndTheSurfaceStillGetsTheEvent)
{
    CountingSurface surface;
    WheelMouse control;
    control.SetHwnd(&surface);
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    // Held buttons and keys must not disturb the delta.
    sendWheel(&surface, GetParam(), Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), GetParam());
    EXPECT_EQ(surface.wheels, 1);
    EXPECT_EQ(surface.lastDelta, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Notches, WheelDeltas, ::testing::Values(120, -120, 30, -30, 240));

TEST(WheelMouse, KeyFlagsAndScreenPositionReachSetDelta)
{
    CountingSurface surface;
    WheelMouse control;
    control.SetHwnd(&surface);
    sendWheel(&surface, 120, Qt::LeftButton | Qt::MiddleButton, Qt::ControlModifier, QPointF(300, 170));
    EXPECT_EQ(control.lastKeys(), WheelMouse::MK_LBUTTON | WheelMouse::MK_MBUTTON | WheelMouse::MK_CONTROL);
    EXPECT_EQ(control.lastPosition(), QPoint(300, 170));
    sendWheel(&surface, -120, Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(control.lastKeys(), WheelMouse::MK_RBUTTON | WheelMouse::MK_SHIFT);
}

TEST(WheelMouse, SetHwndAgainMovesToTheNewWidget)
{
    CountingSurface first, second;
    WheelMouse control;
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    control.SetHwnd(&first);
    control.SetHwnd(&second);
    EXPECT_EQ(control.attachedWidget(), &second);

    sendWheel(&first, 120);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(first.wheels, 1); // the first widget works on as before

    sendWheel(&second, -120);
    EXPECT_EQ(deltas(spy), QList<int>({-120}));
}

TEST(WheelMouse, SetHwndTwiceOnTheSameWidgetReportsOnce)
{
    CountingSurface surface;
    WheelMouse control;
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    control.SetHwnd(&surface);
    control.SetHwnd(&surface);
    sendWheel(&surface, 120);
    EXPECT_EQ(spy.count(), 1);
}

TEST(WheelMouse, NullDetaches)
{
    CountingSurface surface;
    WheelMouse control;
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    control.SetHwnd(&surface);
    control.SetHwnd(nullptr);
    sendWheel(&surface, 120);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(control.attachedWidget(), nullptr);
}

TEST(WheelMouse, TwoControlsOnTwoWidgetsStayApart)
{
    CountingSurface mainSurface, fullSurface;
    WheelMouse mainControl, fullControl;
    mainControl.SetHwnd(&mainSurface);
    fullControl.SetHwnd(&fullSurface);
    QSignalSpy mainSpy(&mainControl, &WheelMouse::WheelChanged);
    QSignalSpy fullSpy(&fullControl, &WheelMouse::WheelChanged);

    sendWheel(&mainSurface, 120);
    sendWheel(&fullSurface, -120);
    sendWheel(&fullSurface, 30);

    EXPECT_EQ(deltas(mainSpy), QList<int>({120}));
    EXPECT_EQ(deltas(fullSpy), QList<int>({-120, 30}));
}

TEST(WheelMouse, OtherEventsRaiseNothingAndReachTheWidget)
{
    class KeySurface : public CountingSurface
    {
    public:
        int keys = 0;

    protected:
        void keyPressEvent(QKeyEvent *) override { ++keys; }
    } surface;
    WheelMouse control;
    control.SetHwnd(&surface);
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);

    QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&surface, &key);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&surface, &press);

    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(surface.keys, 1);
}

TEST(WheelMouse, DestroyedControlLeavesTheWidgetWorking)
{
    CountingSurface surface;
    auto control = std::make_unique<WheelMouse>();
    control->SetHwnd(&surface);
    control.reset();
    sendWheel(&surface, 120); // must neither crash nor reach the dead control
    EXPECT_EQ(surface.wheels, 1);
}

TEST(WheelMouse, DestroyedWidgetDetachesTheControl)
{
    WheelMouse control;
    QSignalSpy spy(&control, &WheelMouse::WheelChanged);
    {
        CountingSurface surface;
        control.SetHwnd(&surface);
    }
    EXPECT_EQ(control.attachedWidget(), nullptr);
    CountingSurface other;
    control.SetHwnd(&other); // detaching from the dead widget must be safe
    sendWheel(&other, -120);
    EXPECT_EQ(deltas(spy), QList<int>({-120}));
}

TEST(WheelMouse, KeepsItsFixedSize)
{
    QWidget host;
    host.resize(300, 200);
    auto *control = new WheelMouse(&host);
    host.show();
    EXPECT_EQ(control->size(), QSize(43, 41));

    control->resize(200, 100);
    EXPECT_EQ(control->size(), QSize(43, 41));

    // Even with the limits lifted, a resize snaps back.
    control->setMinimumSize(0, 0);
    control->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    control->resize(10, 500);
    EXPECT_EQ(control->size(), QSize(43, 41));
}

TEST(WheelMouse, LoadsAsPluginByProgramIdentifier)
{
    const QString built = QStringLiteral(LEAFVIEW_BUILD_BIN) + QStringLiteral("/ocx/Ox_ScrollHook.so");
    ASSERT_TRUE(QFile::exists(built)) << built.toStdString();
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("ocx")));
    const QString linked = program.path() + QStringLiteral("/ocx/Ox_ScrollHook.so");
    ASSERT_TRUE(QFile::link(built, linked));

    ControlHost host;
    QString errorLog;
    ASSERT_TRUE(host.registerLibrary(linked, errorLog)) << errorLog.toStdString();
    EXPECT_TRUE(errorLog.isEmpty());
    ASSERT_TRUE(host.isRegistered(QStringLiteral("ScrollHook.WheelMouse")));

    QWidget window;
    CountingSurface surface;
    QWidget *w = host.createControl(QStringLiteral("ScrollHook.WheelMouse"), &window);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parent(), &window);
    auto *wheel = qobject_cast<IWheelMouse *>(w);
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->asWidget(), w);

    // The program knows only the interface, so it connects by signature.
    QSignalSpy spy(w, SIGNAL(WheelChanged(int)));
    ASSERT_TRUE(spy.isValid());
    wheel->SetHwnd(&surface);
    sendWheel(&surface, -120);
    EXPECT_EQ(deltas(spy), QList<int>({-120}));
    EXPECT_EQ(surface.wheels, 1);
    EXPECT_EQ(w->size(), QSize(43, 41));
}
