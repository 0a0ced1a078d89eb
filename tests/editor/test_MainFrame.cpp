// The main frame and the sheet view on the offscreen platform: opening the
// example, tabs, panes, zoom limits, pixel-to-grid mapping, drawing order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QLineEdit>
#include <QUrl>
#include <QWhatsThis>

#include "editor/CDlgCustomize.h"
#include "editor/CDlgFBLib.h"
#include "editor/CDlgSelProc.h"
#include "editor/CDlgWindows.h"
#include "editor/CMainFrame.h"
#include "editor/COstra_PLCView.h"
#include "editor/ProblemPanels.h"
#include "editor/SheetExport.h"
#include "model/SheetDrawing.h"
#include "platform/FileIO.h"
#include "platform/ISettings.h"
#include "project/COstraProject.h"
#include "support/ExampleFrame.h"
#include "support/QtWaits.h"
#include "support/Recorders.h"
#include "support/TestFiles.h"

namespace ostra {
namespace {

TEST(View, PixelToGridFollowsTheScrollPosition) {
    COstra_PLCDoc doc;
    COstra_PLCView view(&doc);
    view.resize(200, 200);
    view.UpdateScrollSizes();
    EXPECT_TRUE(view.PixelToGrid({12, 3}) == CPoint(2, 0) &&
                view.PixelToGrid({3, 4}) == CPoint(0, 1));
    view.horizontalScrollBar()->setValue(80);
    EXPECT_EQ(view.PixelToGrid({12, 3}), CPoint(12, 0));
    // Half a step rounds away from zero, on either side of it.
    for (const auto& [n, q] : {std::pair{4, 1}, {11, 1}, {-4, -1}, {-3, 0}})
        EXPECT_EQ(COstra_PLCView::RoundDiv(n, 8), q) << n;
}

QImage RenderSheet(COstra_PLCDoc& doc, int scale, bool printing = false) {
    QImage img(140 * scale, 95 * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    COstra_PLCView view(&doc);
    QPainter p(&img);
    view.Render(p, scale, printing);
    return img;
}

TEST(View, WiresAreDrawnOverBlocks) {
    COstra_PLCDoc doc;
    doc.blocks.push_back(std::make_unique<COxFunc>("TON", CPoint(10, 10)));
    doc.blocks[0]->body = {0, 0, 6, 4}, doc.blocks[0]->symbolFlag = false;
    // A wire across the block's body, on the row of its top edge.
    doc.segments.push_back(std::make_unique<COxWireSeg>(CPoint(5, 9), CPoint(25, 9)));
    const QImage img = RenderSheet(doc, 8);
    // Where the blue outline runs under the wire, the wire's black is on top.
    EXPECT_EQ(img.pixelColor(13 * 8, 9 * 8), QColor(Qt::black));
    // The sheet frame is blue at the origin; printing shifts it by (2, 5) units.
    EXPECT_EQ(img.pixelColor(40, 0), QColor(0, 0, 255));
    const QImage printed = RenderSheet(doc, 8, true);
    EXPECT_TRUE(printed.pixelColor(16 + 40, 40) == QColor(0, 0, 255) &&
                printed.pixelColor(40, 0) == QColor(Qt::white));
    // The view on screen draws it unshifted, as the window shows the sheet.
    COstra_PLCView view(&doc);
    view.resize(300, 200);
    EXPECT_EQ(view.viewport()->grab().toImage().pixelColor(40, 0), QColor(0, 0, 255));
}

// PDF and PNG go through the same ExportSheet as the command line's helper,
// whose test checks the files' kinds; the PNG is the reference pictures' too.
TEST(Printing, ExportToPdfSvgAndPng) {
    COstra_PLCDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::Examples() / "TankPlant" / "Sheet_01.oxd").ok);
    test::TempDir dir;
    QString error;
    const auto to = [&dir](const char* name) {
        return QString::fromStdString((dir / name).string());
    };
    EXPECT_TRUE(ExportSheet(doc, to("sheet.svg"), "svg", &error)) << error.toStdString();
    EXPECT_FALSE(ExportSheet(doc, to("x.bmp"), "bmp", &error));
    // 4960 / 126 = 39.37; with no device, 24
    EXPECT_TRUE(PrintScale(4960) == 39 && PrintScale(125) == 0 && PrintScale(0) == 24);
}

// Share of pixels that differ clearly (a channel by more than 64) between
// two images of one size; 1 when the sizes differ.
double DifferingShare(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return 1.0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    long differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (std::abs(qRed(p[col]) - qRed(q[col])) > 64 ||
                std::abs(qGreen(p[col]) - qGreen(q[col])) > 64 ||
                std::abs(qBlue(p[col]) - qBlue(q[col])) > 64)
                ++differing;
        }
    }
    return static_cast<double>(differing) / (static_cast<double>(x.width()) * x.height());
}

