// The main window's menus, toolbar and application looks.
#include "editor/CMainFrame.h"

#include <QAction>
#include <QStatusBar>
#include <QStyle>
#include <QMenu>
#include <QMenuBar>
#include <QActionGroup>
#include <QApplication>
#include <QPageSetupDialog>
#include <QPalette>
#include <QStyleFactory>
#include <QToolBar>
#include <QWhatsThis>

#include "editor/CDlgCustomize.h"
#include "editor/CDlgWindows.h"
#include "editor/COstra_PLCView.h"
#include "editor/ControllerDialogs.h"
#include "editor/GuiPorts.h"
#include "editor/ProblemPanels.h"
#include "platform/FileIO.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"

namespace ostra {

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
    projectMenu_->addSeparator();
    trendAction_ = add(projectMenu_, "T&rend...",
                       "Plot the monitored signals against time\nTrend", &CMainFrame::OnTrend);
    trendAction_->setToolTip(QStringLiteral("Trend"));
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
    closeAction_ = add(file, "&Close", "Close the active document", [this] {
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
    edit(editMenu, "D&uplicate\tCtrl+D", "Copy the selection beside itself", kCmdDuplicate)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The Delete key itself stays with the sheet, which asks before deleting.
    edit(editMenu, "&Delete\tDel", "Delete the selection", kCmdClear);
    editMenu->addSeparator();
    edit(editMenu, "Select &All\tCtrl+A", "Select every object of the sheet", kCmdSelectAll)
        ->setShortcut(QKeySequence::SelectAll);
    editMenu->addSeparator();
    QAction* find = editMenu->addAction(QStringLiteral("&Find...\tCtrl+F"));
    find->setStatusTip(QStringLiteral("Find a block ident, signal name or text on the open sheets"));
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, &CMainFrame::OnFind);
    QAction* findNext = editMenu->addAction(QStringLiteral("Find &Next\tF3"));
    findNext->setStatusTip(QStringLiteral("Go on to the next place found"));
    findNext->setShortcut(QKeySequence(Qt::Key_F3));
    connect(findNext, &QAction::triggered, this, [this] {
        if (findText_.isEmpty())
            OnFind();
        else
            FindNext(findText_);
    });
    editMenu->addSeparator();
    AddViewSwitch(editMenu, "&Wires follow blocks",
                  "Moving blocks takes the ends of their wires along", "Editing",
                  "WiresFollowBlocks",
                  [](COstra_PLCView& v, bool on) { v.Editor().WiresFollowBlocks = on; });
    AddViewSwitch(editMenu, "Paste at &pointer",
                  "Paste puts the objects under the mouse pointer; off, at the place they "
                  "were copied to",
                  "Editing", "PasteAtPointer",
                  [](COstra_PLCView& v, bool on) { v.Editor().PasteAtPointer = on; });
    connect(editMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateEditActions);
    sheetOnly_ << editMenu->menuAction();

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    // A zoom command on the active view; the commands' enabling follows.
    auto zoom = [&](const char* text, const char* tip, void (COstra_PLCView::*step)()) {
        sheetOnly_ << add(view, text, tip, [this, step] {
            if (COstra_PLCView* v = ActiveView()) (v->*step)();
            UpdateZoomActions();
        });
        return sheetOnly_.back();
    };
    magnify_ = zoom("Magnify", "Magnifiy the diagram (See less objects in greater detail)",
                    &COstra_PLCView::Magnify);
    magnify_->setToolTip(QStringLiteral("Magnify"));
    magnify_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence::ZoomIn});
    reduce_ = zoom("Reduce", "Reduce the size of the diagram (See more objects in less detail)",
                   &COstra_PLCView::Reduce);
    reduce_->setToolTip(QStringLiteral("Reduce"));
    reduce_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    zoom("Zoom to &Fit\tCtrl+0", "Choose the largest zoom at which the whole sheet is in view",
         &COstra_PLCView::ZoomToFit)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    AddViewSwitch(view, "Zoom &keeps the centre",
                  "Magnify and Reduce keep the middle of the window in place; off, its "
                  "top-left corner",
                  "View", "ZoomKeepsCentre",
                  [](COstra_PLCView& v, bool on) { v.ZoomKeepsCentre = on; });
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
    QAction* problemsToggle = problems_->toggleViewAction();
    problemsToggle->setText(QStringLiteral("&Problems"));
    problemsToggle->setStatusTip(QStringLiteral("Show the findings of the wire checks and the compile"));
    view->addAction(problemsToggle);
    QAction* xrefToggle = xref_->toggleViewAction();
    xrefToggle->setText(QStringLiteral("Cross &References"));
    xrefToggle->setStatusTip(QStringLiteral("Show where each signal is driven and read"));
    view->addAction(xrefToggle);
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
    bar->addAction(magnify_);
    bar->addAction(reduce_);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(24, 24));
    standardBar_ = bar;
    standardActions_ = bar->actions();
    // What's This (Shift+F1) tells each command's prompt.
    for (QAction* a : findChildren<QAction*>())
        if (a->whatsThis().isEmpty() && !a->statusTip().isEmpty()) a->setWhatsThis(a->statusTip());
    file->actions().at(0)->setIconText(QStringLiteral("New"));
    file->actions().at(1)->setIconText(QStringLiteral("Open"));
    save->setIconText(QStringLiteral("Save"));
    print->setIconText(QStringLiteral("Print"));
    // Each button's icon: the desktop theme's where a freedesktop name fits,
    // ours otherwise and as the fallback. The caption stays as icon text.
    const std::pair<const char*, const char*> icons[] = {
        {"New", "document-new"},      {"Open", "document-open"},
        {"Save", "document-save"},    {"Print", "document-print"},
        {"Folder", "+folder"},        {"Processor", "+processor"},
        {"Wire Check", "+wire-check"}, {"Compile", "+compile"},
        {"Connect", "+connect"},      {"Upload", "+upload"},
        {"Verify", "+verify"},        {"Monitor", "+monitor"},
        {"Statistics", "+statistics"}, {"K-Factors", "+kfactors"},
        {"Trend", "+trend"},
        {"Block", "+block"},          {"Wires", "+wires"},
        {"Text", "+text"},            {"Lines", "+lines"},
        {"Magnify", "zoom-in"},       {"Reduce", "zoom-out"}};
    for (QAction* a : standardActions_) {
        for (const auto& [caption, name] : icons) {
            if (a->iconText() != QLatin1String(caption)) continue;
            const bool ours = name[0] == '+';
            const QString file = QString::fromLatin1(ours ? name + 1 : name);
            const QIcon own(QStringLiteral(":/icons/%1.svg").arg(file));
            a->setIcon(ours ? own : QIcon::fromTheme(file, own));
        }
    }
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

