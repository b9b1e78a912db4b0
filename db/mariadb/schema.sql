-- Centre schema (MariaDB). Upper-case table and column names, utf8mb4.
--
-- Every statement is CREATE TABLE IF NOT EXISTS (or an idempotent upsert of
-- reference rows), so the script can be run again on a loaded database.
-- Prefixes: SCS_M_ master data, SCS_L_ logs and history, SCS_T_ latest
-- state, SCS_S_ statistics.
--
-- Columns that the console's start-up schema check adds to an older schema
-- (INT_COMMENTS, TFDT_ID, TFDT_REAL_LCNO, TFDT_REAL_CHANNEL, INT_DSDEGREE1/2,
-- the five spill-back time columns, SCS_M_INTPHASE.LINK_ID, INT_PEDEXT,
-- USER_UPDATE, USER_CHECK, BOOKMARKS) stand LAST in their tables with exactly
-- the type the check gives them, and SCS_M_LINK.GEOM stands after LINK_TYPE,
-- so that a schema stripped of them and upgraded by the check ends up equal
-- to this one. SCS_M_LAYER and SCS_M_INTFORCETOD are created with the check's
-- own DDL for the same reason.
--
-- Numbering: intersections (INT_LCNO) 1..1024, groups (SA_NO) 1..200.
-- Positions are WGS 84 decimal degrees; GEOM keeps latitude as its FIRST
-- ordinate (x = latitude, y = longitude), unlike GeoJSON.
SET NAMES utf8mb4;

-- ===========================================================================
-- Operators and the operator event log
-- ===========================================================================