QImage Rendered(COstra_PLCDoc& doc, const test::TempDir& dir) {
    const auto path = dir / "render.png";
    QString error;
    EXPECT_TRUE(ExportSheet(doc, QString::fromStdString(path.string()), "png", &error))
        << error.toStdString();
    return QImage(QString::fromStdString(path.string()));
}

// The example sheets drawn as on paper against committed pictures, so that any change in drawing is
// seen. OSTRA_UPDATE_REFERENCES=1 rewrites them after a deliberate change.
TEST(Drawing, ExampleSheetsMatchTheirReferencePictures) {
    test::TempDir dir;
    const bool update = qEnvironmentVariable("OSTRA_UPDATE_REFERENCES") == QStringLiteral("1");
    for (const char* name : {"Sheet_01", "Sheet_02"}) {
        COstra_PLCDoc doc;
        ASSERT_TRUE(
            doc.OnOpenDocument(test::Examples() / "TankPlant" / (std::string(name) + ".oxd")).ok);
        const QImage image = Rendered(doc, dir);
        const QString reference =
            QString::fromStdString((test::TestData() / "render" / (std::string(name) + ".png")).string());
        if (update) {
            ASSERT_TRUE(image.save(reference));
            continue;
        }
        const QImage expected(reference);
        ASSERT_FALSE(expected.isNull()) << "missing " << reference.toStdString();
        // Room for anti-aliasing and font hinting, not for a missing element
        // (the sheet without its wires differs by more).
        EXPECT_LT(DifferingShare(image, expected), 0.001) << name;
    }
}

TEST(Dialogs, SelectProcessorListsTheLibrariesByName) {
    test::TempDir dir;
    for (const char* f : {"KMRU-02.oxl", "KMRU-01.old.oxl", "notes.txt", "A1.oxl"})
        test::WriteBytes(dir / f, "");
    CDlgSelProc dialog(dir.Path());
    QListWidget* list = dialog.List();
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    EXPECT_EQ(names, (QStringList{"A1", "KMRU-01", "KMRU-02"}));
    list->setCurrentRow(2);
    dialog.done(QDialog::Rejected);  // Cancel takes the selection too
    EXPECT_EQ(dialog.Chosen(), "KMRU-02");
}

TEST(Dialogs, FunctionBlockLibraryTreeDescriptionAndPicture) {
    CFuncLibrary lib;
    test::RecordingMessageBox box;
    ASSERT_TRUE(lib.ReadFuncLibrary("KMRU-01.oxl", test::Examples(), box));
    CDlgFBLib dialog(lib);
    dialog.Rebuild();
    dialog.show();
    QTreeWidget* tree = dialog.Tree();
    int headings = 0;
    for (const auto& e : lib.LibTree) headings += e->Kind == CFuncTreeItem::kHeading;
    EXPECT_EQ(tree->topLevelItem(0)->text(0) + "/" + tree->topLevelItem(0)->child(0)->text(0) +
                  QString(" %1").arg(tree->topLevelItemCount()),
              QString("Terminals/TERMIN %1").arg(headings));
    const auto found = tree->findItems("TON", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    tree->setCurrentItem(found[0]);
    EXPECT_TRUE(lib.SelectedLibFunc == lib.FindFunc("TON") &&
                dialog.Description().startsWith("On delay."));
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(lib.SelectedLibFunc, nullptr);

    // Typing filters by name and description; Return takes the first match.
    QTest::keyClicks(dialog.FilterBox(), "ON DELAY");
    int shown = 0;
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NotHidden); *it; ++it)
        shown += (*it)->childCount() == 0;
    EXPECT_EQ(shown, 1);
    QTest::keyClick(dialog.FilterBox(), Qt::Key_Return);
    EXPECT_EQ(lib.SelectedLibFunc, lib.FindFunc("TON"));
    dialog.FilterBox()->clear();
    EXPECT_FALSE(tree->findItems("TOF", Qt::MatchExactly | Qt::MatchRecursive)[0]->isHidden());
    // A double click chooses; the next dialog opens on the type chosen.
    QTreeWidgetItem* tof = tree->findItems("TOF", Qt::MatchExactly | Qt::MatchRecursive)[0];
    tree->scrollToItem(tof);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                       tree->visualItemRect(tof).center());
    EXPECT_TRUE(dialog.result() == QDialog::Accepted && lib.SelectedLibFunc == lib.FindFunc("TOF"));
    CDlgFBLib again(lib);
    again.Rebuild("TOF");
    ASSERT_NE(again.Tree()->currentItem(), nullptr);
    EXPECT_EQ(again.Tree()->currentItem()->text(0), "TOF");
}

