#pragma once
// TfrmBase: the common frame of the simpler editors and pickers: a window
// centred on its owner, a fixed set of actions, the window's text table, and
// the modal-or-not close behaviour (actClose ends a modal run with OK, else it
// closes the window). Every way of closing (actClose, Esc, the window's close
// button) asks CanClose() first, once.
#include <QDialog>
#include <QSqlQuery>

class QAction;
class TsiLangLinked;

class TfrmBase : public QDialog
{
    Q_OBJECT
public:
    // table: the window's text table (default: the class name, read at the first
    // language refresh).
    explicit TfrmBase(QWidget *owner = nullptr, const QString &table = QString());

    // Shown modally (set by openers before ShowModal).
    bool IsModal() const { return FIsModal; }
    void SetIsModal(bool modal) { FIsModal = modal; }
    // Sets IsModal and runs the modal loop; returns the modal result (1 OK, 2 Cancel).
    int ShowModal();

    // A new query on the data module's connection (the form's Qry).
    QSqlQuery NewQuery() const;

    // Text of the window's table, then the base window's table, then [TDM].
    QString Tx(const QString &key) const;
    QString TextTable() const;
    TsiLangLinked *Lang() const { return FLang; }

    QAction *actSearch = nullptr;
    QAction *actAdd = nullptr;
    QAction *actDel = nullptr;
    QAction *actSave = nullptr;
    QAction *actOK = nullptr;
    QAction *actCancel = nullptr;
    QAction *actExport = nullptr;
    QAction *actClose = nullptr;
    QAction *actSelect = nullptr;

    // Modal results as the original numbers them.
    static constexpr int mrOK = 1;
    static constexpr int mrCancel = 2;

    // Whether the window may close now (a window with unsaved edits asks).
    virtual bool CanClose() { return true; }

public slots:
    virtual void actCloseExecute();
    // Esc and Cancel: end the window after CanClose().
    void reject() override;

protected:
    // Called at the end of construction of the most derived window (first show)
    // and whenever the language changes: set every caption here. The base sets
    // the action captions and the window's components from the table.
    virtual void Retranslate();
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    // CanClose() once per closing (the answer is kept until the window shows again).
    bool MayClose();
    // Runs Retranslate now and on every language change (derived constructors
    // call it once their widgets exist).
    void InitLanguage();

private:
    TsiLangLinked *FLang = nullptr;
    QString FTable;
    bool FIsModal = false;
    bool FCentred = false;
    bool FCloseAgreed = false;
};
