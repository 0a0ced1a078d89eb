// Main window, menus and status panes.
#include "editor/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPalette>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include "comm/CKFactorTable.h"
#include "comm/COxMonitor.h"
#include "comm/CTargetOps.h"
#include "compiler/DownloadRecords.h"
#include "editor/CDlgCustomize.h"
#include "editor/CDlgFBLib.h"
#include "editor/CDlgSelProc.h"
#include "editor/CDlgWindows.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/GuiPorts.h"
#include "editor/SheetExport.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"

namespace ostra {

namespace {

// Reads a sheet into the project's list; a file that cannot be read is
// reported and the list stays as it was.
COstra_PLCDoc* OpenSheetInto(COstraProject& project, IMessageBox& msg, const QString& path) {
    auto doc = std::make_unique<COstra_PLCDoc>();
    const LoadResult r = doc->OnOpenDocument(path.toStdString());
    if (!r.ok) {
        msg.Show("The sheet " + path.toStdString() + " cannot be opened: " + r.Describe(),
                 "Ostra_PLC", MsgIcon::Exclamation, MsgButtons::Ok);
        return nullptr;
    }
    project.Sheets.push_back(std::move(doc));
    return project.Sheets.back().get();
}

}  // namespace

void DispatchCommandLine(COstraProject& project, IMessageBox& msg, const QStringList& args) {
    std::error_code ec;
    if (!args.isEmpty() && args[0].endsWith(QStringLiteral(".oxp"), Qt::CaseSensitive)) {
        project.OpenNamedProjectFile(std::filesystem::absolute(args[0].toStdString(), ec));
        return;
    }
    if (!args.isEmpty() && OpenSheetInto(project, msg, args[0])) return;
    project.NewSheet();
}

CMainFrame::CMainFrame(COstraProject& project, IMessageBox& msg)
    : project_(project), msg_(msg), ports_(std::make_unique<CGuiPorts>(nullptr)) {
    setWindowTitle(QStringLiteral("Ostra_PLC"));
    // The controller link: the Comm Port dialog at every opening, the menu
    // states following the link.
    link_ = std::make_unique<COxComm>(msg_, clock_, *ports_);
    portDialog_ = new CDlgCommport(*ports_, this);
    progress_ = new CDlgProgress(this);
    link_->SetDialog(portDialog_);
    link_->SetMenu(&project_.Menu);
    monitor_.pollLiveWires = true;
    tabs_ = new QTabWidget(this);
    tabs_->setDocumentMode(true);
    tabs_->setTabsClosable(true);
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseSheet(index); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        MonitorFollowsActiveView();
        UpdatePanes();
        UpdateTitle();
    });
    setAcceptDrops(true);
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(QPageLayout::Landscape);
    BuildMenus();
    const auto initial = StatusPanes::InitialTexts();
    for (int i = 0; i < StatusPanes::kCount; ++i) {
        paneLabels_[i] = new QLabel(QString::fromStdString(initial[i]), this);
        paneLabels_[i]->setMinimumWidth(paneLabels_[i]->sizeHint().width());
        statusBar()->addPermanentWidget(paneLabels_[i]);
    }
    // The plain pane after the project panes: grid position and editing mode.
    editPane_ = new QLabel(this);
    editPane_->setMinimumWidth(editPane_->fontMetrics().horizontalAdvance(
        QStringLiteral("x 125, y 84   Insert function block")));
    statusBar()->addPermanentWidget(editPane_);
    idle_ = new QTimer(this);
    connect(idle_, &QTimer::timeout, this, &CMainFrame::UpdatePanes);
    idle_->start(250);
    resize(1200, 800);
    UpdateMenuForSheets();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildMenus() {
    projectMenu_ = menuBar()->addMenu(QStringLiteral("&Project"));
    auto add = [this](QMenu* m, const char* text, const char* tip, auto fn) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setStatusTip(QString::fromUtf8(tip));
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    add(projectMenu_, "&Folder", "Select the Project Folder you want to work on",
        &CMainFrame::OnFolder);
    add(projectMenu_, "&Processor", "Select the library for the PLC Processor you are using",
        &CMainFrame::OnProcessor);
    add(projectMenu_, "&Wire Check this sheet",
        "Check the wiring and signal naming integrity on this sheet", &CMainFrame::OnWireCheck);
    add(projectMenu_, "&Compile entire diagram",
        "Compile all the sheets in the diagram ready for uploading", &CMainFrame::OnCompile);
    projectMenu_->addSeparator();
    add(projectMenu_, "Co&nnect to target PLC",
        "Make a logical communications connection with the target PLC", &CMainFrame::OnConnect);
    add(projectMenu_, "&Upload to target", "Upload the Control Diagram to the PLC",
        &CMainFrame::OnUpload);
    add(projectMenu_, "&Verify target",
        "Verify that the Control Diagram in the PLC is the same as this one",
        &CMainFrame::OnVerify);
    add(projectMenu_, "&Monitor target signals",
        "Display named signals in the target PLC on the diagram", &CMainFrame::OnMonitor);
    projectMenu_->addSeparator();
    add(projectMenu_, "Processor &Statistics", "Get Processor type, firmware, comms stats etc.",
        &CMainFrame::OnStatistics);
    add(projectMenu_, "&K-Factor Edit", "Edit the K-Factors table\nif supported by processor",
        [this] { OnKFactorEdit(); });
    for (QAction* a : projectMenu_->actions()) a->setCheckable(!a->isSeparator());
    // Only "&Folder" is offered while no sheet is open.
    sheetOnly_ = projectMenu_->actions().mid(1);
    connect(projectMenu_, &QMenu::aboutToShow, this, &CMainFrame::ApplyProjectMenu);

    // Editing commands go to the active view's editor.
    auto edit = [this](QMenu* m, const char* text, const char* tip, int32_t id) {
        QAction* a =
            m ? m->addAction(QString::fromUtf8(text)) : new QAction(QString::fromUtf8(text), this);
        a->setStatusTip(QString::fromUtf8(tip));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { EditCommand(id); });
        editActions_ << a;
        return a;
    };
    QMenu* insert = menuBar()->addMenu(QStringLiteral("&Insert"));
    edit(insert, "&Function block", "Insert a function block from the processor's library",
         kCmdInsertBlock);
    edit(insert, "&Wires", "Draw wires: each click ends a segment and starts the next",
         kCmdInsertWires);
    edit(insert, "&Text", "Place a text note on the sheet", kCmdInsertText);
    edit(insert, "&Lines (decorative)",
         "Draw decorative lines: each click ends one and starts the next", kCmdInsertLines);
    sheetOnly_ << insert->menuAction();

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "&New\tCtrl+N", "Create a new document", &CMainFrame::OnNew)
        ->setShortcut(QKeySequence::New);
    add(file, "&Open...\tCtrl+O", "Open an existing document", &CMainFrame::OnOpen)
        ->setShortcut(QKeySequence::Open);
    add(file, "&Close", "Close the active document", [this] {
        if (tabs_->count() > 0) CloseSheet(tabs_->currentIndex());
    });
    QAction* save =
        add(file, "&Save\tCtrl+S", "Save this Sheet to disk", [this] { OnSave(false); });
    save->setShortcut(QKeySequence::Save);
    QAction* saveAs = add(file, "Save &As...", "Save this Sheet to disk under a different name",
                          [this] { OnSave(true); });
    QAction* sep1 = file->addSeparator();
    QAction* print =
        add(file, "&Print...\tCtrl+P", "Print the active document", &CMainFrame::OnPrint);
    print->setShortcut(QKeySequence::Print);
    QAction* preview =
        add(file, "Print Pre&view", "Display full pages", &CMainFrame::OnPrintPreview);
    add(file, "P&rint Setup...", "Change the printer and printing options", [this] {
        QPageSetupDialog dialog(printer_.get(), this);
        dialog.exec();
    });
    QAction* exportAs =
        add(file, "&Export...", "Export this sheet as PDF, SVG or PNG", &CMainFrame::OnExport);
    sheetOnly_ << save << saveAs << sep1 << print << preview << exportAs;
    recentSeparator_ = file->addSeparator();
    for (int i = 0; i < CRecentFileList::kSize; ++i) {
        recentActions_[i] = file->addAction(QString());
        recentActions_[i]->setStatusTip(QStringLiteral("Open this document"));
        connect(recentActions_[i], &QAction::triggered, this, [this, i] {
            if (i >= static_cast<int>(recent_.Entries().size())) return;
            const std::string path = recent_.Entries()[i];
            if (!OpenSheetFile(QString::fromStdString(path))) {
                // A file that has gone is taken off the list.
                recent_.Remove(path);
                if (settings_) recent_.Save(*settings_);
                UpdateRecentActions();
            }
        });
    }
    file->addSeparator();
    add(file, "E&xit", "Quit the application; prompts to save documents", [this] {
        close();
    })->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    UpdateRecentActions();

    QMenu* editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit(editMenu, "&Undo\tCtrl+Z", "Undo the last action", kCmdUndo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    edit(editMenu, "&Redo\tCtrl+Y", "Redo the previously undone action", kCmdRedo)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    editMenu->addSeparator();
    edit(editMenu, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", kCmdCut)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    edit(editMenu, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", kCmdCopy)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    edit(editMenu, "&Paste\tCtrl+V", "Insert Clipboard contents", kCmdPaste)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    connect(editMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateEditActions);
    sheetOnly_ << editMenu->menuAction();

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    sheetOnly_ << add(view, "Magnify", "Magnifiy the diagram (See less objects in greater detail)",
                      [this] {
                          if (COstra_PLCView* v = ActiveView()) v->Magnify();
                      });
    QAction* magnify = sheetOnly_.back();
    magnify->setToolTip(QStringLiteral("Magnify"));
    sheetOnly_ << add(view, "Reduce",
                      "Reduce the size of the diagram (See more objects in less detail)", [this] {
                          if (COstra_PLCView* v = ActiveView()) v->Reduce();
                      });
    QAction* reduce = sheetOnly_.back();
    reduce->setToolTip(QStringLiteral("Reduce"));
    sheetOnly_ << view->addSeparator();
    QMenu* bars = view->addMenu(QStringLiteral("&Toolbars and Docking Windows"));
    connect(bars, &QMenu::aboutToShow, this, [this, bars] {
        bars->clear();
        for (QToolBar* t : findChildren<QToolBar*>()) bars->addAction(t->toggleViewAction());
        bars->addSeparator();
        QAction* customize = bars->addAction(QStringLiteral("&Customize..."));
        customize->setStatusTip(QStringLiteral("Choose the buttons of the toolbar"));
        connect(customize, &QAction::triggered, this, [this] {
            CDlgCustomize dialog(standardActions_, toolbarHidden_, this);
            if (dialog.exec() == QDialog::Accepted) SetToolbarHidden(dialog.Hidden());
        });
    });
    QAction* statusToggle = view->addAction(QStringLiteral("&Status Bar"));
    statusToggle->setStatusTip(QStringLiteral("Show or hide the status bar"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    lookMenu_ = view->addMenu(QStringLiteral("&Application Look"));
    auto* group = new QActionGroup(this);
    auto look = [this, group](QMenu* m, int id, const char* text) {
        QAction* a = m->addAction(QString::fromUtf8(text));
        a->setCheckable(true);
        a->setData(id);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, id] { OnApplicationLook(id); });
    };
    look(lookMenu_, 205, "Windows &2000");
    look(lookMenu_, 206, "Office &XP");
    look(lookMenu_, 207, "&Windows XP");
    look(lookMenu_, 208, "Office 200&3");
    look(lookMenu_, 209, "Visual Studio 200&5");
    look(lookMenu_, 210, "Visual Studio 200&8");
    look(lookMenu_, 219, "Win&dows 7");
    QMenu* office = lookMenu_->addMenu(QStringLiteral("Office 200&7"));
    look(office, 215, "&Blue Style");
    look(office, 216, "B&lack Style");
    look(office, 217, "&Silver Style");
    look(office, 218, "&Aqua Style");

    // F6 and Shift+F6 step through the sheets, the panes of this window.
    nextSheet_ = new QAction(QStringLiteral("Ne&xt Sheet\tF6"), this);
    nextSheet_->setShortcut(QKeySequence(Qt::Key_F6));
    nextSheet_->setStatusTip(QStringLiteral("Switch to the next sheet"));
    connect(nextSheet_, &QAction::triggered, this, [this] {
        if (tabs_->count() > 0)
            tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count());
    });
    previousSheet_ = new QAction(QStringLiteral("Pre&vious Sheet\tShift+F6"), this);
    previousSheet_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    previousSheet_->setStatusTip(QStringLiteral("Switch to the previous sheet"));
    connect(previousSheet_, &QAction::triggered, this, [this] {
        if (tabs_->count() > 0)
            tabs_->setCurrentIndex((tabs_->currentIndex() + tabs_->count() - 1) % tabs_->count());
    });
    addAction(nextSheet_);
    addAction(previousSheet_);
    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::FillWindowMenu);
    sheetOnly_ << windowMenu_->menuAction();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, "&Help Topics\tF1", "List Help topics", &CMainFrame::OnHelp)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    // Shift+F1: click a command or the sheet to be told what it does.
    QAction* whatsThis = QWhatsThis::createAction(this);
    whatsThis->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    whatsThis->setStatusTip(
        QStringLiteral("Display help for clicked on buttons, menus and windows"));
    help->addAction(whatsThis);
    help->addSeparator();
    add(help, "&About Ostra_PLC...", "Display program information, version number and copyright",
        &CMainFrame::OnAbout);

    // Standard toolbar: the file commands and the project commands.
    QToolBar* bar = addToolBar(QStringLiteral("Standard"));
    bar->setObjectName(QStringLiteral("Standard"));
    bar->addAction(file->actions().at(0));
    bar->addAction(file->actions().at(1));
    bar->addAction(save);
    bar->addAction(print);
    bar->addSeparator();
    // Short button captions, so that the whole row fits a 1024-pixel screen.
    const char* const shortText[] = {"Folder",  "Processor", "Wire Check", "Compile",
                                     nullptr,   "Connect",   "Upload",     "Verify",
                                     "Monitor", nullptr,     "Statistics", "K-Factors"};
    const QList<QAction*> projectItems = projectMenu_->actions();
    for (int i = 0; i < projectItems.size(); ++i) {
        if (projectItems[i]->isSeparator()) {
            bar->addSeparator();
            continue;
        }
        if (i < 12 && shortText[i]) projectItems[i]->setIconText(QString::fromUtf8(shortText[i]));
        bar->addAction(projectItems[i]);
    }
    bar->addSeparator();
    // The placement commands as the toolbar has them, with their own tips.
    const struct {
        const char* caption;
        const char* tip;
        int32_t id;
    } tools[] = {{"Block", "Add Function Block to diagram", kCmdToolBlock},
                 {"Wires", "Add Wiring to diagram", kCmdToolWires},
                 {"Text", "Add Text (Notes) to diagram", kCmdToolText},
                 {"Lines", "Add Decorative Lines to diagram", kCmdToolLines}};
    for (const auto& t : tools) {
        QAction* a = edit(nullptr, t.caption, t.tip, t.id);
        a->setToolTip(QString::fromUtf8(t.tip));
        bar->addAction(a);
    }
    bar->addSeparator();
    bar->addAction(magnify);
    bar->addAction(reduce);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    standardBar_ = bar;
    standardActions_ = bar->actions();
    // What's This (Shift+F1) tells each command's prompt.
    for (QAction* a : findChildren<QAction*>())
        if (a->whatsThis().isEmpty() && !a->statusTip().isEmpty()) a->setWhatsThis(a->statusTip());
    file->actions().at(0)->setIconText(QStringLiteral("New"));
    file->actions().at(1)->setIconText(QStringLiteral("Open"));
    save->setIconText(QStringLiteral("Save"));
    print->setIconText(QStringLiteral("Print"));
}