class FrameTest : public ::testing::Test, public test::ExampleFrame {};

TEST_F(FrameTest, OpeningTheExampleShowsItsSheetsAndPanes) {
    project.OpenNamedProjectFile(work / "project.oxp");
    frame.RebuildTabs();
    frame.UpdatePanes();
    EXPECT_TRUE(frame.TabCount() == 2 && box.messages.empty());
    EXPECT_EQ(frame.Panes().texts[StatusPanes::kCompiled], "COMPILED OK");
    ASSERT_EQ(frame.RecentFiles().Entries().size(), 2u);  // Folder's sheets are recent files
    EXPECT_EQ(std::filesystem::path(frame.RecentFiles().Entries()[0]).filename(), "Sheet_02.oxd");
    const auto* idle = frame.statusBar()->findChild<QLabel*>("idlePrompt");
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->text(), "For Help, press F1");
    // The lock-key panes close the row; where the window system cannot be
    // asked (offscreen) they stay dimmed.
    QStringList last;
    for (QLabel* l : frame.statusBar()->findChildren<QLabel*>()) last << l->text();
    EXPECT_EQ(last.mid(last.size() - 3), (QStringList{"CAP", "NUM", "SCRL"}));
    EXPECT_FALSE(frame.statusBar()->findChild<QLabel*>("CAP")->isEnabled());

    // Magnify and Reduce are offered only while there is a step to take.
    QAction* magnify = nullptr;
    QAction* reduce = nullptr;
    for (QAction* a : frame.StandardBar()->actions()) {
        if (a->iconText() == "Magnify") magnify = a;
        if (a->iconText() == "Reduce") reduce = a;
    }
    ASSERT_TRUE(magnify && reduce);
    EXPECT_TRUE(magnify->isEnabled());
    magnify->trigger();
    ASSERT_TRUE(Activate());
    for (int i = 0; i < 3; ++i) QTest::keyClick(&frame, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_TRUE(frame.ActiveView()->Scale() == 16 && !magnify->isEnabled() && reduce->isEnabled());
    QTest::keyClick(&frame, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(frame.ActiveView()->Scale(), 13);
    for (int i = 0; i < 7; ++i) reduce->trigger();
    EXPECT_FALSE(reduce->isEnabled());
}

// A finding leads to its object in one double-click, across tabs; the clean
// example leaves the Problems panel empty and lists its signals.
TEST_F(FrameTest, ProblemsCrossReferencesAndFindLeadToTheObject) {
    Open();
    frame.OnCompile();
    CProblemsPanel& problems = *frame.ProblemsPanel();
    EXPECT_TRUE(problems.Rows().empty() && !problems.isVisible());
    QTreeWidget& xref = *frame.XrefPanel()->Tree();
    ASSERT_EQ(xref.findItems("LEVEL", Qt::MatchExactly).size(), 1u);
    QTest::keyClicks(frame.XrefPanel()->Filter(), "lev");
    int shown = 0;
    for (int i = 0; i < xref.topLevelItemCount(); ++i) shown += !xref.topLevelItem(i)->isHidden();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(frame.Tabs()->tabToolTip(1).toStdString(), (work / "Sheet_02.oxd").string());
    EXPECT_EQ(CDlgWindows(frame).List()->item(1)->toolTip(), frame.Tabs()->tabToolTip(1));

    // A dangling wire on the second sheet, checked there, looked at from the first.
    frame.Tabs()->setCurrentIndex(1);
    COstra_PLCDoc& second = *project.Sheets[1];
    second.segments.push_back(std::make_unique<COxWireSeg>(CPoint(100, 70), CPoint(110, 70)));
    frame.OnWireCheck();
    ASSERT_TRUE(problems.isVisible());
    frame.grab();  // lays the panel out
    ASSERT_TRUE(problems.Rows().size() == 1u && problems.Rows()[0].sheet == "Sheet_02");
    frame.Tabs()->setCurrentIndex(0);
    QTreeWidget& rows = *problems.Tree();
    // A double click as the window system delivers it.
    const QPoint at = rows.visualItemRect(rows.topLevelItem(0)).center();
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                           QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, QPointF(at), rows.viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(rows.viewport(), &e);
    }
    COstra_PLCView& view = *frame.ActiveView();
    EXPECT_TRUE(view.Document() == &second && view.Editor().SelCount == 1);
    for (const auto& seg : second.segments)
        EXPECT_EQ(seg->selected, seg->start == problems.Rows()[0].at);
    const QRect flash = view.FlashRect();
    ASSERT_FALSE(flash.isNull());
    // As near the middle as the scroll range allows: in view, whole.
    const QRect seen(QPoint(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()),
                     view.viewport()->size());
    EXPECT_TRUE(seen.contains(flash)) << seen.x() << "," << seen.y();
    // The severity filter hides it; copying gives the compiler-style line.
    EXPECT_EQ(problems.RowsAsText(false).toStdString(),
              ProblemLine(problems.Rows()[0]) + "\n");
    problems.SeverityFilter()->setCurrentIndex(2);
    EXPECT_TRUE(rows.topLevelItem(0)->isHidden());
    // Moving the wire undoes the check: its row goes.
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_TRUE(second.checkState == 0 && problems.Rows().empty());

    // Return on a pin of the cross references goes to its block.
    frame.XrefPanel()->Filter()->clear();
    QTreeWidgetItem* level = xref.findItems("LEVEL", Qt::MatchExactly)[0];
    xref.expandItem(level);
    xref.setCurrentItem(level->child(0));
    QTest::keyClick(&xref, Qt::Key_Return);
    EXPECT_EQ(frame.ActiveView()->Editor().SelCount, 1);
    const std::string ident = level->child(0)->text(2).section('.', 0, 0).toStdString();
    bool found = false;
    for (const auto& b : frame.ActiveView()->Document()->blocks) found |= b->selected && b->ident == ident;
    EXPECT_TRUE(found) << ident;

    // Find walks the hits over the open sheets; F3 goes on, and with nothing
    // to find yet it asks what.
    frame.Tabs()->setCurrentIndex(0);
    ASSERT_TRUE(Activate());
    test::WhenModal<QInputDialog>([](QInputDialog* d) {
        d->setTextValue("LT101");
        d->accept();
    });
    frame.ActiveView()->Editor().SelectOnlyBlock("");  // nothing selected
    QTest::keyClick(&frame, Qt::Key_F3);
    EXPECT_TRUE(frame.ActiveView()->Document() == project.Sheets[0].get() &&
                frame.ActiveView()->Editor().SelCount == 1);
    for (const auto& b : project.Sheets[0]->blocks) EXPECT_EQ(b->selected, b->ident == "LT101");
    box.messages.clear();
    EXPECT_FALSE(frame.FindNext("NO SUCH THING"));
    EXPECT_TRUE(box.messages.size() == 1u && box.messages[0].caption == "Find");

    // Two open sheets of one name: their tabs tell the folders.
    std::filesystem::create_directory(work / "other");
    std::filesystem::copy_file(work / "Sheet_01.oxd", work / "other" / "Sheet_01.oxd");
    ASSERT_TRUE(frame.OpenSheetFile(QString::fromStdString((work / "other" / "Sheet_01.oxd").string())));
    EXPECT_EQ((frame.Tabs()->tabText(0) + "|" + frame.Tabs()->tabText(1) + "|" + frame.Tabs()->tabText(2)).toStdString(),
              "Sheet_01 (" + work.Path().filename().string() + ")|Sheet_02*|Sheet_01 (other)");
}

