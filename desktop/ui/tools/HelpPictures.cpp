// Draws the help pages' layout pictures with the main window's own example painter:
// velmorade_help_pictures FOLDER writes one PNG per entry of kPictures into FOLDER.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <string>

#include "desktop/core/JobSetup.h"
#include "desktop/core/Tasks.h"
#include "desktop/ui/ExamplePicture.h"

using desktop::JobSetup;

namespace {

struct Picture {
    const char* file;
    std::function<void(JobSetup&)> set;
};

void Layout(JobSetup& s, const char* name) {
    s.processingType = name;
}
void Down(JobSetup& s) {
    s.typeAcross = desktop::kNotChosen;
    s.typeDown = desktop::kChosen;
}
void Duplex(JobSetup& s, desktop::DuplexOrder order) {
    s.typeAB = desktop::kNotChosen;
    s.duplex2Up = desktop::kChosen;
    s.ChooseOrder(order);
}

const Picture kPictures[] = {
    {"layout-1up-vertical", [](JobSetup& s) { Layout(s, "1up Split on Vertical"); }},
    {"layout-1up-horizontal", [](JobSetup& s) { Layout(s, "1up Split on Horizontal"); }},
    {"layout-2up", [](JobSetup& s) { Layout(s, "2up"); }},
    {"layout-2up-down", [](JobSetup& s) { Down(s); }},
    {"layout-2up-split",
     [](JobSetup& s) {
         s.typeAB = desktop::kNotChosen;
         s.typeSplit = desktop::kChosen;
     }},
    {"layout-2up-duplex-1243", [](JobSetup& s) { Duplex(s, desktop::DuplexOrder::Order1243); }},
    {"layout-2up-duplex-1423", [](JobSetup& s) { Duplex(s, desktop::DuplexOrder::Order1423); }},
    {"layout-2up-duplex-4123", [](JobSetup& s) { Duplex(s, desktop::DuplexOrder::Order4123); }},
    {"layout-2up-booklet", [](JobSetup& s) { Duplex(s, desktop::DuplexOrder::Order8127); }},
    {"layout-3up", [](JobSetup& s) { Layout(s, "3up"); }},
    {"layout-3up-down",
     [](JobSetup& s) {
         Layout(s, "3up");
         Down(s);
     }},
    {"layout-4up", [](JobSetup& s) { Layout(s, "4up"); }},
    {"layout-4up-down",
     [](JobSetup& s) {
         Layout(s, "4up");
         Down(s);
     }},
    {"layout-4up-duplex",
     [](JobSetup& s) {
         Layout(s, "4up");
         s.typeAB = desktop::kNotChosen;
         s.typeAB4 = desktop::kChosen;
     }},
    {"layout-6up-2x3", [](JobSetup& s) { Layout(s, "6up 2x3"); }},
    {"layout-6up-3x2", [](JobSetup& s) { Layout(s, "6up 3x2"); }},
    {"layout-8up-2x4", [](JobSetup& s) { Layout(s, "8up 2x4"); }},
    {"layout-8up-4x2", [](JobSetup& s) { Layout(s, "8up 4x2"); }},
    {"layout-10up-2x5", [](JobSetup& s) { Layout(s, "10up 2x5"); }},
    {"layout-10up-5x2", [](JobSetup& s) { Layout(s, "10up 5x2"); }},
    {"layout-12up-2x6", [](JobSetup& s) { Layout(s, "12up 2x6"); }},
    {"layout-12up-6x2", [](JobSetup& s) { Layout(s, "12up 6x2"); }},
    {"layout-12up-3x4", [](JobSetup& s) { Layout(s, "12up 3x4"); }},
    {"layout-12up-4x3", [](JobSetup& s) { Layout(s, "12up 4x3"); }},
    {"layout-rotate-odd",
     [](JobSetup& s) {
         s.rotateNone = desktop::kNotChosen;
         s.rotateOdd = desktop::kChosen;
     }},
    {"layout-duplicate", [](JobSetup& s) { s.duplicate = 1; }},
    {"layout-duplicate-rotate-left",
     [](JobSetup& s) {
         s.duplicate = 1;
         s.dupRotateLeft = 1;
     }},
    // The task pages: what the Task row's buttons set, with the paper the page names.
    {"task-booklet-a4",
     [](JobSetup& s) {
         s = desktop::ApplyTask(s, desktop::Task::Booklet).setup;
         s.sheet = "A4";
     }},
    {"task-cards", [](JobSetup& s) { s = desktop::ApplyTask(s, desktop::Task::Cards).setup; }},
    {"task-cards-backs",
     [](JobSetup& s) {
         s = desktop::ApplyTask(s, desktop::Task::Cards).setup;
         s.duplexBacks = 1;
     }},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmorade_help_pictures FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::string folder = argv[1];
    for (const Picture& picture : kPictures) {
        JobSetup setup;
        picture.set(setup);
        desktop::ui::ExamplePlan plan = desktop::ui::BuildExamplePlan(setup);
        QImage image(360, 230, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QPalette palette;
        palette.setColor(QPalette::WindowText, QColor(0x33, 0x33, 0x33));
        palette.setColor(QPalette::Mid, QColor(0x99, 0x99, 0x99));
        desktop::ui::PaintExample(painter, QRectF(0, 0, 360, 230), plan, palette);
        painter.end();
        std::string path = folder + "/" + picture.file + ".png";
        if (!image.save(QString::fromStdString(path))) {
            std::fprintf(stderr, "velmorade_help_pictures: can not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
