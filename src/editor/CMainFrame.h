// The main window: one tab per open sheet, the menus, and the status bar with
// the six project panes. Commands go to the project (Folder, Processor, New,
// Compile) or to the active view's sheet (Wire Check, zoom).
#pragma once

#include <QMainWindow>
#include <QElapsedTimer>
#include <QPointer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "comm/COxMonitor.h"
#include "comm/TrendLog.h"
#include "platform/ISerialPort.h"

#include "project/Problems.h"
#include "project/RecentFiles.h"
#include "project/Recovery.h"
#include "project/StatusPanes.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPrinter;
class QTabWidget;
class QTimer;
class QToolBar;

namespace ostra {

class CTrendWindow;

class CDlgCommport;
class CDlgProgress;
class CProblemsPanel;
class CXrefPanel;
class CGuiPorts;
class COstraProject;
class COstra_PLCDoc;
class COxComm;
class COstra_PLCView;
class IMessageBox;
class ISettings;

// A path ending in ".oxp" (exactly) opens that project, any other path that
// sheet, none a new sheet "Sheet_%02d".
void DispatchCommandLine(COstraProject& project, IMessageBox& msg, const QStringList& args);

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    CMainFrame(COstraProject& project, IMessageBox& msg);
    ~CMainFrame() override;

    // One tab per open sheet of the project, in document order.
    void RebuildTabs();
    COstra_PLCView* ActiveView() const;
    int TabCount() const;
    QTabWidget* Tabs() const { return tabs_; }
    // The idle-time update of the panes and the "&Project" menu states.
    void UpdatePanes();
    const StatusPanes& Panes() const { return panes_; }
    int32_t ActiveCheckState() const { return activeCheckState_; }

    // Commands.
    void OnFolder();
    // Crash recovery: copies of sheets with changes kept in `folder` every
    // minute; OfferRecovery asks to restore what a run that died left.
    void SetRecoveryFolder(const std::filesystem::path& folder);
    void KeepRecoveryCopies();
    void OfferRecovery();
    static constexpr int kAutosaveMs = 60000;
    // Folder's work once the file is chosen (empty: the choice was cancelled).
    void OpenFolder(const std::filesystem::path& path);
    void OnProcessor();
    void OnNew();
    void OnOpen();
    bool OnSave(bool saveAs);
    void OnPrint();
    void OnPrintPreview();
    void OnExport();
    // Export of the active sheet to a chosen file; a PNG asks its resolution.
    void ExportTo(const QString& path, const QString& filterFormat);
    void OnWireCheck();
    // Application looks: ids 205 to 219, stored as "ApplicationLook".
    void SetSettings(ISettings* settings);
    void OnApplicationLook(int id);
    int AppLook() const { return appLook_; }
    // Closes the sheet of tab `index`, asking to save changes; false when kept.
    bool CloseSheet(int index);
    void OnCompile();
    // Opens a sheet file in a new tab and lists it among the recent files;
    // a file that cannot be read is reported and nothing else changes.
    bool OpenSheetFile(const QString& path);
    const CRecentFileList& RecentFiles() const { return recent_; }
    // With no sheet open only the commands that need none are shown.
    void UpdateMenuForSheets();
    void UpdateTitle();
    bool ShowsFullMenu() const { return fullMenu_; }
    void OnAbout();
    // Opens the user guides; tells where they are when nothing can show them.
    void OnHelp();
    QString GuideFolder() const;
    // The Standard toolbar without the buttons of these captions (kept in
    // the settings); the Customize dialog sets it.
    void SetToolbarHidden(const QStringList& hidden);
    QToolBar* StandardBar() const { return standardBar_; }
    // The controller commands.
    void OnConnect();
    void OnUpload();
    // Ends monitor mode and the connection (a project of another folder).
    void Disconnect();
    void OnVerify();
    void OnMonitor();
    // The Trend window of the monitored signals (monitor mode only).
    void OnTrend();
    CTrendWindow* Trend() const { return trend_; }
    void OnStatistics();
    // Asks for the file when none is given.
    void OnKFactorEdit(const QString& file = {});
    CGuiPorts& Ports() { return *ports_; }
    COxComm& Link() { return *link_; }
    COxMonitor& Monitor() { return monitor_; }
    CDlgProgress* Progress() const { return progress_; }
    CDlgCommport* PortDialog() const { return portDialog_; }
    const std::string& ConnectedProc() const { return connectedProc_; }
    // An editing command (Insert, Edit, toolbar) for the active view.
    void EditCommand(int32_t id);
    void UpdateEditActions();
    QLabel* EditPane() const { return editPane_; }