TEST_F(FrameTest, PlcFullWarnsWithTheRepaintOncePerBlockCount) {
    project.OpenNamedProjectFile(work / "project.oxp");
    project.Library.MaxFBlocks = 16;  // just reached
    frame.RebuildTabs();
    frame.resize(800, 600);
    frame.show();
    frame.grab();
    QApplication::processEvents();
    EXPECT_EQ(test::Said(box), "Limit is 16: you have 16 Function Blocks|PLC Full|1|0");
    frame.grab();
    QApplication::processEvents();
    EXPECT_TRUE(box.messages.size() == 1u && project.FBCount == 16);
}

// Compile offers to save the sheets with changes: Cancel stops, Yes saves
// them and compiles, No compiles what is open.
TEST_F(FrameTest, CompileOffersToSaveTheSheetsWithChanges) {
    Open();
    COstra_PLCDoc& doc = *project.Sheets[1];
    doc.modified = true;
    box.answers = {MsgResult::Cancel};
    frame.OnCompile();
    EXPECT_EQ(test::Said(box),
              "Save the sheets with changes before compiling?\n    Sheet_02|Compile|2|4");
    EXPECT_TRUE(doc.modified);
    std::filesystem::remove(work / "fblock.lst");
    box.answers = {MsgResult::Yes, MsgResult::Ok};
    frame.OnCompile();
    EXPECT_TRUE(!doc.modified && std::filesystem::exists(work / "fblock.lst"));
    doc.modified = true;
    box.messages.clear();
    box.answers = {MsgResult::No, MsgResult::Ok};
    frame.OnCompile();
    EXPECT_TRUE(doc.modified &&
                box.messages.size() == 2u);  // the question, then the compile's result
}