-- Console operators. AUT_GRADE: 1 administrator, 2 operator, 3 manager,
-- 4 police (any other value is treated as 2). USER_PW holds the enciphered
-- password as text (a short prefix and base64); USER_CHECK is the
-- password validity in months, USER_UPDATE the last password change.
-- BOOKMARKS is the JSON object of the operator's map bookmarks "B1".."B9".
CREATE TABLE IF NOT EXISTS SCS_M_USER (
  USER_ID      VARCHAR(20)   NOT NULL,
  USER_PW      VARCHAR(512)  DEFAULT NULL,
  USER_NAME    VARCHAR(50)   DEFAULT NULL,
  USER_TEL     VARCHAR(30)   DEFAULT NULL,
  USER_DEPT    VARCHAR(100)  DEFAULT NULL,
  AUT_GRADE    TINYINT       DEFAULT NULL,
  USER_UPDATE  TIMESTAMP(6)  NULL,
  USER_CHECK   TINYINT       DEFAULT NULL,
  BOOKMARKS    VARCHAR(1000) DEFAULT NULL,
  PRIMARY KEY (USER_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Operator actions that reached the field: login/logout, host requests,
-- intersection and group commands, controller database transfers.
-- CTL_KIND: 0 all, 1 intersection, 2 group, 3 system. CTL_NO is the target
-- intersection or group (0 when none); CTL_VALUE the command, opcode or
-- sub-code; CTL_DESC the title or result text written by the console.
CREATE TABLE IF NOT EXISTS SCS_L_USERCONTROL (
  CTL_CREDATE  DATETIME(6)   NOT NULL,
  CTL_CODE     SMALLINT      NOT NULL,
  CTL_KIND     TINYINT       DEFAULT NULL,
  CTL_ALL      TINYINT(1)    DEFAULT NULL,
  CTL_NO       SMALLINT      DEFAULT NULL,
  USER_ID      VARCHAR(20)   DEFAULT NULL,
  CTL_VALUE    INT           DEFAULT NULL,
  CTL_DESC     VARCHAR(1000) DEFAULT NULL,
  KEY IX_SCS_L_USERCONTROL_DATE (CTL_CREDATE),
  KEY IX_SCS_L_USERCONTROL_USER (USER_ID, CTL_CREDATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Names of the event codes shown by the event history (operator events of
-- SCS_L_USERCONTROL and the centre's controller and group events).
CREATE TABLE IF NOT EXISTS SCS_M_EVENT_CODE (
  EVENT_CODE   SMALLINT      NOT NULL,
  EVENT_DESC   VARCHAR(100)  DEFAULT NULL,
  PRIMARY KEY (EVENT_CODE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Names of the event values per event code.
CREATE TABLE IF NOT EXISTS SCS_M_EVENT_VALUE (
  EVENT_CODE       SMALLINT     NOT NULL,
  EVENT_VALUE      INT          NOT NULL,
  EVENT_VALUE_DESC VARCHAR(200) DEFAULT NULL,
  PRIMARY KEY (EVENT_CODE, EVENT_VALUE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Groups (SA) and intersections (LC)
-- ===========================================================================

-- Coordinated groups of intersections. SA_DEFAULTCNTLMODE 0 TOD, 1 TRC;
-- SA_REGFLAG 1 in use. SA_LATLNGS is the group outline: one GeoJSON Feature
-- (MultiLineString of the chosen links, properties.linkList) as 8-bit text.
-- A group created with number and name only takes the defaults below.
CREATE TABLE IF NOT EXISTS SCS_M_SAOPERATE (
  SA_NO                SMALLINT     NOT NULL,
  SA_NAME              VARCHAR(100) DEFAULT NULL,
  SA_DEFAULTCNTLMODE   TINYINT      DEFAULT 0,
  SA_MINOPERATECYCLE   SMALLINT     DEFAULT 7,
  SA_PHASEFACTOR       SMALLINT     DEFAULT 3,
  SA_OFFSETADJSTFACTOR SMALLINT     DEFAULT 3,
  SA_TRCCNTL1          TINYINT      DEFAULT 0,
  SA_TRCCNTL2          TINYINT      DEFAULT 0,
  SA_AUTOONLINEREQ     TINYINT      DEFAULT 0,
  SA_MINCYCLELEVEL     SMALLINT     DEFAULT 1,
  SA_MAXCYCLELEVEL     SMALLINT     DEFAULT 6,
  SA_CYCLEMTD          TINYINT      DEFAULT 0,
  SA_CYCLERNG          SMALLINT     DEFAULT 0,
  SA_CYCLETRANSMTD     TINYINT      DEFAULT 0,
  SA_CYCLETIMESETMTD   TINYINT      DEFAULT 0,
  SA_REGFLAG           TINYINT      DEFAULT 1,
  SA_SAJOINMTD         TINYINT      DEFAULT 0,
  SA_SAJOINVARIABLE1   SMALLINT     DEFAULT 0,
  SA_SAJOINVARIABLE2   SMALLINT     DEFAULT 0,
  SA_SAJOINVARIABLE3   SMALLINT     DEFAULT 0,
  SA_SAJOINVARIABLE4   SMALLINT     DEFAULT 0,
  SA_SAJOINVARIABLE5   SMALLINT     DEFAULT 0,
  SA_SAJOINVARIABLE6   SMALLINT     DEFAULT 0,
  SA_LATLNGS           LONGBLOB     DEFAULT NULL,
  PRIMARY KEY (SA_NO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Intersection master (one row per local controller).
--   INT_IMPORFLAG  0 MI, 1 CI, 2 SCI, 3 RAMP (intersection class)
--   INT_LCTYPE     1 = 2004 controller, 2 = 2010 controller
--   INT_LAMPTYPE   0 = three lamps, 1 = four lamps (2010 only; a 2004
--                  controller is stored with 1)
--   INT_AUTOERROR  0 none, 1 cycle error, 2 transition error, 3 all
--   INT_AUTOONLINE 0 manual, 1 automatic centre mode
--   INT_COMMTYPE   0 TCP client, 1 TCP server, 2 serial
--   MAIN_LCNO      1 or more: a virtual intersection mirroring that main
--                  intersection (its use flag is 0, its communication
--                  columns -1/empty, its firmware and limits NULL)
--   INT_SAINDEX    order of the intersection within its group
--   INT_REGFLAG    1 in use
--   MCU_FW_ID, SCU_FW_ID  SCS_M_FIRMWARE.FW_ID of type 1 and 2
--   INT_FEPNO, POLICE_CODE, INT_MODEL  front-end, police district, model
--   INT_COMMENTS   operators' free comments (rich text)
CREATE TABLE IF NOT EXISTS SCS_M_INTLC (
  INT_LCNO        SMALLINT     NOT NULL,
  NODE_ID         VARCHAR(10)  DEFAULT NULL,
  INT_NAME        VARCHAR(100) DEFAULT NULL,
  INT_IMPORFLAG   TINYINT      DEFAULT NULL,
  INT_LCTYPE      TINYINT      DEFAULT NULL,
  INT_LAMPTYPE    TINYINT      DEFAULT NULL,
  MCU_FW_ID       INT          DEFAULT NULL,
  SCU_FW_ID       INT          DEFAULT NULL,
  INT_DELTALIMIT  SMALLINT     DEFAULT NULL,
  INT_TRANSCYCLE  SMALLINT     DEFAULT NULL,
  INT_AUTOERROR   TINYINT      DEFAULT NULL,
  INT_AUTOONLINE  TINYINT      DEFAULT NULL,
  INT_COMMTYPE    TINYINT      DEFAULT NULL,
  INT_IP          VARCHAR(50)  DEFAULT NULL,
  INT_PORT        INT          DEFAULT NULL,
  MAIN_LCNO       SMALLINT     DEFAULT NULL,
  INT_SANO        SMALLINT     DEFAULT NULL,
  INT_SAINDEX     SMALLINT     DEFAULT NULL,
  INT_REGFLAG     TINYINT      DEFAULT NULL,
  INT_FEPNO       SMALLINT     DEFAULT NULL,
  POLICE_CODE     SMALLINT     DEFAULT NULL,
  INT_MODEL       SMALLINT     DEFAULT NULL,
  INT_COMMENTS    BLOB         DEFAULT NULL,
  PRIMARY KEY (INT_LCNO),
  KEY IX_SCS_M_INTLC_SANO (INT_SANO, INT_SAINDEX),
  KEY IX_SCS_M_INTLC_MAIN (MAIN_LCNO),
  KEY IX_SCS_M_INTLC_NODE (NODE_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Phases of an intersection per plan class (1 general, 2..6 time-difference
-- maps, 7 pedestrian map; a 2004 controller uses 1 and 2), phase 1..8 and
-- ring (1 A, 2 B): the movement number (1..18; 17 and 18 pedestrian), split
-- limits and flags, the approach link, and the movement arrow drawn on the
-- map (points and angles kept as texts of at most 20 characters).
CREATE TABLE IF NOT EXISTS SCS_M_INTPHASE (
  INT_LCNO        SMALLINT     NOT NULL,
  INT_PLANCLSS    TINYINT      NOT NULL,
  INT_PHASENO     TINYINT      NOT NULL,
  INT_RING        TINYINT      NOT NULL,
  INT_FLOWNUMBER  SMALLINT     DEFAULT NULL,
  INT_MINSPLIT    SMALLINT     DEFAULT NULL,
  INT_MAXSPLIT    SMALLINT     DEFAULT NULL,
  INT_MDSCONTROL  TINYINT      DEFAULT NULL,
  INT_MAINPHASE   TINYINT      DEFAULT NULL,
  INT_LANE        TINYINT      DEFAULT NULL,
  INT_FIXEDPHASE  TINYINT      DEFAULT NULL,
  INT_YELLOW      SMALLINT     DEFAULT NULL,
  INT_EXTENDED    SMALLINT     DEFAULT NULL,
  INT_ACTCONTROL  TINYINT      DEFAULT NULL,
  INT_DUALFLAG    TINYINT      DEFAULT NULL,
  INT_HEAD_LAT    VARCHAR(20)  DEFAULT NULL,
  INT_HEAD_LNG    VARCHAR(20)  DEFAULT NULL,
  INT_MIDDLE_LAT  VARCHAR(20)  DEFAULT NULL,
  INT_MIDDLE_LNG  VARCHAR(20)  DEFAULT NULL,
  INT_END_LAT     VARCHAR(20)  DEFAULT NULL,
  INT_END_LNG     VARCHAR(20)  DEFAULT NULL,
  INT_LABEL_LAT   VARCHAR(20)  DEFAULT NULL,
  INT_LABEL_LNG   VARCHAR(20)  DEFAULT NULL,
  INT_HEAD_ANGLE  VARCHAR(20)  DEFAULT NULL,
  INT_END_ANGLE   VARCHAR(20)  DEFAULT NULL,
  LINK_ID         VARCHAR(10)  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Start-up (signal operation) variables of a controller, one row per
-- intersection. A 2004 controller uses 11 of them, a 2010 controller 39.
-- Phase sets are bit masks (bit k-1 = phase k).
CREATE TABLE IF NOT EXISTS SCS_M_INTSTARTUP (
  INT_LCNO          SMALLINT NOT NULL,
  INT_FULLACT       SMALLINT DEFAULT NULL,
  INT_DUALTIME      SMALLINT DEFAULT NULL,
  INT_SPILLPROC     SMALLINT DEFAULT NULL,
  INT_SPILLCONT     SMALLINT DEFAULT NULL,
  INT_RING          SMALLINT DEFAULT NULL,
  INT_ACTYN         SMALLINT DEFAULT NULL,
  INT_GAPTIME       SMALLINT DEFAULT NULL,
  INT_LMTLOS        SMALLINT DEFAULT NULL,
  INT_GENMAIN       SMALLINT DEFAULT NULL,
  INT_GENDUAL       SMALLINT DEFAULT NULL,
  INT_MANUALOPT     SMALLINT DEFAULT NULL,
  INT_NORMALPUSH    SMALLINT DEFAULT NULL,
  INT_FLASHPUSH     SMALLINT DEFAULT NULL,
  INT_FLASHPUSHOP   SMALLINT DEFAULT NULL,
  INT_PUSHCYCLE     SMALLINT DEFAULT NULL,
  INT_SIGMAPMTD     SMALLINT DEFAULT NULL,
  INT_ACTPHASE1     SMALLINT DEFAULT NULL,
  INT_ACTPHASE2     SMALLINT DEFAULT NULL,
  INT_SPCMAIN       SMALLINT DEFAULT NULL,
  INT_SPCDUAL       SMALLINT DEFAULT NULL,
  INT_SPC1DUAL      SMALLINT DEFAULT NULL,
  INT_SPC2DUAL      SMALLINT DEFAULT NULL,
  INT_SPC3DUAL      SMALLINT DEFAULT NULL,
  INT_SPC4DUAL      SMALLINT DEFAULT NULL,
  INT_SPC5DUAL      SMALLINT DEFAULT NULL,
  INT_PREBUS        SMALLINT DEFAULT NULL,
  INT_JUMPPHASE     SMALLINT DEFAULT NULL,
  INT_PREEMERGENCY  SMALLINT DEFAULT NULL,
  INT_CHECKMONTH    SMALLINT DEFAULT NULL,
  INT_POWERDIM      SMALLINT DEFAULT NULL,
  INT_POWERFLASH    SMALLINT DEFAULT NULL,
  INT_ARINGACT      SMALLINT DEFAULT NULL,
  INT_BRINGACT      SMALLINT DEFAULT NULL,
  INT_VOICEYN       SMALLINT DEFAULT NULL,
  INT_DAYVOL        SMALLINT DEFAULT NULL,
  INT_NIGHTVOL      SMALLINT DEFAULT NULL,
  INT_VOICECYCLE    SMALLINT DEFAULT NULL,
  INT_NIGHTSTART    SMALLINT DEFAULT NULL,
  INT_NIGHTEND      SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Flash map: lamp code of every load-switch output during flash operation.
-- 2004 and 2010 four-lamp: vehicle RF 0, YF 16, AF 32, GF 48, X 64;
-- pedestrian X 0, RF 16, GF 32. 2010 three-lamp: one byte per pair of
-- outputs, P1 in the low nibble (R0 0, G0 1, Y0 2, YF 3, RF 4, GF 5, X 8),
-- P2 in the high nibble (the same codes times 16). Outputs 7 and 8 are NULL
-- for a 2004 controller. INT_VARIABCNTL 1 = lane control (2004 only).
CREATE TABLE IF NOT EXISTS SCS_M_INTFLSMAP (
  INT_LCNO        SMALLINT NOT NULL,
  INT_VEH1        SMALLINT DEFAULT NULL,
  INT_PED1        SMALLINT DEFAULT NULL,
  INT_VEH2        SMALLINT DEFAULT NULL,
  INT_PED2        SMALLINT DEFAULT NULL,
  INT_VEH3        SMALLINT DEFAULT NULL,
  INT_PED3        SMALLINT DEFAULT NULL,
  INT_VEH4        SMALLINT DEFAULT NULL,
  INT_PED4        SMALLINT DEFAULT NULL,
  INT_VEH5        SMALLINT DEFAULT NULL,
  INT_PED5        SMALLINT DEFAULT NULL,
  INT_VEH6        SMALLINT DEFAULT NULL,
  INT_PED6        SMALLINT DEFAULT NULL,
  INT_VEH7        SMALLINT DEFAULT NULL,
  INT_PED7        SMALLINT DEFAULT NULL,
  INT_VEH8        SMALLINT DEFAULT NULL,
  INT_PED8        SMALLINT DEFAULT NULL,
  INT_VARIABCNTL  TINYINT  DEFAULT NULL,
  INT_FLASHTIME   SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Conflict matrix of a 2010 controller: base output INT_YNO and compared
-- output INT_XNO (0..31, only INT_YNO < INT_XNO stored), 1 = conflicting.
-- Three lamps: output n is G1/G2 of LSU n div 2 + 1; four lamps: PG/A/G/-
-- of LSU n div 4 + 1 (outputs with n mod 4 = 3 are never stored).
CREATE TABLE IF NOT EXISTS SCS_M_INTCONFLICT (
  INT_LCNO        SMALLINT NOT NULL,
  INT_YNO         TINYINT  NOT NULL,
  INT_XNO         TINYINT  NOT NULL,
  INT_CONFLICTYN  TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_YNO, INT_XNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Traffic-responsive control parameters of an intersection (cycle,
-- congestion, smoothing, FCCL, corridor, oversaturation, ramp, saturation
-- congestion levels); choices are the item index, numbers whole numbers.
CREATE TABLE IF NOT EXISTS SCS_M_INTALGORITHM (
  INT_LCNO               SMALLINT NOT NULL,
  INT_MDSSELECT          TINYINT  DEFAULT NULL,
  INT_ALPHA              INT      DEFAULT NULL,
  INT_FORCETRC           TINYINT  DEFAULT NULL,
  INT_CONDEGREE1         INT      DEFAULT NULL,
  INT_CONDEGREE2         INT      DEFAULT NULL,
  INT_CONDEGREE3         INT      DEFAULT NULL,
  INT_FDSFACTOR1         INT      DEFAULT NULL,
  INT_FDSFACTOR2         INT      DEFAULT NULL,
  INT_FDSFACTOR3         INT      DEFAULT NULL,
  INT_FCCLY1             INT      DEFAULT NULL,
  INT_FCCLY2             INT      DEFAULT NULL,
  INT_FCCLC1             INT      DEFAULT NULL,
  INT_FCCLC2             INT      DEFAULT NULL,
  INT_ASAMAXISMAIN       TINYINT  DEFAULT NULL,
  INT_ASAMINFLOW1        INT      DEFAULT NULL,
  INT_ASAMOUTFLOW1       INT      DEFAULT NULL,
  INT_ASAMINFLOW2        INT      DEFAULT NULL,
  INT_ASAMOUTFLOW2       INT      DEFAULT NULL,
  INT_STOSCNTL1          TINYINT  DEFAULT NULL,
  INT_STOSCNTL2          TINYINT  DEFAULT NULL,
  INT_STOSCNTL3          TINYINT  DEFAULT NULL,
  INT_STOSCNTL4          TINYINT  DEFAULT NULL,
  INT_RAMPCNTLFLAG       TINYINT  DEFAULT NULL,
  INT_RAMPCNTLOFFSETMTD  TINYINT  DEFAULT NULL,
  INT_RAMPCNTLBALOFFSET  INT      DEFAULT NULL,
  INT_RAMPCNTLOUTOFFSET  INT      DEFAULT NULL,
  INT_RAMPCNTLDOSTDIR    TINYINT  DEFAULT NULL,
  INT_RAMPKVALUE         INT      DEFAULT NULL,
  INT_DSDEGREE1          SMALLINT DEFAULT NULL,
  INT_DSDEGREE2          SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Queue-length weights and green-time correction of an intersection.
-- INT_SPLITCORRMTD 0 none, 1 N_FDS, 2 queue.
CREATE TABLE IF NOT EXISTS SCS_M_INTQUEUE (
  INT_LCNO          SMALLINT NOT NULL,
  INT_WGH1          INT      DEFAULT NULL,
  INT_WGH2          INT      DEFAULT NULL,
  INT_WGH3          INT      DEFAULT NULL,
  INT_SPLITCORRMTD  TINYINT  DEFAULT NULL,
  INT_SPLITFATOR    INT      DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Queue and oversaturation thresholds per approach direction
-- (INT_DIRINDEX 1 N, 2 E, 3 S, 4 W, 5 NE, 6 SE, 7 SW, 8 NW).
CREATE TABLE IF NOT EXISTS SCS_M_INTLINKQUEUE (
  INT_LCNO           SMALLINT NOT NULL,
  INT_DIRINDEX       TINYINT  NOT NULL,
  INT_DOCSPD1        SMALLINT DEFAULT NULL,
  INT_DOCSPD2        SMALLINT DEFAULT NULL,
  INT_THDOC          SMALLINT DEFAULT NULL,
  INT_ADJSTFATOR     SMALLINT DEFAULT NULL,
  INT_DIRSTANDARDDS  SMALLINT DEFAULT NULL,
  INT_DIRSTANDARDQL  SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_DIRINDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Spill-back (blocked exit) control set by intersection INT_LCNO for the
-- direction INT_SPILLBACKINDEX (1..8): the controlled upstream intersection
-- INT_SPILLBACKINT, main and sub phase, link length, limit queue, shockwave
-- speed, and the active period (INT_SPILLBACKACTIVE 1 = active).
CREATE TABLE IF NOT EXISTS SCS_M_INTSPILLBACK (
  INT_LCNO                SMALLINT NOT NULL,
  INT_SPILLBACKINDEX      TINYINT  NOT NULL,
  INT_SPILLBACKINT        SMALLINT DEFAULT NULL,
  INT_SPILLBACKPHASE1     TINYINT  DEFAULT NULL,
  INT_SPILLBACKPHASE2     TINYINT  DEFAULT NULL,
  INT_SPILLBACKLENGTH     INT      DEFAULT NULL,
  INT_SPILLBACKTHOCQL     SMALLINT DEFAULT NULL,
  INT_SPILLBACKOFFSET     SMALLINT DEFAULT NULL,
  INT_SPILLBACKSTARTHOUR  TINYINT  DEFAULT NULL,
  INT_SPILLBACKSTARTMIN   TINYINT  DEFAULT NULL,
  INT_SPILLBACKENDHOUR    TINYINT  DEFAULT NULL,
  INT_SPILLBACKENDMIN     TINYINT  DEFAULT NULL,
  INT_SPILLBACKACTIVE     TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_SPILLBACKINDEX),
  KEY IX_SCS_M_INTSPILLBACK_INT (INT_SPILLBACKINT)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Spill-back detector phases per direction as a 2010 controller keeps them
-- (ring 1 A, 2 B).
CREATE TABLE IF NOT EXISTS SCS_M_INTSPILLBACK2 (
  INT_LCNO            SMALLINT NOT NULL,
  INT_SPILLBACKINDEX  TINYINT  NOT NULL,
  MAIN_RING           TINYINT  DEFAULT NULL,
  MAIN_PHASE          TINYINT  DEFAULT NULL,
  SUB_RING            TINYINT  DEFAULT NULL,
  SUB_PHASE           TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_SPILLBACKINDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Time plans of an intersection: plan INT_TPLAN, row INT_TPLANINDEX (1..16),
-- splits of rings A and B per phase (seconds) and the offset.
CREATE TABLE IF NOT EXISTS SCS_M_INTTPLAN (
  INT_LCNO        SMALLINT NOT NULL,
  INT_TPLAN       TINYINT  NOT NULL,
  INT_TPLANINDEX  TINYINT  NOT NULL,
  INT_ASPLIT1     SMALLINT DEFAULT NULL,
  INT_ASPLIT2     SMALLINT DEFAULT NULL,
  INT_ASPLIT3     SMALLINT DEFAULT NULL,
  INT_ASPLIT4     SMALLINT DEFAULT NULL,
  INT_ASPLIT5     SMALLINT DEFAULT NULL,
  INT_ASPLIT6     SMALLINT DEFAULT NULL,
  INT_ASPLIT7     SMALLINT DEFAULT NULL,
  INT_ASPLIT8     SMALLINT DEFAULT NULL,
  INT_BSPLIT1     SMALLINT DEFAULT NULL,
  INT_BSPLIT2     SMALLINT DEFAULT NULL,
  INT_BSPLIT3     SMALLINT DEFAULT NULL,
  INT_BSPLIT4     SMALLINT DEFAULT NULL,
  INT_BSPLIT5     SMALLINT DEFAULT NULL,
  INT_BSPLIT6     SMALLINT DEFAULT NULL,
  INT_BSPLIT7     SMALLINT DEFAULT NULL,
  INT_BSPLIT8     SMALLINT DEFAULT NULL,
  INT_OFFSET      SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_TPLAN, INT_TPLANINDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Signal maps: one row per step (1..32) of one ring and plan class, with the
-- lamp code byte of every vehicle and pedestrian output, the step's time
-- limits and the end-of-phase flag.
CREATE TABLE IF NOT EXISTS SCS_M_INTSIGMAP (
  INT_LCNO      SMALLINT NOT NULL,
  INT_PLANCLSS  TINYINT  NOT NULL,
  INT_RING      TINYINT  NOT NULL,
  INT_STEPNO    TINYINT  NOT NULL,
  INT_VEH1      SMALLINT DEFAULT NULL,
  INT_PED1      SMALLINT DEFAULT NULL,
  INT_VEH2      SMALLINT DEFAULT NULL,
  INT_PED2      SMALLINT DEFAULT NULL,
  INT_VEH3      SMALLINT DEFAULT NULL,
  INT_PED3      SMALLINT DEFAULT NULL,
  INT_VEH4      SMALLINT DEFAULT NULL,
  INT_PED4      SMALLINT DEFAULT NULL,
  INT_VEH5      SMALLINT DEFAULT NULL,
  INT_PED5      SMALLINT DEFAULT NULL,
  INT_VEH6      SMALLINT DEFAULT NULL,
  INT_PED6      SMALLINT DEFAULT NULL,
  INT_VEH7      SMALLINT DEFAULT NULL,
  INT_PED7      SMALLINT DEFAULT NULL,
  INT_VEH8      SMALLINT DEFAULT NULL,
  INT_PED8      SMALLINT DEFAULT NULL,
  INT_MINSPLIT  SMALLINT DEFAULT NULL,
  INT_MAXSPLIT  SMALLINT DEFAULT NULL,
  INT_EOP       TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_PLANCLSS, INT_RING, INT_STEPNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Output map per output direction (1..8 N E S W NE SE SW NW, 9 and 10
-- reserve): which lamps are installed and on which LSU and output, the push
-- buttons' ring and phase, coordinated pedestrian times.
CREATE TABLE IF NOT EXISTS SCS_M_INTOUTPED (
  INT_LCNO       SMALLINT NOT NULL,
  INT_OUTDIR     TINYINT  NOT NULL,
  INT_VEHYN      TINYINT  DEFAULT NULL,
  INT_PEDBIKEYN  TINYINT  DEFAULT NULL,
  INT_PEDYN      TINYINT  DEFAULT NULL,
  INT_INSTALLYN  TINYINT  DEFAULT NULL,
  INT_GOLSU      TINYINT  DEFAULT NULL,
  INT_GOSORT     TINYINT  DEFAULT NULL,
  INT_LEFTYN     TINYINT  DEFAULT NULL,
  INT_LEFTSORT   TINYINT  DEFAULT NULL,
  INT_PEDLSU     TINYINT  DEFAULT NULL,
  INT_PEDSORT    TINYINT  DEFAULT NULL,
  INT_BIKELSU    TINYINT  DEFAULT NULL,
  INT_BIKESORT   TINYINT  DEFAULT NULL,
  INT_RIGHTLSU   TINYINT  DEFAULT NULL,
  INT_RIGHTSORT  TINYINT  DEFAULT NULL,
  INT_BUSLSU     TINYINT  DEFAULT NULL,
  INT_BUSSORT    TINYINT  DEFAULT NULL,
  INT_GENRING    TINYINT  DEFAULT NULL,
  INT_GENPHASE   TINYINT  DEFAULT NULL,
  INT_SPCRING    TINYINT  DEFAULT NULL,
  INT_SPCPHASE   TINYINT  DEFAULT NULL,
  INT_PEDSOLID   TINYINT  DEFAULT NULL,
  INT_PEDFLASH   TINYINT  DEFAULT NULL,
  INT_PEDEXT     SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_OUTDIR)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Lamp type of each of the 16 LSUs of a controller (0 three, 1 four colours).
CREATE TABLE IF NOT EXISTS SCS_M_INTLSU (
  INT_LCNO       SMALLINT NOT NULL,
  INT_LSU01LAMP  TINYINT  DEFAULT NULL,
  INT_LSU02LAMP  TINYINT  DEFAULT NULL,
  INT_LSU03LAMP  TINYINT  DEFAULT NULL,
  INT_LSU04LAMP  TINYINT  DEFAULT NULL,
  INT_LSU05LAMP  TINYINT  DEFAULT NULL,
  INT_LSU06LAMP  TINYINT  DEFAULT NULL,
  INT_LSU07LAMP  TINYINT  DEFAULT NULL,
  INT_LSU08LAMP  TINYINT  DEFAULT NULL,
  INT_LSU09LAMP  TINYINT  DEFAULT NULL,
  INT_LSU10LAMP  TINYINT  DEFAULT NULL,
  INT_LSU11LAMP  TINYINT  DEFAULT NULL,
  INT_LSU12LAMP  TINYINT  DEFAULT NULL,
  INT_LSU13LAMP  TINYINT  DEFAULT NULL,
  INT_LSU14LAMP  TINYINT  DEFAULT NULL,
  INT_LSU15LAMP  TINYINT  DEFAULT NULL,
  INT_LSU16LAMP  TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Reservation (function) plans of a controller: entries 1..10 with date or
-- day-of-week, time window, control type and time-difference map number.
CREATE TABLE IF NOT EXISTS SCS_M_INTFPLAN (
  INT_LCNO           SMALLINT NOT NULL,
  INT_FPLANINDEX     TINYINT  NOT NULL,
  INT_RSRVMONTH      TINYINT  DEFAULT NULL,
  INT_RSRVDAY        TINYINT  DEFAULT NULL,
  INT_RSRVWKD        TINYINT  DEFAULT NULL,
  INT_CNTLSTARTHOUR  TINYINT  DEFAULT NULL,
  INT_CNTLSTARTMIN   TINYINT  DEFAULT NULL,
  INT_CNTLENDHOUR    TINYINT  DEFAULT NULL,
  INT_CNTLENDMIN     TINYINT  DEFAULT NULL,
  INT_CNTLTYPE       TINYINT  DEFAULT NULL,
  INT_CNTLSPCNO      TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_FPLANINDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Vehicle countdown timers: one state byte per display (bit 0 enable,
-- bit 1 wireless, bit 2 power off, bit 3 special), straight and left turn.
-- SSL is a reserved word in MariaDB: statements must quote it as `SSL`.
CREATE TABLE IF NOT EXISTS SCS_M_CARTIMER (
  INT_LCNO  SMALLINT NOT NULL,
  NN   SMALLINT DEFAULT NULL, EE   SMALLINT DEFAULT NULL,
  SS   SMALLINT DEFAULT NULL, WW   SMALLINT DEFAULT NULL,
  NE   SMALLINT DEFAULT NULL, SE   SMALLINT DEFAULT NULL,
  SW   SMALLINT DEFAULT NULL, EW   SMALLINT DEFAULT NULL,
  R1   SMALLINT DEFAULT NULL, R2   SMALLINT DEFAULT NULL,
  R3   SMALLINT DEFAULT NULL, R4   SMALLINT DEFAULT NULL,
  R5   SMALLINT DEFAULT NULL, R6   SMALLINT DEFAULT NULL,
  R7   SMALLINT DEFAULT NULL, R8   SMALLINT DEFAULT NULL,
  NNL  SMALLINT DEFAULT NULL, EEL  SMALLINT DEFAULT NULL,
  `SSL` SMALLINT DEFAULT NULL, WWL  SMALLINT DEFAULT NULL,
  NEL  SMALLINT DEFAULT NULL, SEL  SMALLINT DEFAULT NULL,
  SWL  SMALLINT DEFAULT NULL, EWL  SMALLINT DEFAULT NULL,
  R1L  SMALLINT DEFAULT NULL, R2L  SMALLINT DEFAULT NULL,
  R3L  SMALLINT DEFAULT NULL, R4L  SMALLINT DEFAULT NULL,
  R5L  SMALLINT DEFAULT NULL, R6L  SMALLINT DEFAULT NULL,
  R7L  SMALLINT DEFAULT NULL, R8L  SMALLINT DEFAULT NULL,
  PRIMARY KEY (INT_LCNO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- VMS messages of an intersection (MSG_INDEX 1..16). The text is kept as
-- entered; the controller record carries at most 48 bytes of it in CP949.
CREATE TABLE IF NOT EXISTS SCS_M_VMSMESSAGE (
  INT_LCNO            SMALLINT     NOT NULL,
  MSG_INDEX           TINYINT      NOT NULL,
  MSG_MESSAGE         VARCHAR(200) DEFAULT NULL,
  MSG_DIRECTION       TINYINT      DEFAULT NULL,
  MSG_TYPE            TINYINT      DEFAULT NULL,
  MSG_DISPTIME        SMALLINT     DEFAULT NULL,
  MSG_FONT            TINYINT      DEFAULT NULL,
  MSG_TEXTCOLOR       TINYINT      DEFAULT NULL,
  MSG_BACKCOLOR       TINYINT      DEFAULT NULL,
  MSG_BLINK           TINYINT      DEFAULT NULL,
  MSG_FUNCTYPE        TINYINT      DEFAULT NULL,
  MSG_DISPMODE        TINYINT      DEFAULT NULL,
  MSG_APPEARTYPE      TINYINT      DEFAULT NULL,
  MSG_APPEARSPEED     SMALLINT     DEFAULT NULL,
  MSG_DISAPPEARTYPE   TINYINT      DEFAULT NULL,
  MSG_DISAPPEARSPEED  SMALLINT     DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, MSG_INDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- VMS schedule entries of an intersection (INT_MSGINDEX 1..10).
CREATE TABLE IF NOT EXISTS SCS_M_VMSSCHEDULE (
  INT_LCNO       SMALLINT NOT NULL,
  INT_MSGINDEX   TINYINT  NOT NULL,
  INT_MSGMONTH   TINYINT  DEFAULT NULL,
  INT_MSGDAY     TINYINT  DEFAULT NULL,
  INT_MSGWKD     TINYINT  DEFAULT NULL,
  INT_STARTHOUR  TINYINT  DEFAULT NULL,
  INT_STARTMIN   TINYINT  DEFAULT NULL,
  INT_ENDHOUR    TINYINT  DEFAULT NULL,
  INT_ENDMIN     TINYINT  DEFAULT NULL,
  INT_BRIGHT     SMALLINT DEFAULT NULL,
  INT_DIRECTION  TINYINT  DEFAULT NULL,
  INT_TYPE       TINYINT  DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_MSGINDEX)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Detectors
-- ===========================================================================

-- Detector channels of a controller: 1..64 direct channels (lane and
-- position), 65..128 indirect channels mirroring channel TFDT_REAL_CHANNEL
-- of intersection TFDT_REAL_LCNO. TFDT_USE 1 through, 2 left turn, 3 queue,
-- 4 spill-back, 5 left-turn queue, 6/7 double loop in/out, 8 other;
-- TFDT_RING 1 A, 2 B; TFDT_DIR 1..8 (N E S W NE SE SW NW); TFDT_IODIR
-- 0 inflow, 1 outflow; TFDT_REGFLAG 1 registered. TFDT_ID links the channel
-- to the detector position in SCS_M_TFDT.
CREATE TABLE IF NOT EXISTS SCS_M_TFDTOPERATE (
  INT_LCNO            SMALLINT    NOT NULL,
  TFDT_NO             SMALLINT    NOT NULL,
  TFDT_TYPE           TINYINT     DEFAULT NULL,
  TFDT_USE            TINYINT     DEFAULT NULL,
  TFDT_RING           TINYINT     DEFAULT NULL,
  TFDT_PHASE          TINYINT     DEFAULT NULL,
  TFDT_DIR            TINYINT     DEFAULT NULL,
  TFDT_IODIR          TINYINT     DEFAULT NULL,
  TFDT_LANE           TINYINT     DEFAULT NULL,
  TFDT_POSITION       SMALLINT    DEFAULT NULL,
  TFDT_WGHVOL         SMALLINT    DEFAULT NULL,
  TFDT_WGHSPD         SMALLINT    DEFAULT NULL,
  TFDT_WGHSATURATION  SMALLINT    DEFAULT NULL,
  MAIN_RING           TINYINT     DEFAULT NULL,
  MAIN_PHASE          TINYINT     DEFAULT NULL,
  SUB_RING            TINYINT     DEFAULT NULL,
  SUB_PHASE           TINYINT     DEFAULT NULL,
  TFDT_REGFLAG        TINYINT     DEFAULT NULL,
  TFDT_ID             VARCHAR(10) DEFAULT NULL,
  TFDT_REAL_LCNO      SMALLINT    DEFAULT NULL,
  TFDT_REAL_CHANNEL   SMALLINT    DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, TFDT_NO)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Detector positions on the map (identifiers hold digits only).
CREATE TABLE IF NOT EXISTS SCS_M_TFDT (
  TFDT_ID    VARCHAR(10)  NOT NULL,
  TFDT_NAME  VARCHAR(100) DEFAULT NULL,
  TFDT_LAT   DOUBLE       DEFAULT NULL,
  TFDT_LNG   DOUBLE       DEFAULT NULL,
  PRIMARY KEY (TFDT_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Detector data logged by the centre, one row per channel and time.
-- TFDT_STATUS1 installed, 2 loop cut, 3..7 error flags (1 set, 0 clear).
CREATE TABLE IF NOT EXISTS SCS_L_TFDT (
  INT_LCNO        SMALLINT    NOT NULL,
  TFDT_NO         SMALLINT    NOT NULL,
  TFDT_CREDATE    DATETIME    NOT NULL,
  TFDT_REDVOL     INT         DEFAULT NULL,
  TFDT_QUEUE      INT         DEFAULT NULL,
  TFDT_SMT        INT         DEFAULT NULL,
  TFDT_SFR        INT         DEFAULT NULL,
  TFDT_OCC        INT         DEFAULT NULL,
  TFDT_NOCC       INT         DEFAULT NULL,
  TFDT_WGHVOL     INT         DEFAULT NULL,
  TFDT_WGHSPD     INT         DEFAULT NULL,
  TFDT_WGHDS      INT         DEFAULT NULL,
  TFDT_DOCSTATUS  TINYINT     DEFAULT NULL,
  TFDT_OCCSTATUS  TINYINT     DEFAULT NULL,
  TFDT_STATUS1    TINYINT     DEFAULT NULL,
  TFDT_STATUS2    TINYINT     DEFAULT NULL,
  TFDT_STATUS3    TINYINT     DEFAULT NULL,
  TFDT_STATUS4    TINYINT     DEFAULT NULL,
  TFDT_STATUS5    TINYINT     DEFAULT NULL,
  TFDT_STATUS6    TINYINT     DEFAULT NULL,
  TFDT_STATUS7    TINYINT     DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, TFDT_NO, TFDT_CREDATE),
  KEY IX_SCS_L_TFDT_DATE (TFDT_CREDATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Intersection traffic computed by the centre per approach (INT_DIR1) and
-- movement (INT_DIR2): queue length, speed, occupancy, volume, saturation.
CREATE TABLE IF NOT EXISTS SCS_L_INTTRAFFIC (
  INT_LCNO     SMALLINT NOT NULL,
  INT_CREDATE  DATETIME NOT NULL,
  INT_DIR1     TINYINT  NOT NULL,
  INT_DIR2     TINYINT  NOT NULL,
  INT_QL       INT      DEFAULT NULL,
  INT_AVGSPD   INT      DEFAULT NULL,
  INT_SUMOCC   INT      DEFAULT NULL,
  INT_SUMNOCC  INT      DEFAULT NULL,
  INT_SUMSMT   INT      DEFAULT NULL,
  INT_SUMVOL   INT      DEFAULT NULL,
  INT_DS       INT      DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, INT_CREDATE, INT_DIR1, INT_DIR2),
  KEY IX_SCS_L_INTTRAFFIC_DATE (INT_CREDATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Road network
-- ===========================================================================

-- Nodes (points where roads meet). NODE_ID holds digits only; NODE_SANO is
-- the node's group, kept by the group membership editor.
CREATE TABLE IF NOT EXISTS SCS_M_NODE (
  NODE_ID    VARCHAR(10)  NOT NULL,
  NODE_NAME  VARCHAR(100) DEFAULT NULL,
  NODE_LAT   DOUBLE       DEFAULT NULL,
  NODE_LNG   DOUBLE       DEFAULT NULL,
  NODE_SANO  SMALLINT     DEFAULT NULL,
  PRIMARY KEY (NODE_ID),
  KEY IX_SCS_M_NODE_POS (NODE_LAT, NODE_LNG)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Links: directed road sections from node NODE_FID to node NODE_TID.
-- LINK_TYPE is the geometry type text ("LineString"); LINK_LENGTH metres.
-- GEOM is derived from SCS_M_LINK_DETAIL (vertices in NUM order, latitude
-- as the first ordinate) and never edited directly.
CREATE TABLE IF NOT EXISTS SCS_M_LINK (
  LINK_ID      VARCHAR(10)  NOT NULL,
  NODE_FID     VARCHAR(10)  DEFAULT NULL,
  NODE_TID     VARCHAR(10)  DEFAULT NULL,
  LINK_TYPE    VARCHAR(20)  DEFAULT NULL,
  GEOM         LINESTRING   DEFAULT NULL,
  LINK_LENGTH  INT          DEFAULT NULL,
  ROAD_NAME    VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (LINK_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Vertices of the links: NUM from 1 in drawing order, GROUP_NUM the part of
-- a multi-part line (1 for plain lines).
CREATE TABLE IF NOT EXISTS SCS_M_LINK_DETAIL (
  LINK_ID    VARCHAR(10) NOT NULL,
  NUM        INT         NOT NULL,
  GROUP_NUM  INT         NOT NULL DEFAULT 1,
  POINT_LAT  DOUBLE      DEFAULT NULL,
  POINT_LNG  DOUBLE      DEFAULT NULL,
  PRIMARY KEY (LINK_ID, GROUP_NUM, NUM),
  KEY IX_SCS_M_LINK_DETAIL_POS (POINT_LAT, POINT_LNG)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Map layers as GeoJSON FeatureCollections in CP949 text: "NODE" and "LINK".
-- (Created with the same statement as the start-up schema check.)
CREATE TABLE IF NOT EXISTS SCS_M_LAYER ( LAYER_NAME CHAR(4) NOT NULL, GEOJSON MEDIUMBLOB DEFAULT NULL, PRIMARY KEY (LAYER_NAME) ) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Forced TOD plans (created with the same columns as the schema check)
-- ===========================================================================

-- Forced TOD plans of an intersection: days of the week, time window, splits
-- of rings A and B, offset, use flag.
CREATE TABLE IF NOT EXISTS SCS_M_INTFORCETOD (
  INT_LCNO SMALLINT NOT NULL,
  INT_FORCEPLAN TINYINT NOT NULL,
  INT_SUN TINYINT, INT_MON TINYINT, INT_TUE TINYINT, INT_WED TINYINT,
  INT_THU TINYINT, INT_FRI TINYINT, INT_SAT TINYINT,
  INT_STARTHOUR TINYINT, INT_STARTMIN TINYINT, INT_ENDHOUR TINYINT, INT_ENDMIN TINYINT,
  INT_ASPLIT1 SMALLINT, INT_ASPLIT2 SMALLINT, INT_ASPLIT3 SMALLINT, INT_ASPLIT4 SMALLINT,
  INT_ASPLIT5 SMALLINT, INT_ASPLIT6 SMALLINT, INT_ASPLIT7 SMALLINT, INT_ASPLIT8 SMALLINT,
  INT_BSPLIT1 SMALLINT, INT_BSPLIT2 SMALLINT, INT_BSPLIT3 SMALLINT, INT_BSPLIT4 SMALLINT,
  INT_BSPLIT5 SMALLINT, INT_BSPLIT6 SMALLINT, INT_BSPLIT7 SMALLINT, INT_BSPLIT8 SMALLINT,
  INT_OFFSET SMALLINT,
  INT_REGFLAG TINYINT,
  PRIMARY KEY (INT_LCNO, INT_FORCEPLAN)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Firmware and manufacturers
-- ===========================================================================

-- Controller and firmware manufacturers (two-digit code 0..99).
CREATE TABLE IF NOT EXISTS SCS_M_MANUFACTURE (
  MANUFACTURE_ID    SMALLINT     NOT NULL,
  MANUFACTURE_NAME  VARCHAR(100) DEFAULT NULL,
  PRIMARY KEY (MANUFACTURE_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Firmware images. FW_ID = kind * 10000 + manufacturer * 100 + module
-- (kind 1 MCU, 2 SCU; module 0..99). FW_CRC32 is the CRC-32 of FW_BINARY as
-- eight hexadecimal digits without prefix; FW_SIZE its length in bytes.
CREATE TABLE IF NOT EXISTS SCS_M_FIRMWARE (
  FW_ID          INT          NOT NULL,
  FW_CREDATE     DATETIME     DEFAULT NULL,
  FW_VER_MAJOR   SMALLINT     DEFAULT NULL,
  FW_VER_MINOR   SMALLINT     DEFAULT NULL,
  FW_VER_MODULE  SMALLINT     DEFAULT NULL,
  FW_VER_REV     INT          DEFAULT NULL,
  FW_FILENAME    VARCHAR(260) DEFAULT NULL,
  FW_SIZE        INT          DEFAULT NULL,
  FW_BINARY      LONGBLOB     DEFAULT NULL,
  FW_CRC32       VARCHAR(8)   DEFAULT NULL,
  PRIMARY KEY (FW_ID)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Priority signals
-- ===========================================================================

-- Priority-signal agencies (code 0..255). PPC_TYPE 0 emergency vehicles,
-- 1 buses.
CREATE TABLE IF NOT EXISTS SCS_M_INTPPCMANAGER (
  PPC_MANAGER    SMALLINT     NOT NULL,
  PPC_TYPE       TINYINT      DEFAULT NULL,
  PPCM_COMMENTS  VARCHAR(200) DEFAULT NULL,
  PRIMARY KEY (PPC_MANAGER)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Routes (buses) or vehicles (emergency) registered for priority at an
-- intersection, per agency (PPC_NUMBER 0..4294967295).
CREATE TABLE IF NOT EXISTS SCS_M_INTPPC (
  INT_LCNO       SMALLINT     NOT NULL,
  PPC_MANAGER    SMALLINT     NOT NULL,
  PPC_NUMBER     BIGINT       NOT NULL,
  PPCN_COMMENTS  VARCHAR(200) DEFAULT NULL,
  PRIMARY KEY (INT_LCNO, PPC_MANAGER, PPC_NUMBER)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Emergency-vehicle phone application
-- ===========================================================================

-- Emergency services. STATUS 0 requested, 1 in progress, 2 finished.
-- Destination as texts of decimal degrees. The console names its own
-- services "S" + YYMMDDHHNNSS.
CREATE TABLE IF NOT EXISTS SCS_M_APP_EMERGENCY (
  SERVICE_ID       VARCHAR(50)  NOT NULL,
  SERVICE_NAME     VARCHAR(100) DEFAULT NULL,
  DESTINATION_LAT  VARCHAR(20)  DEFAULT NULL,
  DESTINATION_LNG  VARCHAR(20)  DEFAULT NULL,
  STATUS           TINYINT      NOT NULL DEFAULT 0,
  CREATE_DATE      DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (SERVICE_ID),
  KEY IX_SCS_M_APP_EMERGENCY_STATUS (STATUS, CREATE_DATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Events reported during a service (position, speed, intersection passed).
CREATE TABLE IF NOT EXISTS SCS_L_APP_EVENT (
  SERVICE_ID     VARCHAR(50)  NOT NULL,
  CREATE_DATE    DATETIME(6)  NOT NULL,
  CURRENT_LAT    DOUBLE       DEFAULT NULL,
  CURRENT_LNG    DOUBLE       DEFAULT NULL,
  CURRENT_SPEED  SMALLINT     DEFAULT NULL,
  LC_NO          SMALLINT     DEFAULT NULL,
  DESCRIPTION    VARCHAR(500) DEFAULT NULL,
  KEY IX_SCS_L_APP_EVENT (SERVICE_ID, CREATE_DATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- Routes of a service: a JavaScript array of map points, stored with
-- COMPRESS() (read back with UNCOMPRESS()).
CREATE TABLE IF NOT EXISTS SCS_L_APP_ROUTE (
  SERVICE_ID   VARCHAR(50)  NOT NULL,
  CREATE_DATE  DATETIME(6)  NOT NULL,
  ROUTE        LONGBLOB     DEFAULT NULL,
  KEY IX_SCS_L_APP_ROUTE (SERVICE_ID, CREATE_DATE)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

-- ===========================================================================
-- Reference texts of the event codes and values (idempotent upserts)
-- ===========================================================================

INSERT INTO SCS_M_EVENT_CODE (EVENT_CODE, EVENT_DESC) VALUES
  (13, 'Update Information'),
  (14, 'Intesection DB Up/Download'),
  (15, 'Intersection Operation'),
  (19, 'Database Error'),
  (32, 'Change Intersection Mode'),
  (33, 'Change Intersection Status'),
  (41, 'Intersection Special Command'),
  (42, 'Reservation'),
  (64, 'Chang Group Mode'),
  (65, 'Change Group Plan'),
  (67, 'Group Manual Control'),
  (68, 'Group Mode Control'),
  (69, 'Group Special Control'),
  (96, 'Change Detector Status'),
  (160, 'Login/Logout')
ON DUPLICATE KEY UPDATE EVENT_DESC = VALUES(EVENT_DESC);

INSERT INTO SCS_M_EVENT_VALUE (EVENT_CODE, EVENT_VALUE, EVENT_VALUE_DESC) VALUES
  -- 13: host requests
  (13, 1, 'Reload Parameter'),
  (13, 2, 'Restart Server'),
  -- 14: controller database transfers (request or reply opcode)
  (14, 82, 'Download Option Board Message'),
  (14, 83, 'Response Download Option Board Message'),
  (14, 84, 'Upload Option Board Message'),
  (14, 85, 'Response Upload Option Board Message'),
  (14, 160, 'Download Startup'),
  (14, 161, 'Response Download Startup'),
  (14, 162, 'Upload Startup'),
  (14, 163, 'Response Upload Startup'),
  (14, 164, 'Download Holiday Plan'),
  (14, 165, 'Response Download Holiday Plan'),
  (14, 166, 'Upload Holiday Plan'),
  (14, 167, 'Response Download Holiday Plan'),
  (14, 168, 'Download Weekly Plan'),
  (14, 169, 'Response Download Weekly Plan'),
  (14, 170, 'Upload Weekly Plan'),
  (14, 171, 'Response Upload Weekly Plan'),
  (14, 176, 'Download Day Plan'),
  (14, 177, 'Response Download Day Plan'),
  (14, 178, 'Upload Day Plan'),
  (14, 179, 'Response Upload Day Plan'),
  (14, 180, 'Download Reservation Plan'),
  (14, 181, 'Response Download Reservation Plan'),
  (14, 182, 'Upload Reservation Plan'),
  (14, 183, 'Response Upload Reservation Plan'),
  (14, 188, 'Download Signal-map'),
  (14, 189, 'Response Download Signal-map'),
  (14, 190, 'Upload Signal-map'),
  (14, 191, 'Response Upload Signal-map'),
  (14, 192, 'Download Flash-map'),
  (14, 193, 'Response Download Flash-map'),
  (14, 194, 'Upload Flash-map'),
  (14, 195, 'Response Upload Flash-map'),
  (14, 196, 'Download Detector Configuration(1-32)'),
  (14, 197, 'Response Download Detector Configuration(1-32)'),
  (14, 198, 'Upload Detector Configuration(1-32)'),
  (14, 199, 'Response Upload Detector Configuration(1-32)'),
  (14, 202, 'Download Detector Configuration(33-64)'),
  (14, 203, 'Response Download Detector Configuration(33-64)'),
  (14, 204, 'Upload Detector Configuration(33-64)'),
  (14, 205, 'Response Upload Detector Configuration(33-64)'),
  (14, 208, 'Download Output-map'),
  (14, 209, 'Response Download Output-map'),
  (14, 210, 'Upload Output-map'),
  (14, 211, 'Response Upload Output-map'),
  (14, 212, 'Download Conflict-map'),
  (14, 213, 'Response Download Conflict-map'),
  (14, 214, 'Upload Conflict-map'),
  (14, 215, 'Response Upload Conflict-map'),
  (14, 216, 'Request Device Information'),
  (14, 217, 'Response Device Information'),
  (14, 218, 'Request Configure Network and Retrieve States'),
  (14, 219, 'Response Configure Network and Retrieve States'),
  (14, 220, 'Resquest UPS Information'),
  (14, 221, 'Response UPS Information'),
  -- 15: intersection operation exchanges
  (15, 16, 'Request Control Information'),
  (15, 17, 'Response Control Information'),
  (15, 18, 'Request Intersection Status'),
  (15, 19, 'Response Intersection Status'),
  (15, 34, 'Request Detector Information'),
  (15, 35, 'Response Detector Information'),
  (15, 48, 'Request Download Split Information'),
  (15, 49, 'Response Download Split Information'),
  (15, 50, 'Request Upload Split Information'),
  (15, 51, 'Response Upload Split Information'),
  (15, 64, 'Download Center Time'),
  (15, 65, 'Response Download Center Time'),
  (15, 66, 'Upload Local Time'),
  (15, 67, 'Response Upload Local Time'),
  -- 19: controller database error codes
  (19, 0, 'No Error'),
  (19, 1, 'Main-Phase Error on GMAP'),
  (19, 2, 'Main-Phase Error on EMAP'),
  (19, 3, 'Holiday plans specified date error'),
  (19, 4, 'Plan number exceeds holiday plans'),
  (19, 5, 'No holiday plans General'),
  (19, 6, 'No holiday plans Special'),
  (19, 7, 'Plan number exceeds weekly plans'),
  (19, 8, 'No weekly plans General'),
  (19, 9, 'No weekly plans Special'),
  (19, 10, 'Reservation Plan the date/time error'),
  (19, 11, 'Reserved'),
  (19, 12, 'Reserved'),
  (19, 13, 'Reserved'),
  (19, 14, 'Reserved'),
  (19, 15, 'No Definition'),
  (19, 16, 'Plan number exceeds day plan'),
  (19, 17, 'The sum of phase and cycle mismatch in day plan'),
  (19, 18, 'Offset exceeds day plan cycle'),
  (19, 19, 'A ring and B-ring phases differ in day plan'),
  (19, 20, 'A ring and B-ring cycles differ in day plan'),
  (19, 21, 'Phase of day plan exceed min/max'),
  (19, 22, 'Phases of day plan differ with the MAP'),
  (19, 23, 'Phases of day plan differ with the MAP'),
  (19, 24, 'A ring and B-ring phases differ in center plan'),
  (19, 25, 'A ring and B-ring cycles differ in center plan'),
  (19, 32, 'Pedestrian code error in MAP'),
  (19, 33, 'Pedestrian code error in MAP'),
  (19, 34, 'A ring and B-ring phasse differ in MAP'),
  (19, 35, 'Min/max Error in MAP'),
  (19, 36, 'Code error in MAP'),
  (19, 37, 'MAP is a violation of the conflict-map'),
  (19, 38, 'No EMAP'),
  (19, 39, 'No GMAP'),
  (19, 40, 'No flash-map'),
  (19, 41, 'Flash-map code error'),
  (19, 42, 'Reserved'),
  (19, 43, 'Reserved'),
  (19, 44, 'Reserved'),
  (19, 45, 'Reserved'),
  (19, 46, 'Reserved'),
  (19, 47, 'Reserved'),
  (19, 48, 'No Push-button'),
  (19, 49, 'Push-button failure'),
  (19, 50, 'No detector'),
  (19, 51, 'Detector failure'),
  (19, 52, 'Type of Detector mismatch LSU direction'),
  (19, 53, 'No definition Error'),
  -- 32: intersection mode changes
  (32, 0, 'SCU'),
  (32, 1, 'Local Control'),
  (32, 2, 'Actuate Local Control'),
  (32, 4, 'Actuate Center Control'),
  (32, 5, 'Center Control'),
  (32, 16, 'Cycle Error'),
  (32, 17, 'Transition Error'),
  (32, 18, 'Transition'),
  -- 33: intersection status changes
  (33, 1, 'Power'),
  (33, 2, 'MCU-SCU Communication'),
  (33, 3, 'Light Control'),
  (33, 4, 'Ring Mode'),
  (33, 5, 'Bank'),
  (33, 6, 'Actuate Control'),
  (33, 7, 'POLICE Progress'),
  (33, 8, 'POLICE Manual S/W'),
  (33, 9, 'POLICE Flashing S/W'),
  (33, 10, 'POLICE Off Light S/W'),
  (33, 11, 'Conflict'),
  (33, 12, 'Off Light'),
  (33, 13, 'Flashing'),
  (33, 14, 'Database Status'),
  (33, 15, 'EMAP Control'),
  (33, 16, 'Manual Control'),
  (33, 17, 'Detect Conflict'),
  (33, 18, 'Local Controller'),
  (33, 19, 'Omit Phase'),
  (33, 20, 'Hold Phase'),
  (33, 21, 'Spillback'),
  (33, 22, 'Communication Status'),
  -- 41: intersection commands written by the console: the special-command
  -- items 1..128 and the commands 161..174
  (41, 1, 'MCU Reset'),
  (41, 2, 'SCU Reset'),
  (41, 4, 'Stop Conflict'),
  (41, 8, 'Manual Control'),
  (41, 16, 'Conflict Control'),
  (41, 32, 'Light Control'),
  (41, 64, 'Flashing Control'),
  (41, 128, 'Off Light Control'),
  (41, 161, 'EMAP Control'),
  (41, 162, 'Actuate Control'),
  (41, 163, 'Hold Phase'),
  (41, 164, 'Omit Phase'),
  (41, 165, 'Local Mode'),
  (41, 166, 'Center Mode'),
  (41, 167, 'Spillback Control'),
  (41, 168, 'TOD Mode'),
  (41, 169, 'TRC Mode'),
  (41, 170, 'Pedestrian Push Button'),
  (41, 171, 'Priority Board'),
  (41, 172, 'Firmware Upgrade'),
  (41, 173, 'Phase Advance'),
  (41, 174, 'Phase Jump'),
  -- 42: reservation control types
  (42, 1, 'Light Control'),
  (42, 2, 'Flashing'),
  (42, 3, 'Off Light'),
  (42, 4, 'EMAP Control'),
  (42, 5, 'Actuate Control'),
  (42, 6, 'Pedestian Push Button'),
  (42, 7, 'Sound-On'),
  (42, 8, 'Actuate+Push Button'),
  (42, 9, 'EMAP+Actuate+Push'),
  (42, 10, 'PPC Control'),
  (42, 11, 'Exclusive Spillback Control'),
  -- 64..69: group events and group commands
  (64, 0, 'Local Mode'),
  (64, 1, 'Center Mode'),
  (65, 0, 'Group TOD'),
  (65, 1, 'Group TRC'),
  (65, 2, 'Group Manual'),
  (67, 0, 'Group Manual'),
  (68, 0, 'Group TOD'),
  (68, 1, 'Group TRC'),
  (69, 1, 'Group Center Mode'),
  (69, 2, 'Group Local Mode'),
  (69, 3, 'Group Off Light Control'),
  (69, 4, 'Group Flashing Control'),
  (69, 5, 'Group Light Control'),
  -- 96: detectors
  (96, 1, 'Change Detector Status'),
  -- 160: login and logout
  (160, 0, 'Login'),
  (160, 1, 'LogOut')
ON DUPLICATE KEY UPDATE EVENT_VALUE_DESC = VALUES(EVENT_VALUE_DESC);

-- ===========================================================================
-- Tables and columns added by other parts of the console follow below.
-- ===========================================================================
