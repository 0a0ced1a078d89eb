// ostra-plc: the desktop application. A path ending in ".oxp" opens that
// project, any other path a sheet, none a new sheet.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "comm/CKFactorTable.h"
#include "editor/CMainFrame.h"
#include "editor/GuiPorts.h"
#include "platform/ProgramFolder.h"
#include "sim/CSimController.h"
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
    // A fresh simulated controller holds 0 in every K-factor; a real one keeps
    // what was last written. This gives it the start values of a K-factor file.
    QCommandLineOption presetKFactors(
        QStringLiteral("simulator-kfactors"),
        QStringLiteral("Give the built-in simulated controller the start values of this "
                       "K-factor file."),
        QStringLiteral("FILE"));
    parser.addOption(presetKFactors);
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

    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("ostra-plc"), QIcon(QStringLiteral(":/icons/ostra-plc.svg"))));
    ostra::CMainFrame frame(project, msg);
    frame.SetSettings(&settings);
    frame.Ports().SetAllSimulated(parser.isSet(simulator));
    if (parser.isSet(presetKFactors)) {
        ostra::CKFactorTable table;
        std::string why;
        std::vector<double>& k = frame.Ports().Simulator().KFactors();
        const std::string file = parser.value(presetKFactors).toStdString();
        if (!table.ReadFile(file, static_cast<int>(k.size()), &why)) {
            std::fprintf(stderr, "ostra-plc: %s: %s\n", file.c_str(), why.c_str());
            return 2;
        }
        for (int i = 0; i < table.count; ++i)
            k[static_cast<std::size_t>(i)] = table.records[static_cast<std::size_t>(i)].startValue;
    }
    msg.SetParent(&frame);
    ostra::DispatchCommandLine(project, msg, parser.positionalArguments());
    frame.RebuildTabs();
    // Copies of sheets with changes, kept apart from the user's files.
    frame.SetRecoveryFolder(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation).toStdString() +
        "/recovery");
    frame.showMaximized();
    QTimer::singleShot(0, &frame, [&frame] { frame.OfferRecovery(); });
    if (parser.isSet(quitAfterStart)) QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