// Sheets with changes are copied aside; what a run that died left is offered
// back, opening with its changes and its own path.
TEST_F(FrameTest, SheetsWithChangesAreKeptAndOfferedAfterACrash) {
    Open();
    test::TempDir dir;
    const auto folder = dir / "recovery";
    frame.SetRecoveryFolder(folder);
    project.Sheets[0]->modified = true;
    frame.KeepRecoveryCopies();
    EXPECT_EQ(ListFolder(folder, ".oxd").size(), 1u);
    project.Sheets[0]->modified = false;  // saved meanwhile: the copy goes
    frame.KeepRecoveryCopies();
    EXPECT_EQ(ListFolder(folder, ".oxd").size(), 0u);
    COstra_PLCDoc lost;
    ASSERT_TRUE(lost.OnOpenDocument(work / "Sheet_02.oxd").ok);
    lost.texts.clear();
    test::WriteBytes(folder / "2147483000.run", "2147483000");
    test::WriteBytes(folder / "2147483000-0.oxd", lost.SaveToBytes());
    test::WriteBytes(folder / "2147483000-0.txt", (work / "Sheet_09.oxd").u8string() + "\nSheet_09\n");
    box.answers = {MsgResult::Yes};
    frame.OfferRecovery();
    EXPECT_TRUE(box.messages.back().caption == "Recovery" &&
                box.messages.back().text.find("\n    Sheet_09 (") != std::string::npos);
    ASSERT_EQ(frame.TabCount(), 3);
    const COstra_PLCDoc& back = *project.Sheets.back();
    EXPECT_EQ(back.title + " " + back.pathName.string(), "Sheet_09 " + (work / "Sheet_09.oxd").string());
    // Kept again, by this run.
    EXPECT_TRUE(back.modified && back.texts.empty() &&
                !std::filesystem::exists(folder / "2147483000-0.oxd") &&
                ListFolder(folder, ".oxd").size() == 1u);
}

// A PNG's size is its resolution: asked for, kept, and Cancel writes nothing.
TEST_F(FrameTest, ExportAsPngAsksItsResolution) {
    Open();
    frame.SetSettings(&settings);
    test::TempDir dir;
    const QString png = QString::fromStdString((dir / "sheet.png").string());
    test::WhenModal<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->intValue(), 150);
        d->setIntValue(75);
        d->accept();
    });
    frame.ExportTo(png, "");
    EXPECT_TRUE(QImage(png).width() == kExportWidth / 2 &&
                settings.GetInt("Export", "PngDpi", 0) == 75);
    QFile::remove(png);
    test::WhenModal<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->intValue(), 75);
        d->reject();
    });
    frame.ExportTo(png, "");
    EXPECT_FALSE(QFile::exists(png));
}

TEST_F(FrameTest, ClosingASheetWithChangesAsksToSaveThem) {
    project.OpenNamedProjectFile(work / "project.oxp");
    frame.RebuildTabs();
    for (auto& s : project.Sheets) s->modified = true;
    box.answers = {MsgResult::Cancel};
    EXPECT_TRUE(!frame.CloseSheet(0) && frame.TabCount() == 2);
    EXPECT_EQ(test::Said(box.messages.back()), "Save changes to Sheet_01?|Ostra_PLC|1|4");
    box.answers = {MsgResult::No};
    EXPECT_TRUE(frame.CloseSheet(0) && frame.TabCount() == 1 && project.Sheets.size() == 1u);
    // A file another program wrote since it was opened is not overwritten
    // unasked: No keeps the sheet open and the file as it is.
    const auto path = project.Sheets[0]->pathName;
    project.Sheets[0]->blocks.clear();
    const std::string theirs = test::ReadBytes(path) + "\r\n";
    test::WriteBytes(path, theirs);
    box.answers = {MsgResult::Yes, MsgResult::No};
    EXPECT_FALSE(frame.CloseSheet(0));
    EXPECT_EQ(box.messages.back().text, PathText(path) + " was changed on disk after " +
                                            project.Sheets[0]->title +
                                            " was opened here.\nOverwrite it with this sheet?");
    EXPECT_EQ(test::ReadBytes(path), theirs);
    // Yes saves the sheet to its file first.
    box.answers = {MsgResult::Yes, MsgResult::Yes};
    EXPECT_TRUE(frame.CloseSheet(0) && frame.TabCount() == 0);
    COstra_PLCDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(path).ok);
    EXPECT_TRUE(reread.blocks.empty());
}

