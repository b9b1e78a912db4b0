#include "core/untTCDV_S.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QHBoxLayout>
#include <QSqlQuery>

#include "core/untDM.h"

TfrmTCDV_S::TfrmTCDV_S(QWidget *owner) : TfrmPickerBase(owner)
{
    resize(760, 520);
    lblSearch = new QLabel(pnlTop);
    lblSearch->setObjectName("lblSearch");
    edtSearch = new QLineEdit(pnlTop);
    edtSearch->setObjectName("edtSearch");
    pnlPolice = new QWidget(pnlTop);
    pnlPolice->setObjectName("pnlPolice");
    auto *pl = new QHBoxLayout(pnlPolice);
    pl->setContentsMargins(0, 0, 0, 0);
    edtPolice = new QLineEdit(pnlPolice);
    edtPolice->setObjectName("edtPolice");
    edtDistrict = new QLineEdit(pnlPolice);
    edtDistrict->setObjectName("edtDistrict");
    pl->addWidget(edtPolice);
    pl->addWidget(edtDistrict);
    pnlPolice->setVisible(false);
    chxOnlySgnl = new QCheckBox(pnlTop);
    chxOnlySgnl->setObjectName("chxOnlySgnl");
    pnlTopLayout->addWidget(lblSearch);
    pnlTopLayout->addWidget(edtSearch, 1);
    pnlTopLayout->addWidget(pnlPolice);
    pnlTopLayout->addWidget(chxOnlySgnl);

    SetColumns({
        TGridColumn("INT_SANO", QString::fromUtf8("그룹번호")).Key("gtvTCDVINT_SANO.Caption").W(70),
        TGridColumn("INT_LCNO", QString::fromUtf8("LC번호")).Key("gtvTCDVINT_LCNO.Caption").W(70),
        TGridColumn("INT_NAME", QString::fromUtf8("교차로명")).Key("gtvTCDVINT_NAME.Caption").W(180).Left(),
        TGridColumn("INT_IMPORFLAG", QString::fromUtf8("유형")).Key("gtvTCDVINT_IMPORFLAG.Caption").W(60),
        TGridColumn("INT_REGFLAG", QString::fromUtf8("LC사용여부")).Key("gtvTCDVINT_REGFLAG.Caption").W(80),
        TGridColumn("POLICE_CODE").Hidden(),
        TGridColumn("NODE_ID", QString::fromUtf8("노드ID")).Key("gtvTCDVNODE_ID.Caption").W(100),
        TGridColumn("NODE_NAME", QString::fromUtf8("노드명")).Key("gtvTCDVNODE_NAME.Caption").W(160).Left(),
        TGridColumn("NODE_LAT").Hidden(),
        TGridColumn("NODE_LNG").Hidden(),
    });
    // The police column's width is taken off the window's width.
    resize(width() - 80, height());
    // Rows of even groups take the shared even-row style.
    Model()->StyleHook = [this](int rec, int, int role) -> QVariant {
        if (role != Qt::BackgroundRole)
            return QVariant();
        bool ok = false;
        const int sa = Model()->Text(rec, Model()->ColumnIndex("INT_SANO")).toInt(&ok);
        if (ok && sa % 2 == 0)
            return QColor(237, 237, 237);
        return QVariant();
    };

    edtSearch->installEventFilter(this);
    connect(edtSearch, &QLineEdit::textChanged, this, [this] {
        FSearched = false;
        edtPolice->clear();
        edtDistrict->clear();
    });
    connect(chxOnlySgnl, &QCheckBox::clicked, this, [this] { Search(); });
    InitLanguage();
}

void TfrmTCDV_S::SetSearchMode(TSearchMode mode)
{
    FSearchMode = mode;
    if (mode == smNode) {
        for (const char *c : {"INT_SANO", "INT_LCNO", "INT_NAME", "INT_IMPORFLAG", "INT_REGFLAG", "POLICE_CODE"}) {
            const int i = Model()->ColumnIndex(QString::fromLatin1(c));
            Model()->ColumnRef(i).Visible = false;
        }
        Grid()->ApplyColumns();
        pnlPolice->setVisible(false);
        resize(450, height());
    }
    lblSearch->setText(Tx(mode == smNode ? QStringLiteral("IDS_Node") : QStringLiteral("IDS_Tcdv")));
}

