// Takes screenshots of the windows under a real X server (scripts/screenshots runs it under
// Xvfb): velmorade_screenshots FOLDER INPUT.pdf [CARD.pdf] writes main-2up.png, main-booklet.png,
// main-6up-down.png, main-sheet.png, preview-sheets.png, preview.png, duplex-mode.png,
// conversion-mode.png, conversion-options.png, email.png, folder-dialog.png, batch.png,
// scanning.png, main-running.png, done-message.png, task-booklet.png, task-cards.png,
// task-book.png, task-poster.png, main-marks.png, tab-template.png, presets-menu.png,
// preview-smallest.png and about.png into FOLDER, and with a card main-cards.png (the card repeated
// on A4 with backs, bleed and crop marks).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <string>

#include "desktop/core/Presets.h"
#include "desktop/core/QuietUiPort.h"
#include "desktop/core/UiTexts.h"
#include "desktop/ui/BatchWindow.h"
#include "desktop/ui/ConversionOptionsDialog.h"
#include "desktop/ui/FolderDialog.h"
#include "desktop/ui/MainWindow.h"
#include "desktop/ui/PreviewPane.h"
#include "desktop/ui/QtText.h"
#include "desktop/ui/SmallDialogs.h"
#include "desktop/ui/WatchFolderDialog.h"

using namespace desktop;
using namespace desktop::ui;