// The sheet's own menu: Save writes the sheet's file without asking for a
// name; Save As asks, and the sheet goes on in the new file.
TEST_F(FrameTest, TheSheetMenuSavesAndSavesAs) {
    Open();
    COstra_PLCView& view = *frame.ActiveView();
    COstra_PLCDoc& doc = *view.Document();
    const std::filesystem::path first = doc.pathName, second = work / "Copy.oxd";
    doc.texts.clear();
    doc.modified = true;
    const auto fromMenu = [&view](Qt::Key key) {
        test::WhenShown([key](QWidget* w) { QTest::keyClick(qobject_cast<QMenu*>(w), key); });
        test::Press(view, QPoint(0, 0), Qt::RightButton);
    };
    // A name dialog where none belongs is answered with Cancel, and noted.
    auto asked = std::make_shared<bool>(false), armed = std::make_shared<bool>(true);
    QTimer::singleShot(2000, [asked, armed] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); d && *armed)
            *asked = true, d->reject();
    });
    fromMenu(Qt::Key_S);
    *armed = false;
    EXPECT_FALSE(*asked || doc.modified);
    COstra_PLCDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(first).ok);
    EXPECT_TRUE(reread.texts.empty());

    test::WhenModal<QFileDialog>([second](QFileDialog* d) {
        // A name field that has the focus keeps what it holds (here the sheet's
        // own name, which would bring up the question to replace it).
        if (QWidget* focus = d->focusWidget()) focus->clearFocus();
        d->selectFile(QString::fromStdString(second.string()));
        EXPECT_EQ(d->selectedFiles().value(0).toStdString(), second.string());
        static_cast<QDialog*>(d)->done(QDialog::Accepted);  // as its Save button, without questions
    });
    fromMenu(Qt::Key_A);
    EXPECT_TRUE(doc.pathName == second && std::filesystem::exists(second));
}

TEST_F(FrameTest, ApplicationLookIsStoredAndRestored) {
    frame.SetSettings(&settings);
    EXPECT_EQ(frame.AppLook(), 210);  // the default
    frame.OnApplicationLook(216);
    EXPECT_TRUE(settings.GetInt("", "ApplicationLook", 0) == 216 &&
                QApplication::palette().color(QPalette::Window) == QColor(53, 53, 53));
    CMainFrame again(project, box);
    again.SetSettings(&settings);
    EXPECT_EQ(again.AppLook(), 216);
    again.OnApplicationLook(205);
    EXPECT_NE(QApplication::palette().color(QPalette::Window), QColor(53, 53, 53));

    // In every look the sheet stays paper and ink, and a command that cannot
    // be used is drawn with less contrast than one that can.
    Open();
    COstra_PLCView& view = *frame.ActiveView();
    const auto contrast = [](QPalette::ColorGroup g) {
        const QPalette pal = QApplication::palette();
        return std::abs(pal.color(g, QPalette::ButtonText).lightness() -
                        pal.color(QPalette::Active, QPalette::Button).lightness());
    };
    for (int look : {205, 206, 207, 208, 209, 210, 219, 215, 216, 217, 218}) {
        frame.OnApplicationLook(look);
        const QImage sheet = view.viewport()->grab().toImage();
        EXPECT_EQ(sheet.pixelColor(3, 3), QColor(Qt::white)) << look;
        EXPECT_LT(contrast(QPalette::Disabled) + 40, contrast(QPalette::Active)) << look;
    }
    frame.OnApplicationLook(210);
}

TEST_F(FrameTest, CommandLine) {
    // No argument: a new sheet with the next free number of the current folder.
    DispatchCommandLine(project, box, {});
    ASSERT_EQ(project.Sheets.size(), 1u);
    EXPECT_EQ(project.Sheets[0]->title, "Sheet_03");
    project.Sheets.clear();
    frame.OnNew();  // File > New: the same number, in a tab
    EXPECT_TRUE(frame.TabCount() == 1 && frame.ActiveView()->Document()->title == "Sheet_03");
    ASSERT_TRUE(frame.CloseSheet(0));
    project.Sheets.clear();
    // A sheet path.
    DispatchCommandLine(project, box, {QString::fromStdString((work / "Sheet_02.oxd").string())});
    ASSERT_EQ(project.Sheets.size(), 1u);
    EXPECT_EQ(project.Sheets[0]->title, "Sheet_02");
    project.Sheets.clear();
    // ".OXP" in capitals is a sheet name: it cannot be read as one.
    test::WriteBytes(work / "PROJECT.OXP", test::ReadBytes(work / "project.oxp"));
    DispatchCommandLine(project, box, {QString::fromStdString((work / "PROJECT.OXP").string())});
    // Said so, and a new sheet instead.
    EXPECT_TRUE(box.messages.size() == 1u &&
                box.messages[0].text.find("cannot be opened") != std::string::npos &&
                project.Sheets.size() == 1u);
    project.Sheets.clear();
    box.messages.clear();
    // A project: its folder becomes current, its sheets open, the image loads.
    DispatchCommandLine(project, box, {QString::fromStdString((work / "project.oxp").string())});
    EXPECT_TRUE(project.CurrentDir == work.Path() && project.Sheets.size() == 2u && !project.Tables.fbs.empty() &&
                box.messages.empty());
}

