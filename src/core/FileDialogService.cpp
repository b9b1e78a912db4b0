#include "core/FileDialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class TDefaultFileDialog : public TFileDialogService
{
public:
    QString Execute(const TFileDialogRequest &r) override
    {
        QFileDialog dlg(r.owner, r.caption, r.folder, ToQtFileFilter(r.filter));
        dlg.setAcceptMode(r.kind == TFileDialogRequest::Save ? QFileDialog::AcceptSave
                                                             : QFileDialog::AcceptOpen);
        dlg.setFileMode(r.kind == TFileDialogRequest::Save     ? QFileDialog::AnyFile
                        : r.kind == TFileDialogRequest::Folder ? QFileDialog::Directory
                                                               : QFileDialog::ExistingFile);
        if (r.kind == TFileDialogRequest::Folder)
            dlg.setOption(QFileDialog::ShowDirsOnly);
        if (!r.defaultExtension.isEmpty())
            dlg.setDefaultSuffix(r.defaultExtension);
        if (!r.fileName.isEmpty())
            dlg.selectFile(QDir(r.folder).filePath(r.fileName));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().constFirst();
    }
};

TFileDialogService *g_service = nullptr;

TFileDialogService *Service()
{
    static TDefaultFileDialog def;
    return g_service ? g_service : &def;
}

} // namespace

TFileDialogService *SetFileDialogService(TFileDialogService *service)
{
    TFileDialogService *prev = g_service;
    g_service = service;
    return prev;
}

QString ToQtFileFilter(const QString &filter)
{
    if (!filter.contains('|'))
        return filter;
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return out.join(QStringLiteral(";;"));
}

QString ShowSaveDialog(QWidget *owner, const QString &caption, const QString &folder,
                       const QString &fileName, const QString &filter,
                       const QString &defaultExtension)
{
    TFileDialogRequest r;
    r.kind = TFileDialogRequest::Save;
    r.owner = owner;
    r.caption = caption;
    r.folder = folder;
    r.fileName = fileName;
    r.filter = filter;
    r.defaultExtension = defaultExtension;
    QString file = Service()->Execute(r);
    if (!file.isEmpty() && !defaultExtension.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += '.' + defaultExtension;
    return file;
}

QString ShowOpenDialog(QWidget *owner, const QString &caption, const QString &folder,
                       const QString &filter)
{
    TFileDialogRequest r;
    r.kind = TFileDialogRequest::Open;
    r.owner = owner;
    r.caption = caption;
    r.folder = folder;
    r.filter = filter;
    return Service()->Execute(r);
}

QString ShowFolderDialog(QWidget *owner, const QString &caption, const QString &folder)
{
    TFileDialogRequest r;
    r.kind = TFileDialogRequest::Folder;
    r.owner = owner;
    r.caption = caption;
    r.folder = folder;
    return Service()->Execute(r);
}

ScriptedFileDialog::ScriptedFileDialog(bool installNow)
{
    if (installNow) {
        m_previous = SetFileDialogService(this);
        m_installed = true;
    }
}

ScriptedFileDialog::~ScriptedFileDialog()
{
    if (m_installed && g_service == this)
        SetFileDialogService(m_previous);
}

void ScriptedFileDialog::enqueue(const QString &answer)
{
    m_answers.append(answer);
}

QString ScriptedFileDialog::Execute(const TFileDialogRequest &request)
{
    m_requests.append(request);
    return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
}