void CMainFrame::FillWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addAction(nextSheet_);
    windowMenu_->addAction(previousSheet_);
    QAction* list = windowMenu_->addAction(QStringLiteral("&Windows..."));
    list->setStatusTip(QStringLiteral("Manage the open sheets"));
    connect(list, &QAction::triggered, this, [this] {
        CDlgWindows dialog(*this);
        dialog.exec();
    });
    windowMenu_->addSeparator();
    for (int i = 0; i < tabs_->count(); ++i) {
        QAction* a = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(tabs_->tabText(i).replace('&', "&&")));
        a->setCheckable(true);
        a->setChecked(i == tabs_->currentIndex());
        connect(a, &QAction::triggered, this, [this, i] { tabs_->setCurrentIndex(i); });
    }
}

void CMainFrame::UpdateTitle() {
    // The active sheet's name before the program's, as the document windows show it.
    const COstra_PLCView* v = ActiveView();
    setWindowTitle(v ? QString::fromStdString(v->Document()->title) + QStringLiteral(" - Ostra_PLC")
                     : QStringLiteral("Ostra_PLC"));
    // A sheet with unsaved changes is marked on its tab.
    for (int i = 0; i < tabs_->count(); ++i) {
        if (const auto* view = qobject_cast<COstra_PLCView*>(tabs_->widget(i))) {
            const COstra_PLCDoc* doc = view->Document();
            const QString text = QString::fromStdString(doc->title) +
                                 (doc->modified ? QStringLiteral("*") : QString());
            if (tabs_->tabText(i) != text) tabs_->setTabText(i, text);
        }
    }
}