QStringList VisibleItems(QAction* popup) {
    QStringList items;
    for (QAction* a : popup->menu()->actions())
        if (a->isVisible() && !a->isSeparator()) items << a->text();
    return items;
}

TEST_F(FrameTest, ShorterMenuWhileNoSheetIsOpen) {
    EXPECT_FALSE(frame.ShowsFullMenu());
    EXPECT_EQ(VisibleItems(MenuNamed("&Project")), QStringList{"&Folder"});
    EXPECT_EQ(
        VisibleItems(MenuNamed("&File")),
        (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "P&rint Setup...", "E&xit"}));
    EXPECT_TRUE(!MenuNamed("&Window")->isVisible() && MenuNamed("&Help")->isVisible());
    // The toolbar: an icon on every button, the short text as its tip, and
    // no separator without buttons on both sides.
    const auto shownBar = [this] {
        QStringList row;
        for (QAction* a : frame.StandardBar()->actions()) {
            if (a->isSeparator() || !a->isVisible()) {
                if (a->isVisible()) row << "|";
                continue;
            }
            EXPECT_FALSE(a->icon().pixmap(24, 24).isNull()) << a->iconText().toStdString();
            EXPECT_FALSE(a->icon().pixmap(48, 48).isNull()) << a->iconText().toStdString();
            row << a->iconText();
        }
        return row;
    };
    EXPECT_EQ(shownBar(), (QStringList{"New", "Open", "|", "Folder", "|", "Block", "Wires", "Text",
                                       "Lines"}));
    frame.OnNew();
    EXPECT_EQ(shownBar().size(), 27);
    EXPECT_EQ(frame.StandardBar()->actions().at(5)->toolTip(), "Folder");
    EXPECT_TRUE(frame.ShowsFullMenu() && MenuNamed("&Window")->isVisible() &&
                VisibleItems(MenuNamed("&Project")).size() == 11);  // and Trend
    box.answers = {MsgResult::No};
    EXPECT_TRUE(frame.CloseSheet(0) && !frame.ShowsFullMenu() &&
                frame.windowTitle() == "Ostra_PLC");
}

// Folder to a project without a processor or sheets: the panes and commands
// speak of it, not of the project before.
TEST_F(FrameTest, PanesAndCommandsFollowAFolderWithoutProcessor) {
    Open();
    frame.ActiveView()->Editor().MouseMove({}, CPoint(80, 80));
    test::TempDir other;
    box.answers = {MsgResult::Ok};
    frame.OpenFolder(other / "project.oxp");
    const auto& t = frame.Panes().texts;
    EXPECT_EQ(t[StatusPanes::kProc] + "|" + t[StatusPanes::kBlocks], "PROC: ?|FB's: 0");
    EXPECT_TRUE(frame.TabCount() == 0 && frame.EditPane()->text().isEmpty());
    QAction* close = nullptr;
    for (QAction* a : MenuNamed("&File")->menu()->actions())
        if (a->text() == "&Close") close = a;
    ASSERT_NE(close, nullptr);
    const bool enabledBefore = close->isEnabled();
    frame.OnNew();
    EXPECT_TRUE(!enabledBefore && close->isEnabled());
}

TEST_F(FrameTest, OpenedSheetsAreRememberedAndNotLoadedTwice) {
    frame.SetSettings(&settings);
    project.CurrentDir = work.Path();
    const QString sheet1 = QString::fromStdString((work / "Sheet_01.oxd").string());
    const QString sheet2 = QString::fromStdString((work / "Sheet_02.oxd").string());
    ASSERT_TRUE(frame.OpenSheetFile(sheet1) && frame.OpenSheetFile(sheet2));
    EXPECT_TRUE(frame.OpenSheetFile(sheet1));  // brought forward, not loaded again
    EXPECT_TRUE(frame.TabCount() == 2 && frame.ActiveView()->Document()->title == "Sheet_01" &&
                frame.windowTitle() == "Sheet_01 - Ostra_PLC");
    ASSERT_EQ(frame.RecentFiles().Entries().size(), 2u);
    EXPECT_EQ(frame.RecentFiles().Entries()[0], sheet1.toStdString());
    EXPECT_EQ(settings.GetString("Recent File List", "File2"), sheet2.toStdString());
    // A damaged file is reported; the open sheets and the list stay as they were.
    test::WriteBytes(work / "Broken.oxd", "\x05\x00garbage");
    EXPECT_FALSE(frame.OpenSheetFile(QString::fromStdString((work / "Broken.oxd").string())));
    EXPECT_TRUE(box.messages.size() == 1u &&
                box.messages[0].text.find("cannot be opened") != std::string::npos &&
                frame.TabCount() == 2 && frame.RecentFiles().Entries().size() == 2u);
    // The list comes back with the next start.
    CMainFrame again(project, box);
    again.SetSettings(&settings);
    EXPECT_EQ(again.RecentFiles().Entries(), frame.RecentFiles().Entries());
}

