#include "desktop/ui/DesktopServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace desktop::ui {

namespace {

constexpr int kOpenerAnswerMilliseconds = 3000;

}  // namespace

// An opener that ends at once with a failure found no program for the target; one still running
// after a moment has handed the target over (it is left to end on its own).
bool OpenWith(const QString& program, const QString& target) {
    auto* process = new QProcess(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(program, QStringList{target});
    if (!process->waitForStarted(3000)) {
        process->deleteLater();
        return false;
    }
    if (!process->waitForFinished(kOpenerAnswerMilliseconds)) return true;
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

bool OpenWithDesktop(const std::string& nameOrAddress) {
    QString target = QString::fromStdString(nameOrAddress);
    for (const char* program : {"xdg-open", "sensible-browser", "x-www-browser"}) {
        if (OpenWith(QString::fromLatin1(program), target)) return true;
    }
    return false;
}

std::string NothingOpensText(const std::string& nameOrAddress) {
    return "No program could open " + nameOrAddress +
           ".\n\nInstall a program for it, or the desktop's opener (xdg-utils) and a web browser.";
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
