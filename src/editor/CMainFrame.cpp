// Main window: tabs of sheets, file, print and project commands.
#include "editor/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMimeData>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QTimer>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <algorithm>

#include "editor/CDlgFBLib.h"
#include "editor/CDlgSelProc.h"
#include "editor/COstra_PLCView.h"
#include "editor/ProblemPanels.h"
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
    portDialog_ = new CDlgCommport(*ports_, msg_, this);
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
    BuildPanels();
    BuildMenus();
    BuildStatusBar();
    resize(1200, 800);
    UpdateMenuForSheets();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::UpdateTitle() {
    // The active sheet's name before the program's, as the document windows show it.
    const COstra_PLCView* v = ActiveView();
    setWindowTitle(v ? QString::fromStdString(v->Document()->title) + QStringLiteral(" - Ostra_PLC")
                     : QStringLiteral("Ostra_PLC"));
    // A sheet with unsaved changes is marked on its tab; the tool tip tells
    // its folder, and so does the tab when another open sheet has its name.
    for (int i = 0; i < tabs_->count(); ++i) {
        if (const auto* view = qobject_cast<COstra_PLCView*>(tabs_->widget(i))) {
            const COstra_PLCDoc* doc = view->Document();
            QString text = QString::fromStdString(doc->title);
            const std::filesystem::path folder = doc->pathName.parent_path();
            if (!folder.empty() && SheetTitleShared(i))
                text += QStringLiteral(" (%1)").arg(QString::fromStdString(folder.filename().string()));
            if (doc->modified) text += QStringLiteral("*");
            if (tabs_->tabText(i) != text) tabs_->setTabText(i, text);
            tabs_->setTabToolTip(i, QString::fromStdString(
                                        doc->pathName.empty() ? std::string("Not saved yet")
                                                              : PathText(doc->pathName)));
        }
    }
}

