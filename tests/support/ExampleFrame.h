// For the Qt tests and the picture tool: the main frame on a copy of the
// example project, and mouse events sent to a sheet view as a hand sends them.
#pragma once

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/GuiPorts.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra::test {

// A mouse event with an explicit button state, as a dragging hand gives it.
inline void Mouse(COstra_PLCView& view, QEvent::Type type, QPoint at, Qt::MouseButton button,
                  Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* vp = view.viewport();
    QMouseEvent e(type, QPointF(at), vp->mapToGlobal(QPointF(at)), button, buttons, mods);
    QApplication::sendEvent(vp, &e);
}
inline void Press(COstra_PLCView& v, QPoint at, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(v, QEvent::MouseButtonPress, at, b, b, mods);
}
inline void Release(COstra_PLCView& v, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(v, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
}
inline void Move(COstra_PLCView& v, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
    Mouse(v, QEvent::MouseMove, at, Qt::NoButton, buttons);
}
inline void Wheel(COstra_PLCView& v, QPoint at, int delta, Qt::KeyboardModifiers mods) {
    QWidget* vp = v.viewport();
    QWheelEvent e(QPointF(at), vp->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &e);
}

// The example project copied into a fresh folder, and a main frame for it.
class ExampleFrame {
  public:
    ExampleFrame() : project(box, settings, work.Path()), frame(project, box) {
        std::filesystem::copy(Examples() / "TankPlant", work.Path(),
                              std::filesystem::copy_options::recursive);
        project.ProgramFolder = Examples();
    }
    // Opens the copy with every COM port on the built-in simulated
    // controller, as `ostra-plc --simulator` does.
    void OpenOnSimulator() {
        project.ProcTable.ReadProcessorList((Examples() / "processors.lst").string());
        frame.SetSettings(&settings);
        frame.Ports().SetAllSimulated(true);
        Open();
    }
    // Opens the copy as the command line does, in a shown frame.
    void Open() {
        project.OpenNamedProjectFile(work / "project.oxp");
        frame.RebuildTabs();
        frame.resize(1200, 800);
        frame.show();
        frame.grab();
    }
    // Shows the frame as the active window, which shortcuts go to.
    bool Activate() {
        frame.show();
        QApplication::setActiveWindow(&frame);
        return QTest::qWaitForWindowActive(&frame);
    }
    QAction* MenuNamed(const QString& title) {
        for (QAction* a : frame.menuBar()->actions())
            if (a->text() == title) return a;
        return nullptr;
    }

    TempDir work;
    RecordingMessageBox box;
    MemorySettings settings;
    COstraProject project;
    CMainFrame frame;
};

}  // namespace ostra::test