    // The Problems and Cross References panels. A wire check or compile that
    // finds something shows the Problems panel; its rows and the cross
    // references lead to their objects.
    CProblemsPanel* ProblemsPanel() const { return problems_; }
    CXrefPanel* XrefPanel() const { return xref_; }
    void RefreshProblems(bool showWhenAny);
    // From the last compile, or with `fromSheets` from the open sheets'
    // last checks.
    void RefreshCrossReferences(bool fromSheets = false);
    // Brings the place's sheet forward, selects its object and centres it.
    bool ShowPlace(const SheetPlace& place);
    // Find (Ctrl+F) asks for a block ident, signal name or text; Find Next
    // (F3) goes on to the next hit over the open sheets.
    void OnFind();
    bool FindNext(const QString& text);

  protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void BuildPanels();
    // Another open sheet has the title of the sheet of tab `tab`.
    bool SheetTitleShared(int tab) const;
    bool SaveView(COstra_PLCView& view, bool saveAs);
    void BuildMenus();
    // Upload and Verify need a compiled image; false after saying so.
    bool HasImageToSend();
    void BuildStatusBar();
    QString lastLibraryChoice_;  // the block type the library dialog opens on
    void UpdateZoomActions();
    void UpdateToolbarSeparators();
    QAction* closeAction_ = nullptr;
    std::array<QLabel*, 3> lockLabels_{};  // CAP, NUM, SCRL  // File > Close, offered while a sheet is open
    QAction* magnify_ = nullptr;
    // Checkable habits of the sheet windows, each kept in the settings; off,
    // the sheet behaves as it was first made to.
    struct ViewSwitch {
        QAction* action;
        const char* section;
        const char* key;
        std::function<void(COstra_PLCView&, bool)> apply;
    };
    std::vector<ViewSwitch> switches_;
    QAction* AddViewSwitch(QMenu* menu, const char* text, const char* tip, const char* section,
                           const char* key, std::function<void(COstra_PLCView&, bool)> apply);
    QAction* reduce_ = nullptr;
    void ApplyProjectMenu();
    void AfterRepaint();
    // A view of `doc` that reports its repaints to the frame.
    COstra_PLCView* NewView(COstra_PLCDoc* doc);
    // The same, added as the active tab.
    COstra_PLCView* AddView(COstra_PLCDoc* doc);
    void NoteRecent(const std::string& path);
    void UpdateRecentActions();
    void FillWindowMenu();
    void OnSheetChanged(COstra_PLCView* view);
    void ApplyMenuStates();
    void MonitorFollowsActiveView();
    // Ends monitor mode as its command would.
    void StopMonitoring();
    void MonitorTick(COstra_PLCView* view);

    COstraProject& project_;
    IMessageBox& msg_;
    QTabWidget* tabs_ = nullptr;
    QMenu* projectMenu_ = nullptr;
    std::array<QLabel*, StatusPanes::kCount> paneLabels_{};
    StatusPanes panes_;
    int32_t activeCheckState_ = 0;
    int32_t warnedTotal_ = -1;
    int appLook_ = 210;
    ISettings* settings_ = nullptr;
    QMenu* lookMenu_ = nullptr;
    QTimer* idle_ = nullptr;
    CRecentFileList recent_;
    std::array<QAction*, CRecentFileList::kSize> recentActions_{};
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> sheetOnly_;  // hidden while no sheet is open
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> editActions_;  // command id in data()
    QLabel* editPane_ = nullptr;
    QToolBar* standardBar_ = nullptr;
    QAction* nextSheet_ = nullptr;
    QAction* previousSheet_ = nullptr;
    QList<QAction*> standardActions_;  // all it can show, separators included
    QStringList toolbarHidden_;
    bool fullMenu_ = true;
    // One printer for Print Setup, Print and Print Preview, so that the
    // choices of the setup hold for the session.
    std::unique_ptr<QPrinter> printer_;
    SteadyLinkClock clock_;
    std::unique_ptr<CGuiPorts> ports_;
    std::unique_ptr<COxComm> link_;
    CDlgCommport* portDialog_ = nullptr;
    CDlgProgress* progress_ = nullptr;
    COxMonitor monitor_;
    // What monitoring read, with its times, for the Trend window.
    CTrendLog trendLog_;
    QElapsedTimer trendClock_;
    QAction* trendAction_ = nullptr;
    CTrendWindow* trend_ = nullptr;
    void UpdateTrendSignals(bool showAll);
    QPointer<COstra_PLCView> monitorView_;
    std::string connectedProc_;
    // A sheet was edited after the image in the tables was compiled or read:
    // sending it would load the controller with something else than the
    // sheets show.
    bool imageStale_ = false;
    std::unique_ptr<CRecovery> recovery_;
    QTimer* autosave_ = nullptr;
    bool recoveryWarned_ = false;
    CProblemsPanel* problems_ = nullptr;
    CXrefPanel* xref_ = nullptr;
    // The rows of each open sheet's last wire check, and of the last compile.
    std::vector<std::pair<const COstra_PLCDoc*, std::vector<Problem>>> checkRows_;
    std::vector<Problem> compileRows_;
    QString findText_;
    int findIndex_ = -1;  // the last hit shown
};

}  // namespace ostra