TEST_F(FrameTest, WindowsDialogActivatesAndClosesSheets) {
    project.OpenNamedProjectFile(work / "project.oxp");
    frame.RebuildTabs();
    frame.OnNew();  // Sheet_03, active
    {
        CDlgWindows dialog(frame);
        ASSERT_EQ(dialog.List()->count(), 3);
        EXPECT_EQ(dialog.List()->currentRow(), 2);
        dialog.List()->setCurrentRow(0);
        dialog.Activate();
        EXPECT_EQ(frame.ActiveView()->Document()->title, "Sheet_01");
    }
    CDlgWindows dialog(frame);
    project.Sheets[1]->modified = true;
    dialog.List()->clearSelection();  // the active sheet comes selected
    dialog.List()->item(1)->setSelected(true);
    dialog.List()->item(2)->setSelected(true);
    box.answers = {MsgResult::Cancel};  // Sheet_02 is kept at its prompt
    dialog.CloseSelected();
    ASSERT_TRUE(frame.TabCount() == 2 && dialog.List()->count() == 2);
    EXPECT_EQ(dialog.List()->item(1)->text(), "Sheet_02*");  // marked: unsaved changes
}

TEST_F(FrameTest, ToolbarButtonsCanBeHiddenAndTheChoiceIsKept) {
    frame.SetSettings(&settings);
    auto captions = [](QToolBar* bar) {
        QStringList out;
        for (QAction* a : bar->actions())
            out << (a->isSeparator() ? QStringLiteral("|") : a->iconText());
        return out;
    };
    const QStringList all = captions(frame.StandardBar());
    ASSERT_TRUE(all.contains("Print") && all.contains("Monitor"));
    {
        // The dialog lists every button; unticking one hides it.
        CDlgCustomize dialog(frame.StandardBar()->actions(), {});
        ASSERT_EQ(dialog.List()->count(), 21);  // 4 file, 10 project, trend, 4 placing, 2 zoom
        for (int i = 0; i < dialog.List()->count(); ++i)
            if (dialog.List()->item(i)->text() == "Print")
                dialog.List()->item(i)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(dialog.Hidden(), QStringList{"Print"});
    }
    frame.SetToolbarHidden({"Print", "New", "Open", "Save"});
    QStringList now = captions(frame.StandardBar());
    EXPECT_TRUE(!now.contains("Print") && now.first() != "|");  // no separator left in front
    EXPECT_EQ(settings.GetString("Toolbars", "StandardHidden", ""), "Print|New|Open|Save");

    CMainFrame second(project, box);
    second.SetSettings(&settings);
    EXPECT_EQ(captions(second.StandardBar()), now);
    second.SetToolbarHidden({});
    EXPECT_EQ(captions(second.StandardBar()), all);
}

TEST_F(FrameTest, F6StepsThroughTheSheetsAndTheGuidesAreFound) {
    project.OpenNamedProjectFile(work / "project.oxp");
    frame.RebuildTabs();
    frame.show();
    // Shortcuts go to the active window.
    ASSERT_TRUE(Activate() && frame.Tabs()->currentIndex() == 0);
    QString visited;
    for (const auto m : {Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier}) {
        QTest::keyClick(&frame, Qt::Key_F6, m);
        visited += QString::number(frame.Tabs()->currentIndex());
    }
    EXPECT_TRUE(visited == "101" && QFileInfo::exists(frame.GuideFolder() + "/controller.md"));

    // Shift+F1: What's This, which tells the commands' prompts.
    QTest::keyClick(&frame, Qt::Key_F1, Qt::ShiftModifier);
    const bool whatsThis = QWhatsThis::inWhatsThisMode();
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_TRUE(whatsThis && !frame.ActiveView()->whatsThis().isEmpty());
    EXPECT_EQ(frame.StandardBar()->actions().first()->whatsThis(), "Create a new document");
}

TEST_F(FrameTest, DroppedFilesOpenAsSheets) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString((work / "Sheet_02.oxd").string()))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window's event handler: the application would only pass
    // on a drop that a real drag had started.
    static_cast<QObject&>(frame).event(&drop);
    ASSERT_EQ(frame.TabCount(), 1);
    EXPECT_EQ(frame.ActiveView()->Document()->title, "Sheet_02");
}

}  // namespace
}  // namespace ostra