void CMainFrame::UpdateMenuForSheets() {
    fullMenu_ = tabs_->count() > 0;
    for (QAction* a : sheetOnly_) a->setVisible(fullMenu_);
}

void CMainFrame::UpdateRecentActions() {
    const auto& entries = recent_.Entries();
    const std::string current = project_.CurrentDir.string();
    for (int i = 0; i < CRecentFileList::kSize; ++i) {
        const bool used = i < static_cast<int>(entries.size());
        recentActions_[i]->setVisible(used);
        if (used)
            recentActions_[i]->setText(
                QString::fromStdString(CRecentFileList::MenuText(i, entries[i], current)));
    }
    recentSeparator_->setVisible(!entries.empty());
}

void CMainFrame::NoteRecent(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    recent_.Add(ec ? path : full.lexically_normal().string());
    if (settings_) recent_.Save(*settings_);
    UpdateRecentActions();
}

void CMainFrame::OnAbout() {
    QMessageBox::about(this, QStringLiteral("About Ostra_PLC"),
                       QStringLiteral("<b>Ostra_PLC</b> Version %1<br>"
                                      "Function-block diagrams for small programmable "
                                      "controllers: draw, check, compile, load, verify, "
                                      "monitor and tune.<br><br>Copyright (C) Ostrevane")
                           .arg(QStringLiteral(OSTRA_VERSION)));
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e) {
    // Dropped files open as sheets, as File Open would open them.
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile()) OpenSheetFile(url.toLocalFile());
    e->acceptProposedAction();
}

