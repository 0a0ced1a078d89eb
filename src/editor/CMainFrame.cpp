// Main window, menus and status panes.
#include "editor/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>

#include "editor/CDlgSelProc.h"
#include "editor/COstra_PLCView.h"
#include "editor/SheetExport.h"
#include "platform/FileIO.h"
#include "platform/IMessageBox.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"

namespace ostra {

void DispatchCommandLine(COstraProject& project, IMessageBox& msg, const QStringList& args) {
    std::error_code ec;
    if (!args.isEmpty() && args[0].endsWith(QStringLiteral(".oxp"), Qt::CaseSensitive)) {
        project.OpenNamedProjectFile(std::filesystem::absolute(args[0].toStdString(), ec));
        return;
    }
    if (!args.isEmpty()) {
        auto doc = std::make_unique<COstra_PLCDoc>();
        const LoadResult r = doc->OnOpenDocument(args[0].toStdString());
        if (r.ok) {
            project.Sheets.push_back(std::move(doc));
            return;
        }
        msg.Show("The sheet " + args[0].toStdString() + " cannot be opened: " + r.Describe(),
                 "Ostra_PLC", MsgIcon::Exclamation, MsgButtons::Ok);
    }
    project.NewSheet();
}

CMainFrame::CMainFrame(COstraProject& project, IMessageBox& msg) : project_(project), msg_(msg) {
    setWindowTitle(QStringLiteral("Ostra_PLC"));
    tabs_ = new QTabWidget(this);
    tabs_->setDocumentMode(true);
    tabs_->setTabsClosable(true);
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseSheet(index); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        UpdatePanes();
        if (COstra_PLCView* v = ActiveView())
            setWindowTitle(QString::fromStdString(v->Document()->title) + " - Ostra_PLC");
    });
    BuildMenus();
    const auto initial = StatusPanes::InitialTexts();
    for (int i = 0; i < StatusPanes::kCount; ++i) {
        paneLabels_[i] = new QLabel(QString::fromStdString(initial[i]), this);
        paneLabels_[i]->setMinimumWidth(paneLabels_[i]->sizeHint().width());
        statusBar()->addPermanentWidget(paneLabels_[i]);
    }
    idle_ = new QTimer(this);
    connect(idle_, &QTimer::timeout, this, &CMainFrame::UpdatePanes);
    idle_->start(250);
    resize(1200, 800);
}

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
    for (const char* t : {"Co&nnect to target PLC", "&Upload to target", "&Verify target",
                          "&Monitor target signals"})
        projectMenu_->addAction(QString::fromUtf8(t));
    projectMenu_->addSeparator();
    projectMenu_->addAction(QStringLiteral("Processor &Statistics"));
    projectMenu_->addAction(QStringLiteral("&K-Factor Edit"));
    for (QAction* a : projectMenu_->actions()) a->setCheckable(!a->isSeparator());
    connect(projectMenu_, &QMenu::aboutToShow, this, &CMainFrame::ApplyProjectMenu);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "&New\tCtrl+N", "Create a new document", &CMainFrame::OnNew)
        ->setShortcut(QKeySequence::New);
    add(file, "&Open...\tCtrl+O", "Open an existing document", &CMainFrame::OnOpen)
        ->setShortcut(QKeySequence::Open);
    add(file, "&Save\tCtrl+S", "Save this Sheet to disk", [this] {
        OnSave(false);
    })->setShortcut(QKeySequence::Save);
    add(file, "Save &As...", "Save this Sheet to disk under a different name",
        [this] { OnSave(true); });
    file->addSeparator();
    add(file, "&Print...\tCtrl+P", "Print the active document", &CMainFrame::OnPrint)
        ->setShortcut(QKeySequence::Print);
    add(file, "Print Pre&view", "Display full pages", &CMainFrame::OnPrintPreview);
    add(file, "&Export...", "Export this sheet as PDF, SVG or PNG", &CMainFrame::OnExport);
    file->addSeparator();
    add(file, "E&xit", "Quit the application", [this] { close(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, "Magnify", "Magnifiy the diagram (See less objects in greater detail)", [this] {
        if (COstra_PLCView* v = ActiveView()) v->Magnify();
    });
    add(view, "Reduce", "Reduce the size of the diagram (See more objects in less detail)", [this] {
        if (COstra_PLCView* v = ActiveView()) v->Reduce();
    });
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
}

void CMainFrame::SetSettings(ISettings* settings) {
    settings_ = settings;
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
        auto* view = new COstra_PLCView(sheet.get(), tabs_);
        view->onPainted = [this] { AfterRepaint(); };
        tabs_->addTab(view, QString::fromStdString(sheet->title));
    }
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
    project_.FBCount = total;
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

void CMainFrame::OnNew() {
    project_.NewSheet();
    auto& sheet = *project_.Sheets.back();
    auto* view = new COstra_PLCView(&sheet, tabs_);
    view->onPainted = [this] { AfterRepaint(); };
    tabs_->setCurrentIndex(tabs_->addTab(view, QString::fromStdString(sheet.title)));
}

void CMainFrame::OnOpen() {
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open"), QString::fromStdString(project_.CurrentDir.string()),
        QStringLiteral("Ostra_PLC Diagrams (*.oxd)"));
    if (chosen.isEmpty()) return;
    auto doc = std::make_unique<COstra_PLCDoc>();
    const LoadResult r = doc->OnOpenDocument(chosen.toStdString());
    if (!r.ok) {
        msg_.Show("The sheet " + chosen.toStdString() + " cannot be opened: " + r.Describe(),
                  "Ostra_PLC", MsgIcon::Exclamation);
        return;
    }
    project_.Sheets.push_back(std::move(doc));
    auto* view = new COstra_PLCView(project_.Sheets.back().get(), tabs_);
    view->onPainted = [this] { AfterRepaint(); };
    tabs_->setCurrentIndex(
        tabs_->addTab(view, QString::fromStdString(project_.Sheets.back()->title)));
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
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintSheet(*v->Document(), printer);
}

void CMainFrame::OnPrintPreview() {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
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
    project_.WireCheckSheet(*v->Document());
    v->viewport()->update();
    UpdatePanes();
}

void CMainFrame::OnCompile() {
    project_.CompileAll();
    UpdatePanes();
}

}  // namespace ostra
