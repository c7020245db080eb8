// A drag started with the mouse and carried by the platform's own drag loop (QDrag::exec). The
// offscreen platform has no drag loop, so the drag runs in a second run of this test program on a
// virtual X display, which the first run starts and checks.
#include "view_fixture.h"

#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>

namespace rux {
namespace {

using test::CViewFixture;
using Rows = std::vector<std::string>;

constexpr const char* kChildFlag = "RUX_REAL_DRAG_RUN";

QPoint InWindow(const CRUXView& view, QPoint viewportPos) {
    return view.viewport()->mapTo(view.window(), viewportPos);
}

// Presses inside `from`'s selection at `grab`, moves far enough to start the drag and, once the drag
// loop runs, carries the pointer to `drop` in `to` and lets go there.
void DragWithMouse(CRUXView& from, QPoint grab, CRUXView& to, QPoint drop) {
    QWindow* source = from.window()->windowHandle();
    QWindow* target = to.window()->windowHandle();
    const QPoint press = InWindow(from, grab);
    const QPoint release = InWindow(to, drop);
    bool carried = false;
    QTimer::singleShot(150, [&] {
        QTest::mouseMove(target, release - QPoint(4, 0));
        QTest::qWait(60);
        QTest::mouseMove(target, release);
        QTest::qWait(60);
        QTest::mouseRelease(target, Qt::LeftButton, {}, release);
        carried = true;
    });
    QTest::mousePress(source, Qt::LeftButton, {}, press);
    // The move past the drag distance starts QDrag::exec, which returns once the button is let go.
    QTest::mouseMove(source, press + QPoint(QApplication::startDragDistance() + 8, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return carried; }, 5000)) << "the pointer never reached the drop point";
    QTest::qWait(50);
}

// The point of a (column, item) position in a view's viewport, read back from the caret put there.
QPoint PointOf(CViewFixture& f, CTextPos pos) {
    const CTextPos caret = f.Session().Caret();
    f.Session().SetCaret(pos);
    const QPoint at(f.Session().CaretX() + 1, f.view->RowRect(pos.item).center().y());
    f.Session().SetCaret(caret);
    return at;
}

// Inside one view the loop's answer is a move: the text goes, and one undo puts it back. (Between
// two views the loop is driven by real X input in the end-to-end drag test.)
TEST(RealDrag, DISABLED_InTheDragLoop) {
    CViewFixture a({"A", "one two", "three"}, "a.rux");
    a.view->window()->move(0, 0);
    QTest::qWait(100);
    const QPoint grab = PointOf(a, {6, 1}), drop = PointOf(a, {1, 2});
    a.Session().Select({5, 1}, {8, 1}); // "two"
    DragWithMouse(*a.view, grab, *a.view, drop);
    EXPECT_EQ(a.Lines(), (Rows{"A", "one ", "twothree"}));
    QTest::keyClick(a.view.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(a.Lines(), (Rows{"A", "one two", "three"}));
    EXPECT_FALSE(a.Session().CanUndo()) << "the move was one undo group";
}

// Starts a virtual display and runs the drag above on it in a second run of this program.
TEST(RealDrag, MovesInsideAViewThroughTheDragLoop) {
    if (std::getenv(kChildFlag)) GTEST_SKIP() << "this is the run on the virtual display";
    QProcess xvfb;
    xvfb.setProgram("Xvfb");
    xvfb.setArguments({"-displayfd", "1", "-noreset", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"});
    xvfb.start();
    ASSERT_TRUE(xvfb.waitForStarted(5000)) << "Xvfb is needed for this test (package xvfb)";
    QByteArray number;
    for (int i = 0; i < 100 && !number.contains('\n'); ++i) {
        xvfb.waitForReadyRead(100);
        number += xvfb.readAllStandardOutput();
    }
    ASSERT_FALSE(number.trimmed().isEmpty()) << "Xvfb named no display";

    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", ":" + QString::fromLatin1(number.trimmed()));
    env.insert(kChildFlag, "1");
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=RealDrag.DISABLED_InTheDragLoop", "--gtest_also_run_disabled_tests"});
    const bool finished = run.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(run.readAll());
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
}

} // namespace
} // namespace rux