void CMainFrame::SetToolbarHidden(const QStringList& hidden) {
    toolbarHidden_ = hidden;
    // Rebuilt in the original order; a separator only between shown buttons.
    standardBar_->clear();
    bool afterSeparator = true;
    for (QAction* a : standardActions_) {
        if (a->isSeparator()) {
            if (!afterSeparator) standardBar_->addAction(a);
            afterSeparator = true;
        } else if (!hidden.contains(a->iconText())) {
            standardBar_->addAction(a);
            afterSeparator = false;
        }
    }
    if (settings_)
        settings_->SetString("Toolbars", "StandardHidden",
                             hidden.join(QLatin1Char('|')).toStdString());
}

void CMainFrame::SetSettings(ISettings* settings) {
    settings_ = settings;
    ports_->SetSettings(settings);
    if (settings_) {
        const QString hidden =
            QString::fromStdString(settings_->GetString("Toolbars", "StandardHidden", ""));
        SetToolbarHidden(hidden.isEmpty() ? QStringList() : hidden.split(QLatin1Char('|')));
    }
    if (settings_) {
        recent_.Load(*settings_);
        UpdateRecentActions();
    }
    OnApplicationLook(settings_ ? settings_->GetInt("", "ApplicationLook", 210) : 210);
}

void CMainFrame::OnApplicationLook(int id) {
    if (id < 205 || id > 219) id = 216;  // any other id: the Office 2007 look
    appLook_ = id;
    // The looks are Fusion with palettes: dark for the black style, tinted
    // for the other Office 2007 styles, the plain one for the rest.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette pal = QApplication::style()->standardPalette();
    auto tint = [&pal](QColor window, QColor button) {
        pal.setColor(QPalette::Window, window);
        pal.setColor(QPalette::Button, button);
    };
    switch (id) {
        case 215:
            tint(QColor(214, 227, 242), QColor(199, 216, 237));
            break;
        case 217:
            tint(QColor(232, 234, 238), QColor(218, 221, 227));
            break;
        case 218:
            tint(QColor(214, 236, 240), QColor(196, 226, 232));
            break;
        case 216:
            pal.setColor(QPalette::Window, QColor(53, 53, 53));
            pal.setColor(QPalette::WindowText, Qt::white);
            pal.setColor(QPalette::Base, QColor(35, 35, 35));
            pal.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
            pal.setColor(QPalette::Text, Qt::white);
            pal.setColor(QPalette::Button, QColor(53, 53, 53));
            pal.setColor(QPalette::ButtonText, Qt::white);
            pal.setColor(QPalette::Highlight, QColor(42, 130, 218));
            pal.setColor(QPalette::HighlightedText, Qt::black);
            break;
        default:
            break;
    }
    QApplication::setPalette(pal);
    if (lookMenu_) {
        const QList<QAction*> actions = lookMenu_->findChildren<QAction*>();
        for (QAction* a : actions)
            if (a->data().isValid()) a->setChecked(a->data().toInt() == appLook_);
    }
    if (settings_) settings_->SetInt("", "ApplicationLook", appLook_);
    update();
}

