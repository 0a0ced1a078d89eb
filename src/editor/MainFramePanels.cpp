// The main window's Problems and Cross References panels and Find.
#include <QAction>
#include <QStatusBar>
#include <algorithm>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/ProblemPanels.h"
#include "model/SheetEditor.h"
#include "project/COstraProject.h"

namespace ostra {

void CMainFrame::BuildPanels() {
    problems_ = new CProblemsPanel(this);
    xref_ = new CXrefPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, problems_);
    addDockWidget(Qt::RightDockWidgetArea, xref_);
    problems_->hide();
    xref_->hide();
    problems_->onActivate = [this](const SheetPlace& p) { ShowPlace(p); };
    xref_->onActivate = [this](const SheetPlace& p) { ShowPlace(p); };
    problems_->onWarningsChanged = [this] { RefreshProblems(false); };
}

void CMainFrame::RefreshProblems(bool showWhenAny) {
    // Rows of sheets that have been closed go with them.
    std::vector<const COstra_PLCDoc*> open;
    for (const auto& s : project_.Sheets) open.push_back(s.get());
    auto isOpen = [&](const COstra_PLCDoc* d) {
        return std::find(open.begin(), open.end(), d) != open.end();
    };
    checkRows_.erase(std::remove_if(checkRows_.begin(), checkRows_.end(),
                                    [&](const auto& e) { return !isOpen(e.first); }),
                     checkRows_.end());
    std::vector<Problem> rows;
    for (const auto& [doc, found] : checkRows_) rows.insert(rows.end(), found.begin(), found.end());
    rows.insert(rows.end(), compileRows_.begin(), compileRows_.end());
    const std::vector<Problem> warnings = SheetWarnings(open, problems_->Warnings());
    rows.insert(rows.end(), warnings.begin(), warnings.end());
    const bool any = !rows.empty();
    problems_->SetRows(std::move(rows));
    if (showWhenAny && any) {
        problems_->show();
        problems_->raise();
    }
}

void CMainFrame::RefreshCrossReferences(bool fromSheets) {
    // After a check the sheets are newer than any compile; a Folder without
    // a compiled image has only its sheets.
    xref_->SetUses(fromSheets || project_.Tables.Empty() ? SheetCrossReferenceUses(project_)
                                                         : CrossReferenceUses(project_));
}

bool CMainFrame::ShowPlace(const SheetPlace& place) {
    for (int i = 0; i < tabs_->count(); ++i) {
        auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i));
        if (!v) continue;
        const COstra_PLCDoc* doc = v->Document();
        const bool same = place.sheetPath.empty() ? doc->title == place.sheet
                                                  : doc->pathName == place.sheetPath;
        if (!same) continue;
        tabs_->setCurrentIndex(i);
        CSheetEditor& ed = v->Editor();
        CPoint end = place.at;
        if (place.onSegment) {
            ed.SelectOnlySegment(place.at, place.end);
            end = place.end;
        } else if (place.textIndex >= 0) {
            ed.SelectOnlyText(static_cast<std::size_t>(place.textIndex));
        } else {
            ed.SelectOnlyBlock(place.ident);
        }
        v->ShowPlace(place.at, end);
        v->setFocus();
        UpdateEditActions();
        return true;
    }
    return false;
}

void CMainFrame::OnFind() {
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Find"), QStringLiteral("Block ident, signal name or text:"),
        QLineEdit::Normal, findText_, &ok);
    if (!ok || text.trimmed().isEmpty()) return;
    findIndex_ = -1;
    FindNext(text.trimmed());
}

bool CMainFrame::FindNext(const QString& text) {
    if (text != findText_) findIndex_ = -1;
    findText_ = text;
    if (text.isEmpty()) return false;
    // The sheets in tab order, so that F3 walks them as the user sees them.
    std::vector<const COstra_PLCDoc*> sheets;
    for (int i = 0; i < tabs_->count(); ++i)
        if (auto* v = qobject_cast<COstra_PLCView*>(tabs_->widget(i))) sheets.push_back(v->Document());
    const std::vector<SheetPlace> hits = FindInSheets(sheets, text.toStdString());
    if (hits.empty()) {
        findIndex_ = -1;
        msg_.Show("\"" + text.toStdString() + "\" was not found on the open sheets", "Find",
                  MsgIcon::Information, MsgButtons::Ok);
        return false;
    }
    findIndex_ = (findIndex_ + 1) % static_cast<int>(hits.size());
    ShowPlace(hits[static_cast<std::size_t>(findIndex_)]);
    statusBar()->showMessage(QStringLiteral("\"%1\": %2 of %3")
                                 .arg(text)
                                 .arg(findIndex_ + 1)
                                 .arg(hits.size()),
                             4000);
    return true;
}

}  // namespace ostra