namespace {

QString g_folder;

void Settle(int milliseconds = 400) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool WaitForPreview(PreviewPane* pane) {
    QElapsedTimer clock;
    clock.start();
    Settle(200);
    while (pane->Busy() || (!pane->HasPicture() && pane->Note().isEmpty())) {
        if (clock.elapsed() > 30000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    Settle(300);
    return true;
}

void Shot(QWidget* widget, const char* name) {
    widget->raise();
    widget->activateWindow();
    Settle();
    QPixmap pixmap;
    if (widget->isWindow()) {
        pixmap = widget->screen()->grabWindow(widget->winId());
    }
    if (pixmap.isNull() || pixmap.width() < 10) pixmap = widget->grab();
    if (widget->isWindow()) {
        // Xvfb runs no window manager: a caption bar with the window's title is drawn above
        // the picture, so that the title can be checked too.
        QPixmap framed(pixmap.width(), pixmap.height() + 26);
        framed.fill(QColor(0x3c, 0x3f, 0x44));
        QPainter painter(&framed);
        painter.drawPixmap(0, 26, pixmap);
        painter.setPen(Qt::white);
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRect(8, 0, pixmap.width() - 16, 26), Qt::AlignVCenter | Qt::AlignLeft,
                         widget->windowTitle());
        painter.end();
        pixmap = framed;
    }
    QString path = g_folder + '/' + QString::fromLatin1(name) + QStringLiteral(".png");
    if (!pixmap.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    std::printf("%s %dx%d\n", qPrintable(path), pixmap.width(), pixmap.height());
}

// A long job caught while it cleans its input: the bar names the step and stands between two
// of its positions. The input is the sample's pages forty times over (made by qpdf); the job is
// cancelled once the shot is taken, and what the window says then is closed.
void ShotWhileCleaning(MainWindow& window, const QString& input, const QString& work) {
    QString longInput = work + QStringLiteral("/long.pdf");
    QStringList arguments{QStringLiteral("--empty"), QStringLiteral("--pages")};
    for (int copy = 0; copy < 40; ++copy) arguments << input;
    arguments << QStringLiteral("--") << longInput;
    if (QProcess::execute(QStringLiteral("qpdf"), arguments) != 0) return;
    JobSetup saved = window.Setup();
    window.Setup().inFile = longInput.toStdString();
    window.Setup().outFile = (work + QStringLiteral("/long-2up.pdf")).toStdString();
    window.Setup().dontCleanFile = 0;
    window.ShowValues();
    QProgressBar* bar = window.Controls().progress;
    bool shot = false;
    QTimer watch;
    watch.callOnTimeout([&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                box->accept();
        }
        if (!shot && bar->format() == QStringLiteral("Cleaning input") &&
            bar->value() % kBarUnitsPerStep >= kBarUnitsPerStep / 4) {
            shot = true;
            Shot(&window, "main-running");
            window.Port().RequestCancel();
        }
    });
    watch.start(20);
    window.Controls().impose->click();  // returns when the job has ended
    watch.stop();
    if (!shot) std::fprintf(stderr, "the cleaning was not caught half done\n");
    window.Setup() = saved;
    window.ShowValues();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: velmorade_screenshots FOLDER INPUT.pdf [CARD.pdf]\n");
        return 2;
    }
    QApplication application(argc, argv);
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    QString input = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    QTemporaryDir config;
    ConfigFolder place(config.path().toStdString(), config.path().toStdString());
    // A conversion.ini so that the window opens without its message.
    WriteConversionIni(place.PathOf(kConversionIniName), ConversionSettings{});

    MainWindow window(place);
    window.Start();
    window.resize(1180, 720);
    window.move(0, 0);
    window.show();
    window.Setup().inFile = input.toStdString();
    window.Setup().outFile = (QDir::homePath() + QStringLiteral("/sample-2up.pdf")).toStdString();
    window.ShowValues();
    window.RefreshPictures();
    WaitForPreview(window.Controls().preview);
    Shot(&window, "main-2up");
    Shot(window.Controls().preview, "preview");
    ShotWhileCleaning(window, input, config.path());

    JobSetup& setup = window.Setup();
    setup.typeAB = kNotChosen;
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    setup.automaticAddBlanks = 1;
    setup.outFile = (QDir::homePath() + QStringLiteral("/sample-booklet.pdf")).toStdString();
    window.ShowValues();
    window.RefreshPictures();
    WaitForPreview(window.Controls().preview);
    Shot(&window, "main-booklet");

    setup = JobSetup{};
    setup.inFile = input.toStdString();
    setup.processingType = "6up 3x2";
    setup.typeAcross = kNotChosen;
    setup.typeDown = kChosen;
    setup.rotateNone = kNotChosen;
    setup.rotateEven = kChosen;
    window.ShowValues();
    window.RefreshPictures();
    WaitForPreview(window.Controls().preview);
    Shot(&window, "main-6up-down");

    // A booklet on A4 with its marks and creep, and the preview zoomed out to every sheet.
    setup = JobSetup{};
    setup.inFile = input.toStdString();
    setup.typeAB = kNotChosen;
    setup.duplex2Up = kChosen;
    setup.ChooseOrder(DuplexOrder::Order8127);
    setup.automaticAddBlanks = 1;
    setup.dontCleanFile = 1;
    setup.sheet = "A4";
    setup.fitToSheet = 1;
    setup.outerMargin = 18;
    setup.gutter = 12;
    setup.cropMarks = 1;
    setup.foldMarks = 1;
    setup.creep = "0.2";
    window.ShowValues();
    window.RefreshPictures();
    window.Controls().preview->Sheets()->SetZoomStep(3);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "main-sheet");
    Shot(window.Controls().preview, "preview-sheets");
    window.Controls().preview->Sheets()->SetZoomStep(0);
    Settle();
    Shot(window.Controls().preview, "preview-smallest");

