#pragma once
// The plans of the operation plan sheet tests, written over the demo city:
// group 1 (intersections 1: 2010 four lamps, 3: 2004) gets day plans 1, 2, 3, 6
// and 7 (plan 1 with a cycle-0 row, plan 2 with a row whose cycle row is
// missing), cycle rows, a week plan, three special days (one without month),
// time plans of intersections 1 and 3 (one without its cycle row), reservations
// start-up main phases (phase 2 the main phase of intersection 1) and signal
// maps of intersections 1 and 3; group 2 (intersection 21) and intersection 5 have
// no plans. Earlier rows of these keys are removed first, so the
// tests do not depend on what the demo city holds.
#include <QString>

namespace PlanSheetFixture {

inline QString Sql()
{
    return QStringLiteral(R"SQL(
DELETE FROM SCS_M_SADPLAN WHERE SA_NO IN (1, 2);
DELETE FROM SCS_M_SAAPLAN WHERE SA_NO IN (1, 2);
DELETE FROM SCS_M_SAWPLAN WHERE SA_NO IN (1, 2);
DELETE FROM SCS_M_SAHPLAN WHERE SA_NO IN (1, 2);
DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO IN (1, 3);
DELETE FROM SCS_M_INTFPLAN WHERE INT_LCNO IN (1, 3, 5);
INSERT INTO SCS_M_SADPLAN (SA_NO, SA_DPLAN, SA_DPLANINDEX, SA_STARTHOUR, SA_STARTMIN, SA_CYCLE, SA_OFFSET, SA_SPLIT, SA_TODAUTO) VALUES
 (1, 1, 1, 0, 0, 1, 0, 1, 0), (1, 1, 2, 7, 30, 2, 10, 2, 1), (1, 1, 3, 22, 0, 0, 0, 1, 0),
 (1, 2, 1, 6, 5, 1, 5, 1, 0), (1, 2, 2, 18, 0, 5, 0, 3, 0),
 (1, 3, 1, 0, 0, 1, 0, 1, 0),
 (1, 6, 1, 5, 0, 1, 0, 1, 0),
 (1, 7, 1, 9, 15, 2, 20, 4, 1);
INSERT INTO SCS_M_SAAPLAN (SA_NO, SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH) VALUES
 (1, 1, 1, 120), (1, 1, 2, 140), (1, 2, 1, 100), (1, 3, 1, 90), (1, 6, 1, 110), (1, 7, 2, 130);
INSERT INTO SCS_M_SAWPLAN (SA_NO, SA_WEEK, SA_DPLAN) VALUES
 (1, 1, 2), (1, 2, 1), (1, 3, 1), (1, 4, 1), (1, 5, 1), (1, 6, 1), (1, 7, 3);
INSERT INTO SCS_M_SAHPLAN (SA_NO, SA_HPLANINDEX, SA_MON, SA_DAY, SA_DPLAN) VALUES
 (1, 1, 5, 1, 2), (1, 2, 12, 25, 3), (1, 3, 0, 0, 1);
INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_OFFSET,
 INT_ASPLIT1, INT_ASPLIT2, INT_ASPLIT3, INT_ASPLIT4, INT_ASPLIT5, INT_ASPLIT6, INT_ASPLIT7, INT_ASPLIT8,
 INT_BSPLIT1, INT_BSPLIT2, INT_BSPLIT3, INT_BSPLIT4, INT_BSPLIT5, INT_BSPLIT6, INT_BSPLIT7, INT_BSPLIT8) VALUES
 (1, 1, 1, 0, 30, 30, 30, 30, 0, 0, 0, 0, 40, 20, 30, 30, 0, 0, 0, 0),
 (1, 1, 2, 15, 40, 35, 35, 30, 0, 0, 0, 0, 40, 35, 35, 30, 0, 0, 0, 0),
 (1, 1, 5, 25, 20, 20, 20, 20, 0, 0, 0, 0, 20, 20, 20, 20, 0, 0, 0, 0),
 (1, 6, 1, 5, 55, 55, 0, 0, 0, 0, 0, 0, 50, 60, 0, 0, 0, 0, 0, 0),
 (3, 1, 1, 0, 60, 60, 0, 0, 0, 0, 0, 0, 60, 60, 0, 0, 0, 0, 0, 0);
INSERT INTO SCS_M_INTFPLAN (INT_LCNO, INT_FPLANINDEX, INT_RSRVMONTH, INT_RSRVDAY, INT_RSRVWKD, INT_CNTLSTARTHOUR, INT_CNTLSTARTMIN, INT_CNTLENDHOUR, INT_CNTLENDMIN, INT_CNTLTYPE, INT_CNTLSPCNO) VALUES
 (1, 1, 5, 1, 8, 8, 0, 9, 30, 4, 2),
 (1, 2, 0, 0, 1, 23, 5, 5, 0, 2, 3),
 (3, 1, 0, 0, 9, 7, 0, 10, 0, 4, 1);
DELETE FROM SCS_M_INTSIGMAP WHERE INT_LCNO IN (1, 3);
INSERT INTO SCS_M_INTSIGMAP (INT_LCNO, INT_PLANCLSS, INT_RING, INT_STEPNO, INT_VEH1, INT_PED1, INT_VEH2, INT_PED2, INT_VEH3, INT_PED3,
 INT_VEH4, INT_PED4, INT_VEH5, INT_PED5, INT_VEH6, INT_PED6, INT_VEH7, INT_PED7, INT_VEH8, INT_PED8, INT_MINSPLIT, INT_MAXSPLIT, INT_EOP) VALUES
 (1, 1, 1, 1, 1, 16, 2, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0),
 (1, 1, 1, 2, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
 (1, 1, 2, 1, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 30, 1),
 (1, 5, 1, 32, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
 (3, 1, 1, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
 (3, 3, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
UPDATE SCS_M_INTPHASE SET INT_MAINPHASE = CASE WHEN INT_PHASENO = 2 THEN 1 ELSE 0 END WHERE INT_LCNO = 1;
UPDATE SCS_M_INTSTARTUP SET INT_GENMAIN = 3, INT_SPCMAIN = NULL WHERE INT_LCNO = 1;
DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 3;
)SQL");
}

} // namespace PlanSheetFixture