void CMainFrame::ApplyProjectMenu() {
    UpdatePanes();
}

void CMainFrame::ApplyMenuStates() {
    // The toolbar shares these actions, so its buttons follow too.
    const QList<QAction*> items = projectMenu_->actions();
    for (int i = 0; i < items.size() && i < CProjectMenu::kCount; ++i) {
        if (items[i]->isSeparator()) continue;
        items[i]->setChecked(project_.Menu.Checked(i));
        items[i]->setEnabled(project_.Menu.Enabled(i));
    }
}

void CMainFrame::RebuildTabs() {
    while (tabs_->count() > 0) {
        QWidget* w = tabs_->widget(0);
        tabs_->removeTab(0);
        delete w;
    }
    for (auto& sheet : project_.Sheets) {
        COstra_PLCView* view = NewView(sheet.get());
        tabs_->addTab(view, QString::fromStdString(sheet->title));
    }
    UpdateMenuForSheets();
    UpdatePanes();
}

COstra_PLCView* CMainFrame::ActiveView() const {
    return qobject_cast<COstra_PLCView*>(tabs_->currentWidget());
}

int CMainFrame::TabCount() const {
    return tabs_->count();
}

void CMainFrame::AfterRepaint() {
    // The active view's sheet decides the wire-check mark, whichever view painted.
    if (COstra_PLCView* v = ActiveView()) activeCheckState_ = v->Document()->checkState;
    project_.Menu.SetChecked(CProjectMenu::kWireCheck, activeCheckState_ == 1);
    int32_t total = 0;
    for (const auto& sheet : project_.Sheets) total += static_cast<int32_t>(sheet->blocks.size());
    const bool countChanged = project_.FBCount != total;
    project_.FBCount = total;
    // The count shows at once rather than at the next idle update.
    if (countChanged) UpdatePanes();
    if (total < project_.Library.MaxFBlocks) {
        warnedTotal_ = -1;
        return;
    }
    // At the limit the repaint brings the warning, shown after the repaint and
    // once for each block count: the box's own repaint must not repeat it.
    if (total == warnedTotal_) return;
    warnedTotal_ = total;
    QTimer::singleShot(0, this, [this] { project_.CheckPlcFull(); });
}

