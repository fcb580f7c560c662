// The file requesters over QFileDialog.
// Implements: openFileRequester (one or several existing files), saveFileRequester (a file
// name in a folder, with the proposed name); start at the default path when it exists; paths
// handed over as the file system's bytes (file_system_names.h), so that every name the file
// system holds comes back in the form that opens it, also one whose bytes are not UTF-8.

#include "toolkit/requesters.h"

#include "toolkit/application.h"
#include "toolkit/file_selection.h"
#include "toolkit/platform/file_system_names.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/requester_script.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

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

bool isFileOfBytes(const QByteArray& path)
{
    struct stat status { };
    return !path.isEmpty() && stat(path.constData(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Qt's file dialog with names whose bytes are not UTF-8. Qt looks for the chosen file under the
// name it shows (with U+FFFD), finds none, and would refuse to open it or overwrite it without
// asking; this dialog looks under the file's own bytes.
class FileDialog final : public QFileDialog {
public:
    FileDialog(const char* title, QByteArray proposal)
        : QFileDialog(nullptr, qtText(title))
        , m_proposal(std::move(proposal))
        , m_proposalText(
              m_proposal.isEmpty() ? QString() : QFileInfo(QFile::decodeName(m_proposal)).absoluteFilePath())
    {
    }

    // The file system's bytes of a chosen file; the proposal taken as it was shown keeps its own.
    QByteArray bytesOf(const QString& file) const
    {
        return !m_proposal.isEmpty() && file == m_proposalText ? m_proposal : fileSystemPath(file);
    }

    std::vector<std::string> chosenPaths() const
    {
        std::vector<std::string> paths;
        for (const QString& file : selectedFiles()) {
            const QByteArray bytes = bytesOf(file);
            paths.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        }
        return paths;
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        bool hidden = !files.isEmpty();
        for (const QString& file : files)
            hidden = hidden && !QFileInfo::exists(file) && isFileOfBytes(bytesOf(file));
        if (!hidden) {
            QFileDialog::accept();
            return;
        }
        if (acceptMode() == AcceptSave && !confirmReplace(files.first()))
            return;
        QDialog::accept();
    }

private:
    // Qt's own question, in Qt's words (and translations).
    bool confirmReplace(const QString& file)
    {
        const QString text
            = QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
                  .arg(QFileInfo(file).fileName());
        return QMessageBox::warning(
                   this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }

    QByteArray m_proposal;
    QString m_proposalText;
};

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

std::vector<std::string> runDialog(FileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenPaths();
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
        FileDialog dialog(title, QByteArray());
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        startAt(dialog, usablePath(defaultPath ? defaultPath : ""));
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
        const QByteArray proposal(defaultPath ? defaultPath : "");
        FileDialog dialog(title, proposal);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        const QString path = QFile::decodeName(proposal);
        // A folder whose bytes Qt cannot show gives way to the nearest one above it that it can;
        // the proposed name stays.
        startAt(dialog, usablePath(proposal));
        if (!path.isEmpty())
            dialog.selectFile(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
        chosen = runDialog(dialog);
    }
    if (chosen.size() > 1)
        chosen.resize(1);
    return takeFileSelection(std::move(chosen));
}
