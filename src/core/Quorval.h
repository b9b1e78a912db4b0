#pragma once
// The console's utility library: message boxes, small value helpers, bit fields,
// colours, folders, CRC-32, the SQL dialect builders, table copy, blocking socket
// helpers for worker threads, period checks, drawing helpers, opening written
// workbooks and the operator password cipher.
//
// Grid helpers (InitTableView, GetStateVal, DelExecute, Validate on a grid...) live
// with the grid kit, not here.

//
// The parts that need no window live in foundation/ (QuorvalBase, QuorvalSql,
// QuorvalSocket, QuorvalCipher); this header adds message boxes, drawing and
// opening written workbooks, and includes them all.
#include <QColor>
#include <QList>
#include <QMutex>
#include <QRect>
#include <QString>
#include <functional>

#include "foundation/QuorvalBase.h"
#include "foundation/QuorvalCipher.h"
#include "foundation/QuorvalSocket.h"
#include "foundation/QuorvalSql.h"
#include "foundation/TypeUnit.h"

class QWidget;
class QPainter;

// ===========================================================================
// Message boxes
// ===========================================================================

enum TMsgDlgKind { mkQuestion = 0, mkWarning = 1, mkError = 2, mkInformation = 3 };

// Answers of ShowMsgDlg.
constexpr int mrOk = 1;
constexpr int mrCancel = 2; // question box closed without an answer
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// One request for a message box.
struct TMsgDlgRequest
{
    QWidget *owner = nullptr;
    QString title;   // window title: the application's title
    QString text;    // the message
    QString caption; // heading of the box
    QString detail;  // optional detail (usually an exception's message)
    TMsgDlgKind kind = mkInformation;
};

// The service behind ShowMsgDlg. The default shows a QMessageBox (on the user-interface
// thread; a call from another thread waits for it there).
class TMsgDlgService
{
public:
    virtual ~TMsgDlgService() = default;
    virtual int Execute(const TMsgDlgRequest &request) = 0;
};

// Installs a service (nullptr: the default QMessageBox service); returns the previous
// one (nullptr when it was the default).
TMsgDlgService *SetMsgDlgService(TMsgDlgService *service);
TMsgDlgService *CurrentMsgDlgService();

// A modal box. Question: Yes 6, No 7, closed 2; every other kind returns 1.
int ShowMsgDlg(QWidget *owner, const QString &title, const QString &text,
               const QString &caption, const QString &detail, TMsgDlgKind kind);

// Scripted answerer for tests: records every box and answers questions from a queue.
// Boxes that are not questions return 1 and take nothing from the queue. A question
// with an empty queue gets the default answer (No, 7, unless changed): the careful
// answer, so a forgotten answer never confirms a deletion.
class ScriptedMsgDlg : public TMsgDlgService
{
public:
    explicit ScriptedMsgDlg(bool installNow = true);
    ~ScriptedMsgDlg() override; // uninstalls itself when installed

    void install();
    void uninstall();
    bool installed() const;

    void enqueue(int answer);
    void enqueue(std::initializer_list<int> answers);
    void setDefaultAnswer(int answer);
    // Called for every request before the queue is consulted; a result >= 0 is the answer.
    void setResponder(std::function<int(const TMsgDlgRequest &)> responder);

    QList<TMsgDlgRequest> requests() const;
    int count() const;
    TMsgDlgRequest last() const; // empty request when none
    int pendingAnswers() const;
    void clear();                // forgets requests and queued answers

    int Execute(const TMsgDlgRequest &request) override;

private:
    mutable QMutex m_mutex;
    QList<TMsgDlgRequest> m_requests;
    QList<int> m_answers;
    int m_defaultAnswer = mrNo;
    std::function<int(const TMsgDlgRequest &)> m_responder;
    TMsgDlgService *m_previous = nullptr;
    bool m_installed = false;
};


// Moves a top-level window onto a visible screen when it lies (mostly) outside all.
void EnsureValidDisplay(QWidget *window);

// ===========================================================================
// Drawing
// ===========================================================================

// One movement arrow in a rectangle: a smooth curve from the approach side (head
// angle) through the centre to the exit (end angle) with an arrow head. Angles in
// degrees, compass style (0 up, clockwise). Pedestrian movements are a dashed
// double-headed line. The rectangle is filled with the background colour first.
void DrawSmoothMvmt(QPainter *painter, const QRect &rect, bool pedestrian,
                    double headAngle, double endAngle, const QColor &background,
                    const QColor &arrowColour);
// A vertical gradient from startColour (top) to endColour (bottom).
void DrawGradientRect(QPainter *painter, const QRect &rect, const QColor &startColour,
                      const QColor &endColour);

// The left (P1) and right (P2) halves of a three-lamp flash-map cell.
QRect GetP1Bounds(const QRect &cell);
QRect GetP2Bounds(const QRect &cell);
// Its text split at the first ";": "RF;X" gives "RF" and "X"; without ";" the whole
// text is the first half and the second is empty.
void GetP1P2Str(const QString &text, QString &first, QString &second);

// ===========================================================================
// Opening a written workbook
// ===========================================================================

// Asks (question box: text `question`, heading `caption`, window title the
// application's display name); on Yes opens the file with `spreadsheetProgram`, or with
// the desktop's default program when that is empty (the usual case). True when opened.
bool OpenExcel(QWidget *owner, const QString &fileName, const QString &spreadsheetProgram,
               const QString &question, const QString &caption);
// The opener behind OpenExcel, replaceable for tests (nullptr restores the default:
// QProcess for a program, QDesktopServices::openUrl otherwise). Returns true when opened.
using TFileOpener = std::function<bool(const QString &fileName, const QString &program)>;
void SetFileOpener(TFileOpener opener);
