#include "desktop/ui/DesktopServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace desktop::ui {

namespace {

Opener& TestOpener() {
    static Opener opener;
    return opener;
}

}  // namespace

void SetOpenerForTesting(Opener opener) {
    TestOpener() = std::move(opener);
}

bool OpenWithDesktop(const std::string& nameOrAddress) {
    if (TestOpener()) return TestOpener()(nameOrAddress);
    QString target = QString::fromStdString(nameOrAddress);
    for (const char* program : {"xdg-open", "sensible-browser", "x-www-browser"}) {
        if (QProcess::startDetached(QString::fromLatin1(program), QStringList{target})) return true;
    }
    return false;
}

std::string HelpFolder() {
    QStringList candidates;
    if (const QByteArray env = qgetenv("VELMORA_HELP_DIR"); !env.isEmpty())
        candidates << QString::fromLocal8Bit(env);
    QString bin = QCoreApplication::applicationDirPath();
    candidates << bin + QStringLiteral("/../share/velmora/help");
    for (const QString& folder : candidates) {
        QFileInfo index(folder + QStringLiteral("/index.html"));
        if (index.exists())
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath()).toStdString();
    }
    return {};
}

std::string HelpIndex() {
    std::string folder = HelpFolder();
    return folder.empty() ? std::string() : folder + "/index.html";
}

}  // namespace desktop::ui
