// The file requesters over QFileDialog.
// Implements: openFileRequester (one or several existing files), saveFileRequester (a file
// name in a folder, with the proposed name); start at the default path when it exists; paths
// handed over as the file system's bytes (QFile::encodeName / decodeName), so that every name
// the file system holds comes back in the form that opens it.

#include "toolkit/requesters.h"

#include "toolkit/application.h"
#include "toolkit/file_selection.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/requester_script.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <string>
#include <vector>

namespace {

RequesterQuestion fileQuestion(RequesterKind kind, const char* title, const char* defaultPath, int flags)
{
    RequesterQuestion question;
    question.kind = kind;
    question.title = title ? title : "";
    question.defaultText = defaultPath ? defaultPath : "";
    question.flags = flags;
    return question;
}

std::vector<std::string> fileSystemPaths(const QStringList& files)
{
    std::vector<std::string> paths;
    for (const QString& file : files) {
        const QByteArray bytes = QFile::encodeName(file);
        paths.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return paths;
}

// Where the dialog starts: an existing folder, or the folder of an existing file with the file
// selected; for a file that does not exist yet, its folder when that exists.
void startAt(QFileDialog& dialog, const QString& path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    if (info.isDir()) {
        dialog.setDirectory(info.absoluteFilePath());
    } else if (info.exists()) {
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    } else if (QFileInfo(info.absolutePath()).isDir()) {
        dialog.setDirectory(info.absolutePath());
    }
}

std::vector<std::string> runDialog(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return fileSystemPaths(dialog.selectedFiles());
}

} // namespace

String openFileRequester(const char* title, const char* defaultPath, const char*, int, int flags)
{
    clearFileSelection();
    const bool multiple = flags & FILE_MULTIPLE;
    std::vector<std::string> chosen;
    if (auto answer
        = consultRequesterScript(fileQuestion(RequesterKind::OpenFile, title, defaultPath, flags))) {
        chosen = std::move(answer->files);
    } else {
        ensurePlatform();
        // No name filter: the pattern is not used, every file can be chosen.
        QFileDialog dialog(nullptr, qtText(title));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        startAt(dialog, QFile::decodeName(defaultPath ? defaultPath : ""));
        chosen = runDialog(dialog);
    }
    if (!multiple && chosen.size() > 1)
        chosen.resize(1);
    return takeFileSelection(std::move(chosen));
}

String saveFileRequester(const char* title, const char* defaultPath, const char*, int)
{
    clearFileSelection();
    std::vector<std::string> chosen;
    if (auto answer = consultRequesterScript(fileQuestion(RequesterKind::SaveFile, title, defaultPath, 0))) {
        chosen = std::move(answer->files);
    } else {
        ensurePlatform();
        QFileDialog dialog(nullptr, qtText(title));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QString path = QFile::decodeName(defaultPath ? defaultPath : "");
        startAt(dialog, path);
        if (!path.isEmpty())
            dialog.selectFile(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
        chosen = runDialog(dialog);
    }
    if (chosen.size() > 1)
        chosen.resize(1);
    return takeFileSelection(std::move(chosen));
}