bool CMainFrame::SheetTitleShared(int tab) const {
    const auto* mine = qobject_cast<COstra_PLCView*>(tabs_->widget(tab));
    for (int i = 0; mine && i < tabs_->count(); ++i) {
        const auto* other = qobject_cast<COstra_PLCView*>(tabs_->widget(i));
        if (i != tab && other && other->Document()->title == mine->Document()->title) return true;
    }
    return false;
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

void CMainFrame::RebuildTabs() {
    {
        // The old views may show sheets the project has already let go of:
        // nothing may look at them while they are taken down.
        const QSignalBlocker quiet(tabs_);
        while (tabs_->count() > 0) {
            QWidget* w = tabs_->widget(0);
            tabs_->removeTab(0);
            delete w;
        }
    }
    for (auto& sheet : project_.Sheets) {
        COstra_PLCView* view = NewView(sheet.get());
        tabs_->addTab(view, QString::fromStdString(sheet->title));
        // Sheets opened by Folder or the command line are recent files too.
        if (!sheet->pathName.empty()) NoteRecent(sheet->pathName.string());
    }
    // Another project: its image's cross references, no findings yet.
    checkRows_.clear();
    compileRows_.clear();
    RefreshCrossReferences();
    RefreshProblems(false);
    UpdateMenuForSheets();
    UpdateTitle();
    UpdatePanes();
}

COstra_PLCView* CMainFrame::ActiveView() const {
    return qobject_cast<COstra_PLCView*>(tabs_->currentWidget());
}

int CMainFrame::TabCount() const {
    return tabs_->count();
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
    OpenFolder(path);
}

void CMainFrame::OpenFolder(const std::filesystem::path& path) {
    // Another project: the controller holds the old one's program.
    std::error_code ec;
    if (!path.empty() && !std::filesystem::equivalent(path.parent_path(), project_.CurrentDir, ec))
        Disconnect();
    project_.OpenProjectFolder(path);
    imageStale_ = false;
    // A project that names no processor leaves none loaded: the panes and
    // the block limit must not speak of the last project's.
    if (project_.ProjCtrl.Processor.empty()) {
        project_.Library.Clear();
        project_.Library.ProcessorName.clear();
        project_.Library.MaxFBlocks = CFuncLibrary::kDefaultMaxFBlocks;
        project_.Library.MaxKFacts = 0;
    }
    project_.FBCount = 0;
    for (const auto& s : project_.Sheets) project_.FBCount += static_cast<int32_t>(s->blocks.size());
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
    for (const ViewSwitch& sw : switches_) sw.apply(*view, sw.action->isChecked());
    view->onPainted = [this] { AfterRepaint(); };
    view->onMonitorTick = [this, view] { MonitorTick(view); };
    ViewServices s;
    s.msg = &msg_;
    s.library = &project_.Library;
    s.runLibraryDialog = [this] {
        CDlgFBLib dialog(project_.Library, this);
        dialog.Rebuild(lastLibraryChoice_);
        if (dialog.exec() != QDialog::Accepted) return false;
        if (const COxFunc* f = project_.Library.SelectedLibFunc)
            lastLibraryChoice_ = QString::fromStdString(f->functionType);
        return true;
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
        imageStale_ = true;
    }
    // The rows of a check that an edit has undone would lead to places that
    // may be gone; the sheet's warnings wait for its next passed check.
    const COstra_PLCDoc* doc = view->Document();
    const auto& rows = problems_->Rows();
    const bool shown = std::any_of(rows.begin(), rows.end(), [doc](const Problem& p) {
        return p.sheetPath == doc->pathName && p.sheet == doc->title;
    });
    if (doc->checkState == 0 && shown) {
        checkRows_.erase(std::remove_if(checkRows_.begin(), checkRows_.end(),
                                        [doc](const auto& e) { return e.first == doc; }),
                         checkRows_.end());
        RefreshProblems(false);
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
    // Another program (or another window of this one) may have written the
    // file since it was read here: overwriting it loses that, so ask.
    if (path == doc.pathName && doc.diskStamp.exists && StampOf(path) != doc.diskStamp &&
        msg_.Show(PathText(path) + " was changed on disk after " + doc.title +
                      " was opened here.\nOverwrite it with this sheet?",
                  "Ostra_PLC", MsgIcon::Exclamation, MsgButtons::YesNo) != MsgResult::Yes)
        return false;
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
    if (recovery_) recovery_->Drop(&doc);
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
    if (recovery_) recovery_->Drop(doc);
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
    if (recovery_) recovery_->Close();  // a clean exit: nothing to recover
    e->accept();
}

void CMainFrame::SetRecoveryFolder(const std::filesystem::path& folder) {
    recovery_ = std::make_unique<CRecovery>(folder);
    recovery_->Open();
    if (!autosave_) {
        autosave_ = new QTimer(this);
        connect(autosave_, &QTimer::timeout, this, &CMainFrame::KeepRecoveryCopies);
    }
    autosave_->start(kAutosaveMs);
}

void CMainFrame::KeepRecoveryCopies() {
    if (!recovery_) return;
    for (int i = 0; i < tabs_->count(); ++i) {
        auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i));
        if (!v) continue;
        COstra_PLCDoc* doc = v->Document();
        if (!doc->modified) {
            recovery_->Drop(doc);
            continue;
        }
        std::string why;
        if (!recovery_->Keep(doc, *doc, &why) && !recoveryWarned_) {
            // Said once: the copies are a safety net, not the user's files.
            recoveryWarned_ = true;
            statusBar()->showMessage(
                QStringLiteral("Recovery copies cannot be kept: ") + QString::fromStdString(why),
                10000);
        }
    }
}