void CMainFrame::UpdatePanes() {
    if (COstra_PLCView* v = ActiveView())
        activeCheckState_ = v->Document()->checkState;
    else
        activeCheckState_ = 0;
    panes_.Update(project_, activeCheckState_);
    ApplyMenuStates();
    UpdateEditActions();
    for (int i = 0; i < StatusPanes::kCount; ++i)
        paneLabels_[i]->setText(QString::fromStdString(panes_.texts[i]));
}

void CMainFrame::OnFolder() {
    const QString chosen = QFileDialog::getSaveFileName(
        this, QStringLiteral("Project Folder"),
        QDir(QString::fromStdString(project_.CurrentDir.string())).filePath("project.oxp"),
        QStringLiteral("Ostra Project Control File (*.oxp)"), nullptr,
        QFileDialog::DontConfirmOverwrite);
    std::filesystem::path path;
    if (!chosen.isEmpty()) {
        path = chosen.toStdString();
        if (path.extension().empty()) path += ".oxp";
        if (!std::filesystem::exists(path) &&
            msg_.Show(PathText(path) + " does not exist.\nDo you want to create it?", "Ostra_PLC",
                      MsgIcon::Question, MsgButtons::OkCancel) != MsgResult::Ok)
            path.clear();
    }
    project_.OpenProjectFolder(path);
    RebuildTabs();
}

void CMainFrame::OnProcessor() {
    // The dialog lists the program folder's libraries.
    CDlgSelProc dialog(project_.ProgramFolder, this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok && !dialog.Chosen().isEmpty()) {
        project_.ReadFuncLibrary(dialog.Chosen().toStdString() + ".oxl");
        project_.Menu.SetChecked(CProjectMenu::kProcessor, true);
    } else {
        project_.Menu.SetChecked(CProjectMenu::kProcessor, false);
    }
    project_.StoreProjectControl();
    UpdatePanes();
}

COstra_PLCView* CMainFrame::NewView(COstra_PLCDoc* doc) {
    auto* view = new COstra_PLCView(doc, tabs_);
    view->onPainted = [this] { AfterRepaint(); };
    view->onMonitorTick = [this, view] { MonitorTick(view); };
    ViewServices s;
    s.msg = &msg_;
    s.library = &project_.Library;
    s.runLibraryDialog = [this] {
        CDlgFBLib dialog(project_.Library, this);
        dialog.Rebuild();
        return dialog.exec() == QDialog::Accepted;
    };
    s.checkBlockCount = [this] {
        // Warned here, so that the repaint that follows does not warn again.
        const int32_t total = project_.CheckPlcFull();
        if (total >= project_.Library.MaxFBlocks) warnedTotal_ = total;
        UpdatePanes();
    };
    s.sheetCommand = [this, view](int32_t id) {
        if (id == kCmdSheetWireCheck) {
            OnWireCheck();
        } else if (id == kCmdSheetSave || id == kCmdSheetSaveAs) {
            SaveView(*view, id == kCmdSheetSaveAs);
        }
    };
    s.sheetChanged = [this, view] { OnSheetChanged(view); };
    s.editStatus = [this](const QString& text) { editPane_->setText(text); };
    view->SetServices(std::move(s));
    return view;
}

void CMainFrame::OnSheetChanged(COstra_PLCView* view) {
    // An edited sheet no longer matches its check, the compiled image or the
    // controller. Monitoring ends too: its values would be written on wires
    // that the controller's program does not have, and its command goes.
    if (view->Document()->modified) {
        StopMonitoring();
        project_.Menu.SheetEdited();
    }
    UpdateEditActions();
    UpdateTitle();
}

void CMainFrame::EditCommand(int32_t id) {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    if (v->Editor().CommandEnabled(id)) v->Editor().Command(id);
    UpdateEditActions();
}

void CMainFrame::UpdateEditActions() {
    COstra_PLCView* v = ActiveView();
    for (QAction* a : editActions_)
        a->setEnabled(v && v->Editor().CommandEnabled(a->data().toInt()));
}

COstra_PLCView* CMainFrame::AddView(COstra_PLCDoc* doc) {
    COstra_PLCView* view = NewView(doc);
    tabs_->setCurrentIndex(tabs_->addTab(view, QString::fromStdString(doc->title)));
    UpdateMenuForSheets();
    return view;
}

void CMainFrame::OnNew() {
    project_.NewSheet();
    AddView(project_.Sheets.back().get());
}

void CMainFrame::OnOpen() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString::fromStdString(project_.CurrentDir.string()),
        QStringLiteral("Ostra_PLC Diagrams (*.oxd)"));
    if (!chosen.isEmpty()) OpenSheetFile(chosen);
}

