// ostra-plc: the desktop application. A path ending in ".oxp" opens that
// project, any other path a sheet, none a new sheet.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <filesystem>

#include "editor/CMainFrame.h"
#include "editor/GuiPorts.h"
#include "platform/ProgramFolder.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtSettings.h"
#include "project/COstraProject.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrevane"));
    QApplication::setApplicationName(QStringLiteral("Ostra_PLC"));
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption libraryDir(QStringLiteral("library-dir"),
                                  QStringLiteral("Folder of the .oxl libraries."),
                                  QStringLiteral("DIR"));
    parser.addOption(libraryDir);
    // For start-up timing and smoke tests: leave as soon as the window is up.
    QCommandLineOption quitAfterStart(QStringLiteral("quit-after-start"),
                                      QStringLiteral("Exit once the main window is shown."));
    parser.addOption(quitAfterStart);
    // Without hardware: every COM port is the built-in simulated controller.
    QCommandLineOption simulator(
        QStringLiteral("simulator"),
        QStringLiteral("Use the built-in simulated controller on every COM port."));
    parser.addOption(simulator);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A project (project.oxp) or a sheet (.oxd)."));
    parser.process(app);

    ostra::QtMessageBox msg;
    ostra::QtSettings settings;
    std::error_code ec;
    ostra::COstraProject project(msg, settings, std::filesystem::current_path(ec));
    project.ProgramFolder = ostra::FindProgramFolder(parser.value(libraryDir).toStdString(),
                                                     ostra::ExecutableFolder(), OSTRA_DATA_DIR);
    project.ProcTable.ReadProcessorList("processors.lst");

    ostra::CMainFrame frame(project, msg);
    frame.SetSettings(&settings);
    frame.Ports().SetAllSimulated(parser.isSet(simulator));
    msg.SetParent(&frame);
    ostra::DispatchCommandLine(project, msg, parser.positionalArguments());
    frame.RebuildTabs();
    frame.showMaximized();
    if (parser.isSet(quitAfterStart)) QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
