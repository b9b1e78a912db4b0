#pragma once
// File dialogs of the console behind one replaceable service, so that tests
// answer them from a script and no dialog ever waits for a person.
//
//     QString file = ShowSaveDialog(this, caption, DM->G_DIALOG_PATH, name,
//                                   DM->T_SAVEDIALOG_FILTER, "xlsx");
//     if (file.isEmpty()) return;   // cancelled
//
// Filters are given in the "description|pattern|description|pattern" form of
// the language texts ("Excel File(*.xlsx)|*.xlsx"); Qt's form is accepted too.
#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

struct TFileDialogRequest
{
    enum Kind { Save, Open, Folder };
    Kind kind = Save;
    QWidget *owner = nullptr;
    QString caption;
    QString folder;           // initial folder
    QString fileName;         // proposed file name (without folder)
    QString filter;           // as given by the caller
    QString defaultExtension; // without dot ("xlsx")
};

class TFileDialogService
{
public:
    virtual ~TFileDialogService() = default;
    // The chosen file (absolute path), empty when cancelled.
    virtual QString Execute(const TFileDialogRequest &request) = 0;
};

// Installs a service (nullptr: the default QFileDialog); returns the previous one.
TFileDialogService *SetFileDialogService(TFileDialogService *service);

QString ShowSaveDialog(QWidget *owner, const QString &caption, const QString &folder,
                       const QString &fileName, const QString &filter,
                       const QString &defaultExtension = QString());
QString ShowOpenDialog(QWidget *owner, const QString &caption, const QString &folder,
                       const QString &filter);
// A folder (existing folders only); empty when cancelled.
QString ShowFolderDialog(QWidget *owner, const QString &caption, const QString &folder);

// "desc|pat|desc|pat" -> "desc (pat);;desc (pat)" (a Qt filter stays as it is).
QString ToQtFileFilter(const QString &filter);

// Scripted answers for tests: each request takes the next queued answer (a full
// path, or an empty text for cancel); with an empty queue the dialog is cancelled.
class ScriptedFileDialog : public TFileDialogService
{
public:
    explicit ScriptedFileDialog(bool installNow = true);
    ~ScriptedFileDialog() override;
    void enqueue(const QString &answer);
    QList<TFileDialogRequest> requests() const { return m_requests; }
    TFileDialogRequest last() const { return m_requests.isEmpty() ? TFileDialogRequest() : m_requests.last(); }
    QString Execute(const TFileDialogRequest &request) override;

private:
    QList<TFileDialogRequest> m_requests;
    QStringList m_answers;
    TFileDialogService *m_previous = nullptr;
    bool m_installed = false;
};