bool CMainFrame::OpenSheetFile(const QString& path) {
    // A sheet already open is brought forward rather than loaded twice.
    std::error_code ec;
    const std::filesystem::path wanted = std::filesystem::absolute(path.toStdString(), ec);
    for (int i = 0; i < tabs_->count(); ++i) {
        auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i));
        if (v && !v->Document()->pathName.empty() &&
            std::filesystem::equivalent(v->Document()->pathName, wanted, ec)) {
            tabs_->setCurrentIndex(i);
            NoteRecent(path.toStdString());
            return true;
        }
    }
    COstra_PLCDoc* doc = OpenSheetInto(project_, msg_, path);
    if (!doc) return false;
    AddView(doc);
    NoteRecent(path.toStdString());
    return true;
}

bool CMainFrame::OnSave(bool saveAs) {
    COstra_PLCView* v = ActiveView();
    return v && SaveView(*v, saveAs);
}

bool CMainFrame::SaveView(COstra_PLCView& view, bool saveAs) {
    COstra_PLCDoc& doc = *view.Document();
    std::filesystem::path path = doc.pathName;
    if (saveAs || path.empty()) {
        const QString chosen =
            QFileDialog::getSaveFileName(this, QStringLiteral("Save As"),
                                         QDir(QString::fromStdString(project_.CurrentDir.string()))
                                             .filePath(QString::fromStdString(doc.title) + ".oxd"),
                                         QStringLiteral("Ostra_PLC Diagrams (*.oxd)"));
        if (chosen.isEmpty()) return false;
        path = chosen.toStdString();
        if (path.extension().empty()) path += ".oxd";
    }
    std::string error;
    if (!doc.OnSaveDocument(path, &error)) {
        msg_.Show("The sheet cannot be saved to " + PathText(path) + ": " + error, "Ostra_PLC",
                  MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    const int index = tabs_->indexOf(&view);
    if (index >= 0) tabs_->setTabText(index, QString::fromStdString(doc.title));
    UpdateTitle();
    NoteRecent(path.string());
    return true;
}

bool CMainFrame::CloseSheet(int index) {
    auto* view = qobject_cast<COstra_PLCView*>(tabs_->widget(index));
    if (!view) return false;
    COstra_PLCDoc* doc = view->Document();
    if (doc->modified) {
        const MsgResult answer = msg_.Show("Save changes to " + doc->title + "?", "Ostra_PLC",
                                           MsgIcon::Exclamation, MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel) return false;
        if (answer == MsgResult::Yes && !SaveView(*view, false)) return false;
    }
    tabs_->removeTab(index);
    delete view;
    for (auto it = project_.Sheets.begin(); it != project_.Sheets.end(); ++it) {
        if (it->get() == doc) {
            project_.Sheets.erase(it);
            break;
        }
    }
    UpdateMenuForSheets();
    UpdateTitle();
    UpdatePanes();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // Every sheet with changes is offered for saving; Cancel keeps the program.
    for (int i = tabs_->count() - 1; i >= 0; --i) {
        if (!CloseSheet(i)) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

void CMainFrame::OnPrint() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    // The sheet always prints landscape on one page.
    printer_->setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintSheet(*v->Document(), *printer_);
}

void CMainFrame::OnPrintPreview() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    printer_->setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(printer_.get(), this);
    COstra_PLCDoc* doc = v->Document();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [doc](QPrinter* p) { PrintSheet(*doc, *p); });
    preview.exec();
}

void CMainFrame::OnExport() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    QString filter;
    const QString chosen = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export Sheet"),
        QDir(QString::fromStdString(project_.CurrentDir.string()))
            .filePath(QString::fromStdString(v->Document()->title) + ".pdf"),
        QStringLiteral("PDF (*.pdf);;SVG (*.svg);;PNG (*.png)"), &filter);
    if (chosen.isEmpty()) return;
    QString format = QFileInfo(chosen).suffix().toLower();
    if (format.isEmpty()) format = filter.left(3).toLower();
    QString error;
    if (!ExportSheet(*v->Document(), chosen, format, &error))
        msg_.Show("The sheet cannot be exported: " + error.toStdString(), "Ostra_PLC",
                  MsgIcon::Exclamation, MsgButtons::Ok);
}

void CMainFrame::OnWireCheck() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    // The check rearranges and names wires: it can be undone like an edit.
    CSheetEditor& editor = v->Editor();
    editor.History().BeginStep(*v->Document());
    project_.WireCheckSheet(*v->Document());
    editor.History().EndStep();
    editor.ResetForNewContent();
    v->ClearMonitorDrawing();
    v->viewport()->update();
    UpdateEditActions();
    UpdateTitle();
    UpdatePanes();
}

void CMainFrame::OnCompile() {
    // A new signal table renumbers the signals being polled.
    StopMonitoring();
    project_.CompileAll();
    UpdatePanes();
}

// --- controller commands ---