    // The task row: a click sets the controls and says what it set.
    setup = JobSetup{};
    setup.inFile = input.toStdString();
    window.ShowValues();
    window.ApplyTaskChoice(Task::Booklet);
    window.Controls().preview->Sheets()->SetZoomStep(5);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "task-booklet");
    window.ApplyTaskChoice(Task::Cards);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "task-cards");
    window.ApplyTaskChoice(Task::Book);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "task-book");
    window.ApplyTaskChoice(Task::Poster);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "task-poster");

    // The press sheet: a slug, registration marks and a colour bar on A4 sheets.
    setup = JobSetup{};
    setup.inFile = input.toStdString();
    setup.dontCleanFile = 1;
    setup.sheet = "A4";
    setup.fitToSheet = 1;
    setup.cropMarks = 1;
    setup.slug = "{file} {date} sheet {sheet} of {sheets} {side}";
    setup.regMarks = 1;
    setup.colorBar = 1;
    window.ShowValues();
    window.RefreshPictures();
    window.Controls().sheetTabs->setCurrentIndex(kMarksTab);
    WaitForPreview(window.Controls().preview);
    Shot(&window, "main-marks");
    window.Controls().sheetTabs->setCurrentIndex(kTemplateTab);
    Shot(window.Controls().sheetTabs, "tab-template");
    window.Controls().sheetTabs->setCurrentIndex(kSheetTab);

    // The Presets menu open over the window, with two saved presets.
    Presets presets(place);
    presets.Save("Booklet A5 on A4", ApplyTask(JobSetup{}, Task::Booklet).setup);
    presets.Save("Business cards 85 x 55", ApplyTask(JobSetup{}, Task::Cards).setup);
    {
        QMenu* menu = window.Actions().presets;
        QRect bar = window.menuBar()->actionGeometry(menu->menuAction());
        menu->popup(window.menuBar()->mapToGlobal(bar.bottomLeft()));
        Settle();
        QPixmap screen = window.screen()->grabWindow(0);
        QRect area = window.frameGeometry().united(menu->geometry()).intersected(screen.rect());
        QString path = g_folder + QStringLiteral("/presets-menu.png");
        screen.copy(area.adjusted(0, 0, 0, 0)).save(path);
        std::printf("%s\n", qPrintable(path));
        menu->hide();
    }

    if (argc == 4) {
        setup = JobSetup{};
        setup.inFile = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath().toStdString();
        setup.dontCleanFile = 1;
        setup.sheet = "A4";
        setup.repeat = 1;
        setup.bleed = "3";
        setup.cropMarks = 1;
        setup.duplexBacks = 1;
        setup.flip = "short";
        window.ShowValues();
        window.RefreshPictures();
        WaitForPreview(window.Controls().preview);
        Shot(&window, "main-cards");
    }
    window.Controls().preview->Sheets()->SetZoomStep(5);

    {
        DuplexModeWindow dialog(DuplexModeDialog::Open(window.Setup()), &window);
        dialog.show();
        Shot(&dialog, "duplex-mode");
    }
    {
        ConversionModeDialog start;
        start.offsetSplit = 6;
        ConversionModeWindow dialog(start, &window);
        dialog.show();
        Shot(&dialog, "conversion-mode");
    }
    {
        QuietUiPort quiet;
        ConversionOptionsDialog dialog(window.Conversion(), place, quiet, &window);
        dialog.ChoosePaper(PairName::Image, QStringLiteral("A4"));
        dialog.show();
        Shot(&dialog, "conversion-options");
    }
    {
        EmailAddressWindow dialog(&window);
        dialog.AddressEdit()->setText(QStringLiteral("me@example.com"));
        dialog.show();
        Shot(&dialog, "email");
    }
    {
        FolderDialog dialog(QStringLiteral("Folder to save documents to..."),
                            QStringLiteral("Please choose your folder to save documents to..."),
                            QDir::homePath(), &window);
        dialog.show();
        Shot(&dialog, "folder-dialog");
    }
    BatchWindow* batch = window.PrepareList();
    batch->move(40, 40);
    batch->AddPaths({input, QStringLiteral("/srv/scans/annual report 2025.pdf"),
                     QStringLiteral("/srv/scans/letters.docx"),
                     QStringLiteral("/srv/scans/flyer.pdf")});
    batch->ToggleRow(2);
    batch->SetRowStatus(0, "Done");
    batch->SetRowStatus(1, "file error");
    batch->SetOutputFolder(QDir::homePath().toStdString() + "/imposed");
    Shot(batch, "batch");
    batch->Scanning()->ShowFolder(QStringLiteral("/srv/scans/2025/march"));
    batch->Scanning()->show();
    batch->Scanning()->move(80, 80);
    Shot(batch->Scanning(), "scanning");
    batch->Scanning()->hide();
    batch->hide();

    WatchFolderDialog* watch = window.WatchFolder();
    watch->FolderEdit()->setText(QDir::homePath() + QStringLiteral("/hot/booklets"));
    watch->move(60, 60);
    Shot(watch, "watch-folder");
    watch->hide();

    {
        QMessageBox about(QMessageBox::Information, Q(kAboutTitle), Q(kAboutText), QMessageBox::Ok,
                          &window);
        about.show();
        Shot(&about, "about");
    }

    QMessageBox box(&window);
    box.setWindowTitle(QStringLiteral("Velmora Desktop Edition"));
    box.setText(QStringLiteral("Done!"));
    box.show();
    Shot(&box, "done-message");
    box.hide();

    window.close();
    return 0;
}