void CMainFrame::OfferRecovery() {
    if (!recovery_) return;
    const std::vector<RecoveredSheet> left = recovery_->Left();
    if (left.empty()) return;
    std::string list;
    for (const RecoveredSheet& s : left)
        list += "\n    " + s.title + (s.original.empty() ? "" : " (" + PathText(s.original) + ")");
    const MsgResult answer = msg_.Show(
        "Ostra_PLC did not end normally. These sheets had changes that were not saved:" + list +
            "\n\nRestore them? They open with their changes, to be saved where they came from.",
        "Recovery", MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgResult::Yes) {
        for (const RecoveredSheet& s : left) {
            auto doc = std::make_unique<COstra_PLCDoc>();
            const LoadResult r = doc->OnOpenDocument(s.copy);
            if (!r.ok) {
                msg_.Show("The recovered copy of " + s.title + " cannot be read: " + r.Describe(),
                          "Recovery", MsgIcon::Exclamation, MsgButtons::Ok);
                continue;
            }
            doc->pathName = s.original;
            doc->title = s.title;
            doc->modified = true;
            doc->diskStamp = {};  // what stood on disk then is not known
            project_.Sheets.push_back(std::move(doc));
        }
        RebuildTabs();
        KeepRecoveryCopies();  // this run's copies now, before the old ones go
    }
    recovery_->Discard(left);
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
    if (!chosen.isEmpty()) ExportTo(chosen, filter.left(3).toLower());
}

void CMainFrame::ExportTo(const QString& path, const QString& filterFormat) {
    COstra_PLCView* v = ActiveView();
    if (!v) return;
    QString format = QFileInfo(path).suffix().toLower();
    if (format.isEmpty()) format = filterFormat;
    int dpi = kPngDpiDefault;
    if (format == QLatin1String("png")) {
        // A picture's size is its resolution; the last one chosen is offered.
        const int last = settings_ ? settings_->GetInt("Export", "PngDpi", kPngDpiDefault)
                                   : kPngDpiDefault;
        bool ok = false;
        dpi = QInputDialog::getInt(this, QStringLiteral("Export as PNG"),
                                   QStringLiteral("Resolution (dots per inch):"),
                                   std::clamp(last, kPngDpiMin, kPngDpiMax), kPngDpiMin,
                                   kPngDpiMax, 10, &ok);
        if (!ok) return;
        if (settings_) settings_->SetInt("Export", "PngDpi", dpi);
    }
    QString error;
    if (!ExportSheet(*v->Document(), path, format, &error, dpi))
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
    const COstra_PLCDoc* doc = v->Document();
    auto it = std::find_if(checkRows_.begin(), checkRows_.end(),
                           [doc](const auto& e) { return e.first == doc; });
    if (it == checkRows_.end()) it = checkRows_.insert(checkRows_.end(), {doc, {}});
    it->second = CheckProblems(*doc);
    RefreshCrossReferences(true);
    RefreshProblems(true);
    editor.ResetForNewContent();
    v->ClearMonitorDrawing();
    v->viewport()->update();
    UpdateEditActions();
    UpdateTitle();
    UpdatePanes();
}

void CMainFrame::OnCompile() {
    // As an IDE's build: sheets with changes are offered for saving first,
    // so that the listings and the image match the files. No compiles what
    // is open, as it stands.
    std::vector<COstra_PLCView*> unsaved;
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i)))
            if (v->Document()->modified) unsaved.push_back(v);
    if (!unsaved.empty()) {
        std::string names;
        for (const COstra_PLCView* v : unsaved) names += "\n    " + v->Document()->title;
        const MsgResult answer =
            msg_.Show("Save the sheets with changes before compiling?" + names, "Compile",
                      MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel) return;
        if (answer == MsgResult::Yes)
            for (COstra_PLCView* v : unsaved)
                if (!SaveView(*v, false)) return;
    }
    // A new signal table renumbers the signals being polled.
    StopMonitoring();
    project_.CompileAll();
    if (project_.Menu.Checked(CProjectMenu::kCompile)) imageStale_ = false;
    compileRows_ = CompileProblems(project_);
    RefreshCrossReferences();
    RefreshProblems(true);
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