QString TfrmTCDV_S::BuildSql(TSearchMode mode, bool onlySignal, const QString &searchText,
                             QVariantMap *params)
{
    QString sql = QStringLiteral(
        "SELECT LPAD(A.INT_SANO, 4, '0') AS INT_SANO, LPAD(A.INT_LCNO, 4, '0') AS INT_LCNO, A.INT_NAME, "
        "CASE WHEN (A.INT_IMPORFLAG = 0) OR (A.INT_IMPORFLAG IS NULL AND A.INT_LCNO IS NOT NULL) THEN 'MI' "
        "WHEN A.INT_IMPORFLAG = 1 THEN 'CI' WHEN A.INT_IMPORFLAG = 2 THEN 'SCI' "
        "WHEN A.INT_IMPORFLAG = 3 THEN 'RAMP' END AS INT_IMPORFLAG, B.NODE_ID, B.NODE_NAME, "
        "CASE A.INT_REGFLAG WHEN 1 THEN '\u25CB' ELSE '' END INT_REGFLAG, B.NODE_LAT, B.NODE_LNG "
        "FROM SCS_M_INTLC A");
    sql += onlySignal ? QStringLiteral(" LEFT ") : QStringLiteral(" RIGHT ");
    sql += QStringLiteral(" JOIN SCS_M_NODE B ON B.NODE_ID = A.NODE_ID ");
    const QString t = searchText.trimmed();
    if (!t.isEmpty()) {
        QStringList cond;
        if (mode == smNormal) {
            cond << QStringLiteral("LPAD(A.INT_LCNO, 4, '0') = :SEARCH_TXT_EQUAL")
                 << QStringLiteral("A.INT_NAME LIKE :SEARCH_TXT ESCAPE '!'");
            if (params)
                params->insert(QStringLiteral(":SEARCH_TXT_EQUAL"), t);
        } else {
            bool isNumber = false;
            t.toLongLong(&isNumber);
            if (isNumber)
                cond << QStringLiteral("B.NODE_ID LIKE :SEARCH_TXT ESCAPE '!'");
            cond << QStringLiteral("B.NODE_NAME LIKE :SEARCH_TXT ESCAPE '!'");
        }
        if (params)
            params->insert(QStringLiteral(":SEARCH_TXT"), LikeContains(t));
        sql += QStringLiteral(" WHERE ") + cond.join(QStringLiteral(" OR "));
    }
    sql += QStringLiteral(" ORDER BY A.INT_SANO, A.INT_SAINDEX, A.INT_LCNO ");
    return sql;
}

void TfrmTCDV_S::Search()
{
    QVariantMap params;
    const QString sql = BuildSql(FSearchMode, chxOnlySgnl->isChecked(), edtSearch->text(), &params);
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        if (q.prepare(sql)) {
            for (auto it = params.cbegin(); it != params.cend(); ++it)
                q.bindValue(it.key(), it.value());
        }
        if (DM->QueryOpen(q, this)) // a database error is shown there; the list stays empty
            Model()->LoadQuery(q, QString());
    }
    FSearched = true;
    if (FTCDV_ID > 0) {
        const QString key = QStringLiteral("%1").arg(FTCDV_ID, 4, 10, QLatin1Char('0'));
        const int rec = Model()->FindText(Model()->ColumnIndex("INT_LCNO"), key);
        if (rec >= 0) {
            Grid()->FocusRecord(rec);
            return;
        }
    }
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
}

void TfrmTCDV_S::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        Search();
        edtSearch->setFocus();
    }
}

bool TfrmTCDV_S::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == edtSearch && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (!FSearched)
                Search();
            else
                Grid()->setFocus();
            return true;
        }
        if (k->key() == Qt::Key_Down) {
            Grid()->setFocus();
            return true;
        }
    }
    return TfrmPickerBase::eventFilter(obj, e);
}

void TfrmTCDV_S::Retranslate()
{
    TfrmPickerBase::Retranslate();
    if (lblSearch)
        lblSearch->setText(Tx(FSearchMode == smNode ? QStringLiteral("IDS_Node") : QStringLiteral("IDS_Tcdv")));
}