void CMainFrame::UpdateMenuForSheets() {
    fullMenu_ = tabs_->count() > 0;
    for (QAction* a : sheetOnly_) a->setVisible(fullMenu_);
    UpdateToolbarSeparators();
}

void CMainFrame::UpdateToolbarSeparators() {
    // One separator between two groups that each show a button, none else.
    QAction* lastSeparator = nullptr;
    bool anyShown = false;
    for (QAction* a : standardBar_->actions()) {
        if (a->isSeparator()) {
            a->setVisible(false);
            lastSeparator = a;
        } else if (a->isVisible()) {
            if (anyShown && lastSeparator) lastSeparator->setVisible(true);
            lastSeparator = nullptr;
            anyShown = true;
        }
    }
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
    UpdateToolbarSeparators();
    if (settings_)
        settings_->SetString("Toolbars", "StandardHidden",
                             hidden.join(QLatin1Char('|')).toStdString());
}

void CMainFrame::SetSettings(ISettings* settings) {
    settings_ = settings;
    ports_->SetSettings(settings);
    problems_->LoadWarnings(settings);
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
    if (settings_)
        for (const ViewSwitch& sw : switches_)
            sw.action->setChecked(settings_->GetInt(sw.section, sw.key, 1) != 0);
}

QAction* CMainFrame::AddViewSwitch(QMenu* menu, const char* text, const char* tip,
                                  const char* section, const char* key,
                                  std::function<void(COstra_PLCView&, bool)> apply) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setStatusTip(QString::fromUtf8(tip));
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::toggled, this, [this, section, key, apply](bool on) {
        for (int i = 0; i < tabs_->count(); ++i)
            if (auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i))) apply(*v, on);
        if (settings_) settings_->SetInt(section, key, on ? 1 : 0);
    });
    switches_.push_back({a, section, key, std::move(apply)});
    return a;
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
            pal.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
            pal.setColor(QPalette::ToolTipText, Qt::white);
            pal.setColor(QPalette::Light, QColor(80, 80, 80));
            pal.setColor(QPalette::Midlight, QColor(66, 66, 66));
            pal.setColor(QPalette::Mid, QColor(40, 40, 40));
            pal.setColor(QPalette::Dark, QColor(30, 30, 30));
            pal.setColor(QPalette::Shadow, QColor(15, 15, 15));
            // A command that cannot be used is dimmer than one that can, and
            // not etched: the etch would draw it bright on a dark window.
            for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                pal.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
            pal.setColor(QPalette::Disabled, QPalette::Light, QColor(53, 53, 53));
            pal.setColor(QPalette::Disabled, QPalette::Base, QColor(45, 45, 45));
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
    if (trendAction_) trendAction_->setEnabled(monitor_.monitoring);
    // The toolbar shares these actions, so its buttons follow too.
    const QList<QAction*> items = projectMenu_->actions();
    for (int i = 0; i < items.size() && i < CProjectMenu::kCount; ++i) {
        if (items[i]->isSeparator()) continue;
        items[i]->setChecked(project_.Menu.Checked(i));
        items[i]->setEnabled(project_.Menu.Enabled(i));
    }
}

}  // namespace ostra