void CMainFrame::OnConnect() {
    CTargetOps ops(project_, *link_, clock_, progress_);
    if (ops.Connect()) connectedProc_ = ops.ConnectedProc;
    UpdatePanes();
}

void CMainFrame::OnUpload() {
    CTargetOps ops(project_, *link_, clock_, progress_);
    ops.Upload();
    UpdatePanes();
}

void CMainFrame::OnVerify() {
    CTargetOps ops(project_, *link_, clock_, progress_);
    ops.Verify();
    UpdatePanes();
}

void CMainFrame::OnMonitor() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    monitor_.ToggleMonitor(COxMonitor::kCommand, *v->Document(), project_, *link_,
                           v->MonitorTimer());
    monitorView_ = monitor_.monitoring ? v : nullptr;
    if (!monitor_.monitoring) v->ClearMonitorDrawing();
    UpdatePanes();
}

void CMainFrame::StopMonitoring() {
    if (!monitor_.monitoring || !monitorView_) return;
    monitor_.ToggleMonitor(COxMonitor::kCommand, *monitorView_->Document(), project_, *link_,
                           monitorView_->MonitorTimer());
    monitorView_->ClearMonitorDrawing();
    monitorView_ = nullptr;
}

void CMainFrame::MonitorFollowsActiveView() {
    if (!monitor_.monitoring) return;
    COstra_PLCView* now = ActiveView();
    if (monitorView_ == now) return;
    // The old view's timer stops with the mode kept on; the new view builds
    // its own blocks and starts its timer.
    if (monitorView_) {
        monitor_.ToggleMonitor(COxMonitor::kDeactivate, *monitorView_->Document(), project_, *link_,
                               monitorView_->MonitorTimer());
        monitorView_->ClearMonitorDrawing();
    }
    monitorView_ = now;
    if (now)
        monitor_.ToggleMonitor(COxMonitor::kActivate, *now->Document(), project_, *link_,
                               now->MonitorTimer());
}

void CMainFrame::MonitorTick(COstra_PLCView* view) {
    std::vector<std::pair<int32_t, double>> values;
    const std::vector<MonitorLabel> labels =
        monitor_.MonitorTick(*view->Document(), project_, *link_, view->MonitorTimer(), &values);
    // Wires whose signal a digital output drives: on while the value is not 0.
    const std::vector<int32_t> digital = COxMonitor::DigitalSignals(project_.Tables);
    std::map<const COxWireSeg*, bool> live;
    for (const auto& [number, value] : values) {
        if (!std::binary_search(digital.begin(), digital.end(), number)) continue;
        for (const auto& rec : project_.Tables.sigs) {
            if (rec->Number != number) continue;
            for (const auto& s : view->Document()->segments)
                if (s->name == rec->Name) live[s.get()] = value != 0;
        }
    }
    view->ShowMonitorValues(labels, live);
    if (!link_->Connected) UpdatePanes();
}

void CMainFrame::OnStatistics() {
    CDlgProcStat dialog(*link_, connectedProc_, this);
    dialog.ReadAll();
    dialog.exec();
    UpdatePanes();
}

void CMainFrame::OnKFactorEdit(const QString& file) {
    QString path = file;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QStringLiteral("K-Factor File"),
                                            QString::fromStdString(project_.CurrentDir.string()),
                                            QStringLiteral("K-Factor Files (KF*.txt)"));
        if (path.isEmpty()) return;
    }
    CKFactorTable table;
    if (!table.ReadFile(path.toStdString(), project_.Library.MaxFBlocks)) {
        msg_.Show("The K-factor file " + path.toStdString() + " cannot be opened.", "Ostra_PLC",
                  MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    CDlgKFEdit dialog(table, *link_, project_.Library.MaxKFacts, this);
    dialog.Start();
    dialog.exec();
    UpdatePanes();
}

QString CMainFrame::GuideFolder() const {
    // Installed beside the libraries' share folder, or the checkout's docs/.
    const std::filesystem::path installed =
        project_.ProgramFolder.parent_path() / "doc" / "ostra-plc";
    for (const std::filesystem::path& dir :
         {installed, std::filesystem::path(OSTRA_SOURCE_DOCS_DIR)}) {
        std::error_code ec;
        if (std::filesystem::exists(dir / "editing.md", ec))
            return QString::fromStdString(dir.string());
    }
    return {};
}

void CMainFrame::OnHelp() {
    const QString folder = GuideFolder();
    if (folder.isEmpty() ||
        !QDesktopServices::openUrl(QUrl::fromLocalFile(folder + QStringLiteral("/editing.md")))) {
        msg_.Show(
            "The guides \"Editing a sheet\" (editing.md) and \"Working with the controller\" "
            "(controller.md) come with the program's documentation" +
                (folder.isEmpty() ? std::string(", which is not installed here.")
                                  : " in " + folder.toStdString() + "."),
            "Ostra_PLC Help", MsgIcon::Information, MsgButtons::Ok);
    }
}

}  // namespace ostra
