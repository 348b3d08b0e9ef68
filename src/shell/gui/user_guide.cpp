#include "shell/gui/user_guide.h"

#include <QMessageBox>
#include <QStringList>

#include "common/app_paths.h"

namespace quelm {

namespace {

QString Native(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

void Warn(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace

void OpenUserGuide(QWidget* parent, const std::filesystem::path& guide,
                   const std::vector<std::filesystem::path>& lookedIn, const UrlOpener& opener) {
    if (guide.empty()) {
        QStringList places;
        for (const auto& path : lookedIn) {
            places << Native(path);
        }
        Warn(parent, QStringLiteral("User Guide Not Found"),
             QStringLiteral("The user guide is not installed. It was looked for in:\n") +
                 places.join(QLatin1Char('\n')));
        return;
    }
    if (!opener.open || !opener.open(QUrl::fromLocalFile(Native(guide)))) {
        Warn(parent, QStringLiteral("User Guide Not Opened"),
             QStringLiteral("No program opened the user guide. Open it with a text editor or a "
                            "web browser:\n") +
                 Native(guide));
    }
}

void OpenUserGuide(QWidget* parent) {
    OpenUserGuide(parent, UserGuidePath(), UserGuideCandidates(ExecutableDir()));
}

}  // namespace quelm
