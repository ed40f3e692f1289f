#include "qt/QtFileDialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>

#include "qt/Latin1.h"

namespace qtgui {

using namespace platform;

namespace {

// "All Files (*.*)", NUL, "*.*", NUL, NUL as Qt's name filters. "*.*" means
// every file, with or without a dot.
QStringList nameFilters(const std::string& filter) {
    QStringList out;
    std::size_t pos = 0;
    while (pos < filter.size() && filter[pos] != '\0') {
        const std::size_t descEnd = filter.find('\0', pos);
        if (descEnd == std::string::npos) break;
        const std::size_t patEnd = filter.find('\0', descEnd + 1);
        if (patEnd == std::string::npos) break;
        QString desc = fromLatin1(filter.substr(pos, descEnd - pos));
        QString patterns = fromLatin1(filter.substr(descEnd + 1, patEnd - descEnd - 1)).replace(';', ' ');
        patterns.replace(QLatin1String("*.*"), QLatin1String("*"));
        if (desc.endsWith(')') && desc.contains('(')) desc = desc.left(desc.lastIndexOf('(')).trimmed();
        out << QString("%1 (%2)").arg(desc, patterns);
        pos = patEnd + 1;
    }
    return out;
}

// The dialog as the hooks see it: window 1 is a child inside the dialog,
// window 2 the dialog itself.
class HookWindows : public IDialogWindow {
public:
    explicit HookWindows(QWidget* dialog) : m_dialog(dialog) {}
    WindowHandle parentOf(WindowHandle window) override { return window == 1 ? 2 : 0; }
    Rect desktopRect() override {
        const QRect r = QGuiApplication::primaryScreen()->geometry();
        return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    Rect windowRect(WindowHandle window) override {
        const QRect r = window == 2 ? m_dialog->frameGeometry() : m_dialog->geometry();
        return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    void moveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t, bool) override {
        if (window == 2) m_dialog->move(x, y);
    }

private:
    QWidget* m_dialog;
};

QWidget* ownerOf(WindowHandle handle) {
    if (handle == 0) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (QtFileDialogs::handleOf(w) == handle) return w;
    return nullptr;
}

}  // namespace

platform::WindowHandle QtFileDialogs::handleOf(QWidget* window) {
    return window && window->internalWinId() ? static_cast<platform::WindowHandle>(window->internalWinId() & 0x7FFFFFFF)
                                             : 0;
}

bool QtFileDialogs::isWindow(platform::WindowHandle window) { return window != 0 && ownerOf(window) != nullptr; }

bool QtFileDialogs::run(OpenFileNameRequest& request, bool save) {
    QFileDialog dialog(ownerOf(request.hwndOwner));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(fromLatin1(request.lpstrTitle));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode((request.Flags & kOfnAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                                  : QFileDialog::ExistingFile);
    if (!(request.Flags & kOfnOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = nameFilters(request.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.nFilterIndex >= 1 && request.nFilterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.nFilterIndex - 1]);
    }
    if (!request.lpstrInitialDir.empty()) dialog.setDirectory(pathText(request.lpstrInitialDir));
    const std::string proposed = request.lpstrFile.substr(0, request.lpstrFile.find('\0'));
    if (!proposed.empty()) dialog.selectFile(pathText(proposed));
    if (!request.lpstrDefExt.empty()) dialog.setDefaultSuffix(fromLatin1(request.lpstrDefExt));

    if (request.lpfnHook) {
        dialog.resize(dialog.sizeHint());
        HookWindows windows(&dialog);
        // The Explorer-style hook is given a window inside the dialog.
        const std::int32_t given = (request.Flags & kOfnExplorer) ? 1 : 2;
        request.lpfnHook(windows, given, kWmInitDialog, 0, 0);
    }
    if (dialog.exec() != QDialog::Accepted) return false;

    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    std::string file, title;
    if (chosen.size() == 1 || !(request.Flags & kOfnAllowMultiSelect)) {
        file = pathBytes(chosen.first());
        title = pathBytes(QFileInfo(chosen.first()).fileName());
    } else {
        file = pathBytes(QFileInfo(chosen.first()).absolutePath());
        for (const QString& name : chosen) file += '\0' + pathBytes(QFileInfo(name).fileName());
        file += '\0';
        title = pathBytes(QFileInfo(chosen.first()).fileName());
    }
    // A choice that does not fit the buffers fails as the platform's dialog does.
    const auto maxFile = static_cast<std::size_t>(std::max(request.nMaxFile, 0));
    const auto maxTitle = static_cast<std::size_t>(std::max(request.nMaxFileTitle, 0));
    if (file.size() + 1 > maxFile || title.size() + 1 > maxTitle) return false;
    request.lpstrFile = file + std::string(maxFile - file.size(), '\0');
    request.lpstrFileTitle = title + std::string(maxTitle - title.size(), '\0');
    return true;
}

}  // namespace qtgui
