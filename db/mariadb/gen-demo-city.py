#!/usr/bin/env python3
# Writes the demo city (demo-city.sql beside this script) to standard output:
# about forty intersections around Gangnam station laid on a grid of its real
# roads, the links between them, detectors, phases and the demo operators.
#   python3 db/mariadb/gen-demo-city.py > db/mariadb/demo-city.sql
import json, math, sys

LAT0, LNG0 = 37.49794, 127.02762          # Gangnam station crossing
M_PER_DEG_LAT = 111320.0
M_PER_DEG_LNG = 111320.0 * math.cos(math.radians(LAT0))

# grid axes: along Teheran-ro (bearing 69 deg) and along Gangnam-daero (-18 deg)
EU = (math.sin(math.radians(69)), math.cos(math.radians(69)))
EV = (math.sin(math.radians(-18)), math.cos(math.radians(-18)))
COL_U = [0, 840, 1430, 2010, 2850]
ROW_V = [2140, 1560, 767, 0, -550, -1100, -1640]

ROW_ROADS = ["도산대로", "학동로", "봉은사로", "테헤란로", "역삼로", "도곡로", "남부순환로"]
COL_ROADS = ["강남대로", "논현로", "언주로", "선릉로", "영동대로"]
NAMES = [
    ["신사역사거리", "을지병원사거리", "도산공원사거리", "영동고교앞", "청담사거리"],
    ["논현역사거리", "논현동사거리", "학동사거리", "강남구청역사거리", "청담역사거리"],
    ["신논현역사거리", "언주역사거리", "차병원사거리", "선정릉역사거리", "봉은사역사거리"],
    ["강남역사거리", "역삼역사거리", "르네상스호텔사거리", "선릉역사거리", "삼성역사거리"],
    ["우성아파트사거리", "역삼초교앞", "개나리아파트앞", "한티역사거리", "휘문고사거리"],
    ["뱅뱅사거리", "매봉역사거리", "도곡역사거리", "대치역사거리", "은마아파트입구"],
    ["양재역사거리", "도곡1동사거리", "대치사거리", "학여울역사거리", "개포동역사거리"],
]
CI = {"신사역사거리", "논현역사거리", "신논현역사거리", "강남역사거리", "역삼역사거리",
      "선릉역사거리", "삼성역사거리", "양재역사거리"}
SCI = {"차병원사거리", "도곡역사거리", "한티역사거리", "학동사거리", "대치역사거리"}
RAMP = {"학여울역사거리"}
GROUPS = {1: ("도산대로 축", [0, 1]), 2: ("테헤란로 축", [2, 3]),
          3: ("도곡로 축", [4, 5]), 4: ("남부순환로 축", [6])}
# mid-block crossings: (row, left col, name, group)
EXTRAS = [(3, 0, "국기원입구", 2), (3, 3, "포스코사거리", 2), (4, 1, "역삼세무서앞", 3),
          (6, 1, "타워팰리스앞", 4), (6, 3, "양재천길입구", 4)]


def pos_m(u, v):
    return (u * EU[0] + v * EV[0], u * EU[1] + v * EV[1])   # east, north


def to_latlng(east, north):
    return (round(LAT0 + north / M_PER_DEG_LAT, 7), round(LNG0 + east / M_PER_DEG_LNG, 7))


def dist(a, b):
    dy = (a[0] - b[0]) * M_PER_DEG_LAT
    dx = (a[1] - b[1]) * M_PER_DEG_LNG
    return math.hypot(dx, dy)


def q(s):
    if s is None:
        return "NULL"
    if isinstance(s, (int, float)):
        return repr(s)
    return "'" + str(s).replace("\\", "\\\\").replace("'", "''") + "'"


# ---------------------------------------------------------------- intersections
lcs = {}        # lcno -> dict
by_rc = {}
lcno = 0
for sa, (sa_name, rows) in GROUPS.items():
    idx = 0
    for r in rows:
        for c in range(5):
            lcno += 1
            idx += 1
            east, north = pos_m(COL_U[c], ROW_V[r])
            lcs[lcno] = dict(no=lcno, name=NAMES[r][c], sa=sa, idx=idx, r=r, c=c,
                             pos=to_latlng(east, north), extra=False)
            by_rc[(r, c)] = lcno
    for (r, c, name, esa) in EXTRAS:
        if esa != sa:
            continue
        lcno += 1
        idx += 1
        e1, n1 = pos_m(COL_U[c], ROW_V[r])
        e2, n2 = pos_m(COL_U[c + 1], ROW_V[r])
        lcs[lcno] = dict(no=lcno, name=name, sa=sa, idx=idx, r=r, c=c + 0.5,
                         pos=to_latlng((e1 + e2) / 2, (n1 + n2) / 2), extra=True)
assert lcno == 40, lcno

for n, lc in lcs.items():
    if lc["name"] in CI:
        lc["imp"] = 1
    elif lc["name"] in SCI:
        lc["imp"] = 2
    elif lc["name"] in RAMP:
        lc["imp"] = 3
    else:
        lc["imp"] = 0
    k = n % 3
    # 0: 2004 controller; 1: 2010 four lamps; 2: 2010 three lamps
    lc["lctype"], lc["lamp"] = [(1, 1), (2, 1), (2, 0)][k]
    lc["node"] = "12200%05d" % n

GANGNAM = by_rc[(3, 0)]
VIRTUAL = 41
main = lcs[GANGNAM]
e0, n0 = pos_m(0, -70)   # 70 m south of Gangnam station on Gangnam-daero
lcs[VIRTUAL] = dict(no=VIRTUAL, name="강남역사거리(보행)", sa=main["sa"], idx=13, r=None,
                    c=None, pos=to_latlng(e0, n0), extra=True, imp=0,
                    lctype=main["lctype"], lamp=main["lamp"], node="12200%05d" % VIRTUAL,
                    virtual=True)

# ---------------------------------------------------------------- road network
roads = []   # (road name, [lcno, ...] in order west->east / north->south)
for r in range(7):
    seq = sorted([n for n, lc in lcs.items() if lc["r"] == r], key=lambda n: lcs[n]["c"])
    roads.append((ROW_ROADS[r], seq))
for c in range(5):
    seq = sorted([n for n, lc in lcs.items() if lc["c"] == c and lc["r"] is not None],
                 key=lambda n: lcs[n]["r"])
    roads.append((COL_ROADS[c], seq))
# the virtual crossing sits on Gangnam-daero just south of Gangnam station
gd = roads[7][1]
gd.insert(gd.index(GANGNAM) + 1, VIRTUAL)
lcs[VIRTUAL]["r"] = 3.1
lcs[VIRTUAL]["c"] = 0

links = []   # dict(id, f, t, road, pts, len)
link_of = {}  # (from lcno, to lcno) -> link id
lid = 0


def offset_pts(a, b, off):
    """a, b: (lat, lng). Three vertices offset to the right of travel."""
    ax, ay = a[1] * M_PER_DEG_LNG, a[0] * M_PER_DEG_LAT
    bx, by = b[1] * M_PER_DEG_LNG, b[0] * M_PER_DEG_LAT
    dx, dy = bx - ax, by - ay
    L = math.hypot(dx, dy)
    rx, ry = dy / L * off, -dx / L * off          # right-hand normal
    pts = []
    for t in (0.0, 0.5, 1.0):
        x, y = ax + dx * t + rx, ay + dy * t + ry
        pts.append((round(y / M_PER_DEG_LAT, 7), round(x / M_PER_DEG_LNG, 7)))
    return pts


for road, seq in roads:
    for a, b in zip(seq, seq[1:]):
        for f, t in ((a, b), (b, a)):
            lid += 1
            link_id = "12210%05d" % lid
            pts = offset_pts(lcs[f]["pos"], lcs[t]["pos"], 6.0)
            links.append(dict(id=link_id, f=lcs[f]["node"], t=lcs[t]["node"], road=road,
                              pts=pts, len=int(round(dist(lcs[f]["pos"], lcs[t]["pos"])))))
            link_of[(f, t)] = link_id


def neighbour(n, side):
    """Node on the given side of intersection n along its roads, or None."""
    for road, seq in roads:
        if n not in seq:
            continue
        i = seq.index(n)
        row_road = road in ROW_ROADS
        if side == "W" and row_road and i > 0:
            return seq[i - 1]
        if side == "E" and row_road and i + 1 < len(seq):
            return seq[i + 1]
        if side == "N" and not row_road and i > 0:
            return seq[i - 1]
        if side == "S" and not row_road and i + 1 < len(seq):
            return seq[i + 1]
    return None


def approach_link(n, side):
    m = neighbour(n, side)
    return link_of.get((m, n)) if m else None


# movement -> approach side: 6 EB through, 1 EB left (west approach), 2 WB
# through, 5 WB left (east), 8 NB through, 3 NB left (south), 4 SB through,
# 7 SB left (north); 17, 18 pedestrian
MV_SIDE = {6: "W", 1: "W", 2: "E", 5: "E", 8: "S", 3: "S", 4: "N", 7: "N"}


def phase_plan(lc):
    if lc.get("extra"):
        return [(1, 6, 2), (2, 17, 18)]
    if lc["imp"] in (1, 2):
        return [(1, 6, 2), (2, 1, 5), (3, 8, 4), (4, 3, 7)]
    return [(1, 6, 2), (2, 8, 4), (3, 17, None)]


out = []
w = out.append
w("-- Demo city: about forty signalised intersections around Gangnam station")
w("-- (37.498N 127.028E) in four groups, the road network between them, detectors,")
w("-- phases, firmware, priority-signal agencies and the demo operators.")
w("-- Written by gen-demo-city.py; load after schema.sql into an empty database.")
w("-- Controller types: INT_LCTYPE 1 = 2004 (lamp type stored as 1),")
w("-- INT_LCTYPE 2 = 2010 with INT_LAMPTYPE 0 = three lamps, 1 = four lamps.")
w("-- Intersection 41 is virtual: it mirrors intersection %d (MAIN_LCNO)." % GANGNAM)
w("SET NAMES utf8mb4;")
w("")

# operators
w("-- Operators of every grade (1 administrator, 2 operator, 3 manager, 4 police).")
w("-- Passwords are set by demo-passwords.sql; the password date is the load time.")
w("INSERT INTO SCS_M_USER (USER_ID, USER_PW, USER_NAME, USER_TEL, USER_DEPT, AUT_GRADE,"
  " USER_UPDATE, USER_CHECK, BOOKMARKS) VALUES")
bookmarks = json.dumps({"B1": {"zoom": 15, "latlng": [lcs[GANGNAM]["pos"][0], lcs[GANGNAM]["pos"][1]]},
                        "B2": {"zoom": 16, "latlng": list(lcs[by_rc[(3, 3)]]["pos"])}},
                       separators=(",", ":"))
users = [("admin", "김민수", "02-3423-5000", "교통정보센터", 1, bookmarks),
         ("operator", "이서연", "02-3423-5011", "교통운영팀", 2, None),
         ("manager", "박지훈", "02-3423-5020", "신호운영팀", 3, None),
         ("police", "최경호", "02-3450-1234", "강남경찰서 교통과", 4, None)]
w(",\n".join("  (%s, NULL, %s, %s, %s, %d, CURRENT_TIMESTAMP(6), 3, %s)"
             % (q(u), q(n), q(t), q(d), g, q(b)) for u, n, t, d, g, b in users) + ";")
w("")

# manufacturers and firmware
w("-- Manufacturers and firmware images (FW_ID = kind*10000 + maker*100 + module).")
w("INSERT INTO SCS_M_MANUFACTURE (MANUFACTURE_ID, MANUFACTURE_NAME) VALUES")
w("  (1, '한빛신호기술'),\n  (2, '대경교통시스템'),\n  (3, '서해전자');")
fws = [(10101, 2, 1, 3, 517, "HB_MCU_2.1.3.bin", "A55A1001", 20),
       (10102, 2, 1, 1, 130, "HB_MCU_IO_2.1.1.bin", "A55A1002", 10),
       (20101, 3, 0, 2, 77, "HB_SCU_3.0.2.bin", "5AA52001", 30),
       (10201, 1, 8, 0, 1204, "DK_MCU_1.8.0.bin", "C33C1201", 20),
       (20201, 1, 9, 4, 1310, "DK_SCU_1.9.4.bin", "3CC32201", 30),
       (10305, 4, 0, 0, 12, "SH_MCU_4.0.0.bin", "E11E1305", 15)]
w("INSERT INTO SCS_M_FIRMWARE (FW_ID, FW_CREDATE, FW_VER_MAJOR, FW_VER_MINOR, FW_VER_MODULE,"
  " FW_VER_REV, FW_FILENAME, FW_BINARY) VALUES")
rows = []
for i, (fid, ma, mi, mo, rev, fn, pat, blocks) in enumerate(fws):
    # image of whole 240-byte blocks
    rows.append("  (%d, '2024-0%d-1%d 10:%02d:00', %d, %d, %d, %d, %s, REPEAT(UNHEX('%s'), %d))"
                % (fid, 3 + i % 6, i, 5 * i, ma, mi, mo, rev, q(fn), pat, 60 * blocks))
w(",\n".join(rows) + ";")
w("UPDATE SCS_M_FIRMWARE SET FW_SIZE = LENGTH(FW_BINARY),"
  " FW_CRC32 = LPAD(HEX(CRC32(FW_BINARY)), 8, '0');")
w("")

# groups
w("-- Groups, with outlines made of their links (GeoJSON Feature, [lng, lat]).")
w("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME, SA_DEFAULTCNTLMODE, SA_REGFLAG, SA_LATLNGS) VALUES")
rows = []
for sa, (sa_name, _) in GROUPS.items():
    members = {n for n, lc in lcs.items() if lc["sa"] == sa}
    ls = [l for l in links if any(lcs[n]["node"] == l["f"] for n in members)
          and any(lcs[n]["node"] == l["t"] for n in members)]
    feat = {"type": "Feature", "properties": {"linkList": ",".join(l["id"] for l in ls)},
            "geometry": {"type": "MultiLineString",
                         "coordinates": [[[p[1], p[0]] for p in l["pts"]] for l in ls]}}
    rows.append("  (%d, %s, %d, 1, %s)" % (sa, q(sa_name), 0 if sa != 2 else 1,
                                            q(json.dumps(feat, separators=(",", ":"), ensure_ascii=True))))
w(",\n".join(rows) + ";")
w("")

# nodes
w("-- Nodes: one per intersection (the virtual crossing has its own).")
w("INSERT INTO SCS_M_NODE (NODE_ID, NODE_NAME, NODE_LAT, NODE_LNG, NODE_SANO) VALUES")
w(",\n".join("  (%s, %s, %.7f, %.7f, %d)" % (q(lc["node"]), q(lc["name"]), lc["pos"][0],
                                              lc["pos"][1], lc["sa"])
             for n, lc in sorted(lcs.items())) + ";")
w("")

# intersections
w("-- Intersections.")
w("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, INT_LAMPTYPE,"
  " MCU_FW_ID, SCU_FW_ID, INT_DELTALIMIT, INT_TRANSCYCLE, INT_AUTOERROR, INT_AUTOONLINE,"
  " INT_COMMTYPE, INT_IP, INT_PORT, MAIN_LCNO, INT_SANO, INT_SAINDEX, INT_REGFLAG, POLICE_CODE) VALUES")
rows = []
for n, lc in sorted(lcs.items()):
    if lc.get("virtual"):
        rows.append("  (%d, %s, %s, %d, %d, %d, NULL, NULL, NULL, NULL, -1, -1, -1, '', 0, %d, %d, %d, 0, NULL)"
                    % (n, q(lc["node"]), q(lc["name"]), lc["imp"], lc["lctype"], lc["lamp"],
                       GANGNAM, lc["sa"], lc["idx"]))
        continue
    if lc["lctype"] == 2:
        vendor = 1 if n % 2 else 2
        mcu, scu = 10000 + vendor * 100 + 1, 20000 + vendor * 100 + 1
    else:
        mcu = scu = None
    rows.append("  (%d, %s, %s, %d, %d, %d, %s, %s, %d, %d, 3, 1, 0, %s, 7070, 0, %d, %d, 1, %d)"
                % (n, q(lc["node"]), q(lc["name"]), lc["imp"], lc["lctype"], lc["lamp"],
                   q(mcu), q(scu), 10, 3, q("10.20.%d.%d" % (lc["sa"], n)), lc["sa"], lc["idx"],
                   1 if lc["sa"] <= 2 else 2))
w(",\n".join(rows) + ";")
w("")

# phases
w("-- Phases of plan class 1: ring A (1) and ring B (2) movements and approach links.")
w("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER,"
  " INT_MINSPLIT, INT_MAXSPLIT, INT_MDSCONTROL, INT_MAINPHASE, INT_LANE, INT_FIXEDPHASE,"
  " INT_YELLOW, INT_EXTENDED, INT_ACTCONTROL, INT_DUALFLAG, LINK_ID) VALUES")
rows = []
for n, lc in sorted(lcs.items()):
    if lc.get("virtual"):
        continue
    for ph, a, b in phase_plan(lc):
        for ring, mv in ((1, a), (2, b)):
            if mv is None:
                continue
            ped = mv in (17, 18)
            link = approach_link(n, MV_SIDE[mv]) if mv in MV_SIDE else None
            rows.append("  (%d, 1, %d, %d, %d, %d, %d, 0, %d, %d, 0, %d, 0, %d, 0, %s)"
                        % (n, ph, ring, mv, 15 if ped else (20 if ph == 1 else 15),
                           30 if ped else 80, 1 if ph == 1 else 0, 0 if ped else 3,
                           0 if ped else 3, 1 if (lc["imp"] == 2 and ph == 4) else 0, q(link)))
w(",\n".join(rows) + ";")
w("-- The virtual crossing mirrors the phase structure of its main intersection.")
w("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_RING, INT_PHASENO, INT_PLANCLSS, INT_FLOWNUMBER)"
  " SELECT %d, INT_RING, INT_PHASENO, INT_PLANCLSS, INT_FLOWNUMBER FROM SCS_M_INTPHASE"
  " WHERE INT_LCNO = %d;" % (VIRTUAL, GANGNAM))
w("")

# movement arrows
# Each movement of plan class 1 gets its arrow on the monitor maps: head on the
# approach leg, middle at the centre, end on the exit leg, label beside the head,
# and the compass bearings (0 north, clockwise) from the centre to head and end.
# Pedestrian movements cross the north (17) and south (18) legs.
SIDE_BEARING = {"N": 0, "E": 90, "S": 180, "W": 270}
MV_EXIT = {6: "E", 1: "N", 2: "W", 5: "S", 8: "N", 3: "W", 4: "S", 7: "E"}


def arrow_points(centre, mv):
    def at(bearing, metres, side_metres=0.0):
        b = math.radians(bearing)
        east = math.sin(b) * metres + math.cos(b) * side_metres
        north = math.cos(b) * metres - math.sin(b) * side_metres
        return (round(centre[0] + north / M_PER_DEG_LAT, 7), round(centre[1] + east / M_PER_DEG_LNG, 7))
    if mv in (17, 18):
        leg = 0 if mv == 17 else 180
        head, end = at(leg - 60, 28), at(leg + 60, 28)
        mid = at(leg, 24)
        label = at(leg, 34)
        return head, mid, end, label, (leg + 270) % 360, (leg + 90) % 360
    hb, eb = SIDE_BEARING[MV_SIDE[mv]], SIDE_BEARING[MV_EXIT[mv]]
    head = at(hb, 35, 4)
    end = at(eb, 35, -4)
    mid = at(hb, 0)
    label = at(hb, 45, 8)
    return head, mid, end, label, hb, eb


w("-- Movement arrows of plan class 1: four points and the head and end bearings.")
for n, lc in sorted(lcs.items()):
    if lc.get("virtual"):
        continue
    for ph, a, b in phase_plan(lc):
        for ring, mv in ((1, a), (2, b)):
            if mv is None:
                continue
            head, mid, end, label, ha, ea = arrow_points(lc["pos"], mv)
            w("UPDATE SCS_M_INTPHASE SET INT_HEAD_LAT = '%s', INT_HEAD_LNG = '%s', INT_MIDDLE_LAT = '%s',"
              " INT_MIDDLE_LNG = '%s', INT_END_LAT = '%s', INT_END_LNG = '%s', INT_LABEL_LAT = '%s',"
              " INT_LABEL_LNG = '%s', INT_HEAD_ANGLE = '%d', INT_END_ANGLE = '%d' WHERE INT_LCNO = %d"
              " AND INT_PLANCLSS = 1 AND INT_PHASENO = %d AND INT_RING = %d;"
              % (head[0], head[1], mid[0], mid[1], end[0], end[1], label[0], label[1], ha, ea, n, ph, ring))
w("")

# links
w("-- Links (both directions of every road section) and their vertices in NUM order.")
w("INSERT INTO SCS_M_LINK (LINK_ID, NODE_FID, NODE_TID, LINK_TYPE, LINK_LENGTH, ROAD_NAME) VALUES")
w(",\n".join("  (%s, %s, %s, 'LineString', %d, %s)" % (q(l["id"]), q(l["f"]), q(l["t"]), l["len"],
                                                       q(l["road"])) for l in links) + ";")
w("INSERT INTO SCS_M_LINK_DETAIL (LINK_ID, NUM, GROUP_NUM, POINT_LAT, POINT_LNG) VALUES")
rows = []
for l in links:
    for i, p in enumerate(l["pts"], 1):
        rows.append("  (%s, %d, 1, %.7f, %.7f)" % (q(l["id"]), i, p[0], p[1]))
w(",\n".join(rows) + ";")
w("-- Line geometry from the vertices, latitude first, in NUM order.")
w("UPDATE SCS_M_LINK A JOIN (SELECT LINK_ID, CONCAT('LINESTRING(', GROUP_CONCAT(POINT_LAT, ' ',"
  " POINT_LNG ORDER BY GROUP_NUM, NUM SEPARATOR ','), ')') AS WKT FROM SCS_M_LINK_DETAIL"
  " GROUP BY LINK_ID) B ON A.LINK_ID = B.LINK_ID SET A.GEOM = ST_GeomFromText(B.WKT);")
w("")

# layers (CP949 text)
node_fc = {"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {"NODE_ID": lc["node"], "NODE_NAME": lc["name"]},
     "geometry": {"type": "Point", "coordinates": [lc["pos"][1], lc["pos"][0]]}}
    for n, lc in sorted(lcs.items())]}
link_fc = {"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {"LINK_ID": l["id"], "F_NODE": l["f"], "T_NODE": l["t"],
                                       "ROAD_NAME": l["road"]},
     "geometry": {"type": "LineString", "coordinates": [[p[1], p[0]] for p in l["pts"]]}}
    for l in links]}
for fc in (node_fc, link_fc):
    json.dumps(fc, ensure_ascii=False).encode("euc_kr")    # must fit the code page
w("-- Stored map layers (GeoJSON in the CP949 code page).")
w("INSERT INTO SCS_M_LAYER (LAYER_NAME, GEOJSON) VALUES")
w("  ('NODE', CONVERT(%s USING euckr)),"
  % q(json.dumps(node_fc, ensure_ascii=False, separators=(",", ":"))))
w("  ('LINK', CONVERT(%s USING euckr));"
  % q(json.dumps(link_fc, ensure_ascii=False, separators=(",", ":"))))
w("")

# start-up variables (editor defaults, main phase 1)
w("-- Start-up variables (the editor's defaults, main phase 1).")
cols = ("INT_LCNO, INT_FULLACT, INT_DUALTIME, INT_SPILLPROC, INT_SPILLCONT, INT_RING, INT_ACTYN,"
        " INT_GAPTIME, INT_LMTLOS, INT_GENMAIN, INT_GENDUAL, INT_MANUALOPT, INT_NORMALPUSH,"
        " INT_FLASHPUSH, INT_FLASHPUSHOP, INT_PUSHCYCLE, INT_SIGMAPMTD, INT_ACTPHASE1, INT_ACTPHASE2,"
        " INT_SPCMAIN, INT_SPCDUAL, INT_SPC1DUAL, INT_SPC2DUAL, INT_SPC3DUAL, INT_SPC4DUAL,"
        " INT_SPC5DUAL, INT_PREBUS, INT_JUMPPHASE, INT_PREEMERGENCY, INT_CHECKMONTH, INT_POWERDIM,"
        " INT_POWERFLASH, INT_ARINGACT, INT_BRINGACT, INT_VOICEYN, INT_DAYVOL, INT_NIGHTVOL,"
        " INT_VOICECYCLE, INT_NIGHTSTART, INT_NIGHTEND")
w("INSERT INTO SCS_M_INTSTARTUP (%s) VALUES" % cols)
rows = []
for n, lc in sorted(lcs.items()):
    if lc.get("virtual"):
        continue
    act = 1 if lc["imp"] == 2 else 0
    rows.append("  (%d, 1, 3, 0, 0, 1, %d, 35, 150, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0,"
                " 1, 1, 1, 0, 0, 0, %d, 0, %d, 2, 1, 0, 5, 3)"
                % (n, act, 8 if act else 0, 1 if lc["imp"] == 1 else 0))
w(",\n".join(rows) + ";")
w("")

# flash maps for the Teheran-ro group
w("-- Flash maps of group 2 (main road yellow flash, side road red flash).")
w("INSERT INTO SCS_M_INTFLSMAP (INT_LCNO, INT_VEH1, INT_PED1, INT_VEH2, INT_PED2, INT_VEH3, INT_PED3,"
  " INT_VEH4, INT_PED4, INT_VEH5, INT_PED5, INT_VEH6, INT_PED6, INT_VEH7, INT_PED7, INT_VEH8,"
  " INT_PED8, INT_VARIABCNTL, INT_FLASHTIME) VALUES")
rows = []
for n, lc in sorted(lcs.items()):
    if lc["sa"] != 2 or lc.get("virtual"):
        continue
    if lc["lctype"] == 1:
        vals = [16, 0, 16, 0, 0, 0, 0, 0, 64, 0, 64, 0, None, None, None, None]
    elif lc["lamp"] == 1:
        vals = [16, 0, 16, 0, 0, 0, 0, 0, 64, 0, 64, 0, 64, 0, 64, 0]
    else:   # three lamps: P1 low nibble, P2 high nibble
        yf_rf, rf_x, x_x = 3 + 64, 4 + 128, 8 + 128
        vals = [yf_rf, x_x, yf_rf, x_x, rf_x, x_x, rf_x, x_x, x_x, x_x, x_x, x_x, x_x, x_x, x_x, x_x]
    rows.append("  (%d, %s, %d, %d)" % (n, ", ".join(q(v) for v in vals),
                                         0, 0 if lc["lctype"] == 2 else 5))
w(",\n".join(rows) + ";")
w("")

# conflict maps of two 2010 intersections
w("-- Conflict maps of a four-lamp and a three-lamp 2010 controller (east-west")
w("-- outputs conflict with north-south outputs).")
four = next(n for n, lc in sorted(lcs.items()) if lc["sa"] == 2 and lc["lctype"] == 2
            and lc["lamp"] == 1 and not lc.get("virtual"))
three = next(n for n, lc in sorted(lcs.items()) if lc["sa"] == 2 and lc["lctype"] == 2
             and lc["lamp"] == 0)
rows = []
for y in range(32):
    for x in range(y + 1, 32):
        if y % 4 != 3 and x % 4 != 3:
            ax = lambda o: 0 if (o // 4 + 1) in (1, 2, 5, 6) else 1
            rows.append("(%d,%d,%d,%d)" % (four, y, x, 1 if ax(y) != ax(x) else 0))
        ax3 = lambda o: ((o // 2) // 2) % 2
        rows.append("(%d,%d,%d,%d)" % (three, y, x, 1 if ax3(y) != ax3(x) else 0))
w("INSERT INTO SCS_M_INTCONFLICT (INT_LCNO, INT_YNO, INT_XNO, INT_CONFLICTYN) VALUES")
for i in range(0, len(rows), 12):
    w("  " + ", ".join(rows[i:i + 12]) + ("," if i + 12 < len(rows) else ";"))
w("")

# detectors
w("-- Detector channels of the CI and SCI intersections and their map positions.")
tfdt_rows, op_rows = [], []
tid = 0
side_dir = {"N": 1, "E": 2, "S": 3, "W": 4}
side_label = {"N": "북측", "E": "동측", "S": "남측", "W": "서측"}
for n, lc in sorted(lcs.items()):
    if lc.get("virtual") or lc["imp"] not in (1, 2):
        continue
    plan = phase_plan(lc)
    ch = 0
    for side, thru in (("W", 6), ("E", 2), ("S", 8), ("N", 4)):
        m = neighbour(n, side)
        ring, phase = next((1, p) if a == thru else (2, p) for p, a, b in plan if thru in (a, b))
        for use, lane, posm in ((1, 1, 50), (1, 2, 50), (3, 1, 12)):
            ch += 1
            tid += 1
            tfdt_id = "12230%05d" % tid
            # detector placed on the approach, 50 m (queue: 120 m) upstream
            if m:
                a, b = lcs[m]["pos"], lc["pos"]
                # on the incoming carriageway: lane 1 at 4 m, lane 2 at 8 m right of
                # the road's centre line
                back = (50 if use == 1 else 120)
                ax, ay = a[1] * M_PER_DEG_LNG, a[0] * M_PER_DEG_LAT
                bx, by = b[1] * M_PER_DEG_LNG, b[0] * M_PER_DEG_LAT
                L = math.hypot(bx - ax, by - ay)
                ux, uy = (bx - ax) / L, (by - ay) / L
                side_off = 4.0 * lane
                px, py = bx - ux * back + uy * side_off, by - uy * back - ux * side_off
                plat, plng = round(py / M_PER_DEG_LAT, 7), round(px / M_PER_DEG_LNG, 7)
                tfdt_rows.append("  (%s, %s, %.7f, %.7f)" % (
                    q(tfdt_id), q("%s %s %s%d" % (lc["name"], side_label[side],
                                                  "직진" if use == 1 else "대기", lane)), plat, plng))
            else:
                tfdt_id = None
            reg = 0 if (n == by_rc[(0, 0)] and ch == 12) else 1
            op_rows.append("  (%d, %d, 0, %d, %d, %d, %d, 0, %d, %d, 100, 100, 100, NULL, NULL, NULL,"
                           " NULL, %d, %s, NULL, NULL)"
                           % (n, ch, use, ring, phase, side_dir[side], lane, posm, reg, q(tfdt_id)))
# one indirect channel: Gangnam mirrors the first channel of Yeoksam, 84 x 10 m away
op_rows.append("  (%d, 65, 0, 1, 1, 1, 2, 0, NULL, 84, 100, 100, 100, NULL, NULL, NULL, NULL, 1,"
               " NULL, %d, 1)" % (GANGNAM, by_rc[(3, 1)]))
w("INSERT INTO SCS_M_TFDT (TFDT_ID, TFDT_NAME, TFDT_LAT, TFDT_LNG) VALUES")
w(",\n".join(tfdt_rows) + ";")
w("INSERT INTO SCS_M_TFDTOPERATE (INT_LCNO, TFDT_NO, TFDT_TYPE, TFDT_USE, TFDT_RING, TFDT_PHASE,"
  " TFDT_DIR, TFDT_IODIR, TFDT_LANE, TFDT_POSITION, TFDT_WGHVOL, TFDT_WGHSPD, TFDT_WGHSATURATION,"
  " MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE, TFDT_REGFLAG, TFDT_ID, TFDT_REAL_LCNO,"
  " TFDT_REAL_CHANNEL) VALUES")
w(",\n".join(op_rows) + ";")
w("")

# algorithm parameters of the Teheran-ro CI intersections
teheran = [by_rc[(3, c)] for c in range(5)]
w("-- Traffic-responsive parameters (editor defaults) on Teheran-ro.")
w("INSERT INTO SCS_M_INTALGORITHM (INT_LCNO, INT_MDSSELECT, INT_ALPHA, INT_FORCETRC, INT_CONDEGREE1,"
  " INT_CONDEGREE2, INT_CONDEGREE3, INT_FDSFACTOR1, INT_FDSFACTOR2, INT_FDSFACTOR3, INT_FCCLY1,"
  " INT_FCCLY2, INT_FCCLC1, INT_FCCLC2, INT_ASAMAXISMAIN, INT_ASAMINFLOW1, INT_ASAMOUTFLOW1,"
  " INT_ASAMINFLOW2, INT_ASAMOUTFLOW2, INT_STOSCNTL1, INT_STOSCNTL2, INT_STOSCNTL3, INT_STOSCNTL4,"
  " INT_RAMPCNTLFLAG, INT_RAMPCNTLOFFSETMTD, INT_RAMPCNTLBALOFFSET, INT_RAMPCNTLOUTOFFSET,"
  " INT_RAMPCNTLDOSTDIR, INT_RAMPKVALUE, INT_DSDEGREE1, INT_DSDEGREE2) VALUES")
w(",\n".join("  (%d, 1, 60, 0, 50, 30, 15, 5, 3, 2, 60, 90, 60, 100, 0, 6, 6, 8, 8, 0, 0, 1, 0,"
             " 0, 0, 0, 0, 0, 0, 95, 70)" % n for n in teheran) + ";")
w("INSERT INTO SCS_M_INTQUEUE (INT_LCNO, INT_WGH1, INT_WGH2, INT_WGH3, INT_SPLITCORRMTD,"
  " INT_SPLITFATOR) VALUES")
w(",\n".join("  (%d, 5, 3, 2, 1, 3)" % n for n in teheran) + ";")
w("INSERT INTO SCS_M_INTLINKQUEUE (INT_LCNO, INT_DIRINDEX, INT_DOCSPD1, INT_DOCSPD2, INT_THDOC,"
  " INT_ADJSTFATOR, INT_DIRSTANDARDDS, INT_DIRSTANDARDQL) VALUES")
w(",\n".join("  (%d, %d, 70, 15, 7, 6, 8, 200)" % (n, d) for n in teheran for d in (2, 4)) + ";")
w("-- Spill-back control: Yeoksam station protects the exit towards Gangnam station")
w("-- in the morning; a second, inactive setting further east.")
w("INSERT INTO SCS_M_INTSPILLBACK (INT_LCNO, INT_SPILLBACKINDEX, INT_SPILLBACKINT,"
  " INT_SPILLBACKPHASE1, INT_SPILLBACKPHASE2, INT_SPILLBACKLENGTH, INT_SPILLBACKTHOCQL,"
  " INT_SPILLBACKOFFSET, INT_SPILLBACKSTARTHOUR, INT_SPILLBACKSTARTMIN, INT_SPILLBACKENDHOUR,"
  " INT_SPILLBACKENDMIN, INT_SPILLBACKACTIVE) VALUES")
w("  (%d, 4, %d, 1, 2, %d, 60, 20, 7, 0, 9, 30, 1)," % (teheran[1], teheran[0],
                                                      int(dist(lcs[teheran[0]]["pos"], lcs[teheran[1]]["pos"]))))
w("  (%d, 2, %d, 1, 2, %d, 50, 20, 17, 30, 20, 0, 0);" % (teheran[3], teheran[4],
                                                         int(dist(lcs[teheran[3]]["pos"], lcs[teheran[4]]["pos"]))))
w("-- Gangnam station's approach is also protected by the next crossing east of Yeoksam")
w("-- (early morning) and by the crossing south of it (all day), so its monitor lists both.")
w("INSERT INTO SCS_M_INTSPILLBACK (INT_LCNO, INT_SPILLBACKINDEX, INT_SPILLBACKINT,"
  " INT_SPILLBACKPHASE1, INT_SPILLBACKPHASE2, INT_SPILLBACKLENGTH, INT_SPILLBACKTHOCQL,"
  " INT_SPILLBACKOFFSET, INT_SPILLBACKSTARTHOUR, INT_SPILLBACKSTARTMIN, INT_SPILLBACKENDHOUR,"
  " INT_SPILLBACKENDMIN, INT_SPILLBACKACTIVE) VALUES")
w("  (%d, 6, %d, 1, 2, %d, 60, 20, 6, 5, 7, 0, 1)," % (teheran[2], teheran[0],
                                                      int(dist(lcs[teheran[0]]["pos"], lcs[teheran[2]]["pos"]))))
w("  (%d, 8, %d, 3, 4, %d, 60, 20, 0, 0, 23, 59, 1);" % (34, teheran[0],
                                                        int(dist(lcs[teheran[0]]["pos"], lcs[34]["pos"]))))
w("")

# VMS
w("-- VMS messages and schedule of Gangnam station.")
w("INSERT INTO SCS_M_VMSMESSAGE (INT_LCNO, MSG_INDEX, MSG_MESSAGE, MSG_DIRECTION, MSG_TYPE,"
  " MSG_DISPTIME, MSG_FONT, MSG_TEXTCOLOR, MSG_BACKCOLOR, MSG_BLINK, MSG_FUNCTYPE, MSG_DISPMODE,"
  " MSG_APPEARTYPE, MSG_APPEARSPEED, MSG_DISAPPEARTYPE, MSG_DISAPPEARSPEED) VALUES")
w("  (%d, 1, '강남역 일대 정체', 1, 2, 10, 0, 3, 0, 0, 0, 2, 1, 5, 1, 5)," % GANGNAM)
w("  (%d, 2, '우회도로를 이용하세요', 1, 2, 10, 0, 2, 0, 0, 0, 2, 1, 5, 1, 5)," % GANGNAM)
w("  (%d, 3, '보행자 안전 우선', 3, 1, 8, 0, 2, 0, 1, 0, 2, 0, 0, 0, 0);" % GANGNAM)
w("INSERT INTO SCS_M_VMSSCHEDULE (INT_LCNO, INT_MSGINDEX, INT_MSGMONTH, INT_MSGDAY, INT_MSGWKD,"
  " INT_STARTHOUR, INT_STARTMIN, INT_ENDHOUR, INT_ENDMIN, INT_BRIGHT, INT_DIRECTION, INT_TYPE) VALUES")
w("  (%d, 1, 0, 0, 9, 7, 0, 10, 0, 200, 9, 4)," % GANGNAM)
w("  (%d, 2, 0, 0, 10, 10, 0, 22, 0, 150, 9, 1);" % GANGNAM)
w("")

# priority signals
w("-- Priority-signal agencies and registered vehicles and routes (2010 controllers).")
w("INSERT INTO SCS_M_INTPPCMANAGER (PPC_MANAGER, PPC_TYPE, PPCM_COMMENTS) VALUES")
w("  (1, 0, '강남소방서 구급대'),\n  (2, 1, '서울시 간선버스');")
rows = []
for n in teheran:
    if lcs[n]["lctype"] != 2:
        continue
    rows.append("  (%d, 1, 119001, '구급차 1호')" % n)
    rows.append("  (%d, 1, 119002, '펌프차 2호')" % n)
    rows.append("  (%d, 2, 146, '146번 간선')" % n)
    rows.append("  (%d, 2, 360, '360번 간선')" % n)
w("INSERT INTO SCS_M_INTPPC (INT_LCNO, PPC_MANAGER, PPC_NUMBER, PPCN_COMMENTS) VALUES")
w(",\n".join(rows) + ";")
w("")

# countdown timers
w("-- Vehicle countdown timers (bit 0 enable) on Gangnam-daero.")
cols = ["NN", "EE", "SS", "WW", "NE", "SE", "SW", "EW"] + ["R%d" % i for i in range(1, 9)] + \
       ["NNL", "EEL", "`SSL`", "WWL", "NEL", "SEL", "SWL", "EWL"] + ["R%dL" % i for i in range(1, 9)]
w("INSERT INTO SCS_M_CARTIMER (INT_LCNO, %s) VALUES" % ", ".join(cols))
rows = []
for r in (2, 3):
    n = by_rc[(r, 0)]
    vals = [1, 1, 1, 1] + [0] * 12 + [1, 0, 1, 0] + [0] * 12
    rows.append("  (%d, %s)" % (n, ", ".join(str(v) for v in vals)))
w(",\n".join(rows) + ";")
w("")

# an emergency service in progress
w("-- One emergency service in progress with a route and two events.")
dest = lcs[by_rc[(3, 3)]]["pos"]
w("INSERT INTO SCS_M_APP_EMERGENCY (SERVICE_ID, SERVICE_NAME, DESTINATION_LAT, DESTINATION_LNG, STATUS)"
  " VALUES ('S240501093000', '선릉역 응급환자 이송', '%.6f', '%.6f', 1);" % dest)
route = [list(lcs[by_rc[(3, c)]]["pos"]) for c in range(4)]
w("INSERT INTO SCS_L_APP_ROUTE (SERVICE_ID, CREATE_DATE, ROUTE) VALUES"
  " ('S240501093000', CURRENT_TIMESTAMP(6), COMPRESS(%s));" % q(json.dumps(route)))
w("INSERT INTO SCS_L_APP_EVENT (SERVICE_ID, CREATE_DATE, CURRENT_LAT, CURRENT_LNG, CURRENT_SPEED,"
  " LC_NO, DESCRIPTION) VALUES")
p0, p1 = lcs[by_rc[(3, 0)]]["pos"], lcs[by_rc[(3, 1)]]["pos"]
w("  ('S240501093000', CURRENT_TIMESTAMP(6) - INTERVAL 90 SECOND, %.7f, %.7f, 42, %d, '출동'),"
  % (p0[0], p0[1], GANGNAM))
w("  ('S240501093000', CURRENT_TIMESTAMP(6) - INTERVAL 30 SECOND, %.7f, %.7f, 55, %d, '우선신호 요청');"
  % (p1[0], p1[1], by_rc[(3, 1)]))

# plans 1-4 of every group and non-virtual intersection
w("")
w("-- Signal plans 1-4: each group's cycle plan (cycle indexes 1-3 serve time-plan rows 1-7),")
w("-- each intersection's time plan whose ring A and ring B splits add up to the cycle length")
w("-- of their row, and each group's day plan switching between those cycle and split rows.")
PLAN_CYCLE = {1: 120, 2: 140, 3: 100, 4: 160}


def cycle_length(plan, k):
    return PLAN_CYCLE[plan] + 10 * (k - 1)


def cycle_index(row):
    return 1 if row == 1 else (row + 4) // 3


w("INSERT INTO SCS_M_SAAPLAN (SA_NO, SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH, SA_IORATIO, SA_ACTIVE) VALUES")
w(",\n".join("  (%d, %d, %d, %d, 0, 1)" % (sa, p, k, cycle_length(p, k))
             for sa in sorted(GROUPS) for p in sorted(PLAN_CYCLE) for k in (1, 2, 3)) + ";")
splits = ", ".join("INT_ASPLIT%d" % i for i in range(1, 9)) + ", " + \
         ", ".join("INT_BSPLIT%d" % i for i in range(1, 9))
w("INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, %s, INT_OFFSET) VALUES" % splits)
rows = []
for n, lc in sorted(lcs.items()):
    if lc.get("virtual"):
        continue
    phases = len(phase_plan(lc))
    for p in sorted(PLAN_CYCLE):
        for row in range(1, 8):
            c = cycle_length(p, cycle_index(row))
            each = c // phases
            ring = [each] * (phases - 1) + [c - each * (phases - 1)]
            ring = [str(v) for v in ring] + ["NULL"] * (8 - phases)
            rows.append("  (%d, %d, %d, %s, %s, %d)" % (n, p, row, ", ".join(ring), ", ".join(ring),
                                                        (n * 7 + row * 3) % 40))
w(",\n".join(rows) + ";")
w("INSERT INTO SCS_M_SADPLAN (SA_NO, SA_DPLAN, SA_DPLANINDEX, SA_STARTHOUR, SA_STARTMIN, SA_CYCLE,"
  " SA_OFFSET, SA_SPLIT, SA_TODAUTO) VALUES")
DAY = [(0, 0, 1, 1), (7, 0, 2, 2), (10, 0, 2, 3), (17, 0, 3, 5), (21, 30, 1, 1)]
w(",\n".join("  (%d, %d, %d, %d, %d, %d, %d, %d, 0)" % (sa, p, i + 1, h, m, k, row, row)
             for sa in sorted(GROUPS) for p in sorted(PLAN_CYCLE) for i, (h, m, k, row) in enumerate(DAY)) + ";")

w("")
w("-- Spill-back phases of the controllers: per approach direction (1 north, 2 east,")
w("-- 3 south, 4 west) the ring and phase held as main and sub phase when the exit")
w("-- of that approach is blocked.")
w("INSERT INTO SCS_M_INTSPILLBACK2 (INT_LCNO, INT_SPILLBACKINDEX, MAIN_RING, MAIN_PHASE, SUB_RING, SUB_PHASE) VALUES")
SPILLBACK2 = [(1, 1, 1, 1, 2, 1), (1, 2, 1, 2, 2, 2), (1, 3, 1, 3, 2, 3), (1, 4, 1, 4, 2, 4),
              (2, 1, 1, 1, 2, 1), (2, 3, 1, 3, 2, 3), (7, 2, 1, 2, 2, 2), (7, 4, 1, 4, 2, 4),
              (16, 1, 1, 1, 2, 5), (16, 2, 1, 2, 2, 6)]
w(",\n".join("  (%d, %d, %d, %d, %d, %d)" % r for r in SPILLBACK2) + ";")

w("")
w("""-- Group merge links between neighbouring groups, and the axis variables of the
-- simple merge method for group 2.
INSERT INTO SCS_M_SAMERGE (SA_NO, SA_LINKINDEX, SA_LINKSEG, SA_LINKMAININT, SA_LINKSUBINT, SA_LINKOFFSETIN, SA_LINKOFFSETAVG, SA_LINKOFFSETOUT, SA_LINKMGCOND, SA_LINKMGCYCLE, SA_LINKHOLDCYCLE, SA_LINKCYCLEGAP, SA_MGAXIS, SA_TARGETAXIS) VALUES
  (1, 1, 2, 6, 11, 20, 25, 30, 1, 3, 2, 10, 0, 0),
  (1, 2, 3, 9, 23, 15, 20, 25, 2, 3, 2, 10, 0, 1),
  (2, 1, 1, 11, 6, 30, 25, 20, 1, 3, 2, 10, 0, 0),
  (2, 2, 3, 16, 28, 10, 15, 20, 3, 2, 2, 15, 1, 0),
  (3, 1, 2, 28, 16, 20, 15, 10, 2, 2, 2, 15, 0, 1),
  (3, 2, 4, 30, 35, 25, 30, 35, 0, 4, 3, 5, 1, 1),
  (4, 1, 3, 35, 30, 35, 30, 25, 1, 4, 3, 5, 0, 0);
UPDATE SCS_M_SAOPERATE SET SA_SAJOINMTD = 1, SA_SAJOINVARIABLE1 = 10, SA_SAJOINVARIABLE2 = 20, SA_SAJOINVARIABLE3 = 30,
  SA_SAJOINVARIABLE4 = 40, SA_SAJOINVARIABLE5 = 50, SA_SAJOINVARIABLE6 = 60 WHERE SA_NO = 2;""")

# reservation plans and forced TOD plans
w("")
w("-- Reservation (special-function) plans: entries 1..10 per intersection. Intersections 3 and 6")
w("-- are 2004 controllers, 1 and 2 are 2010 ones; entry 2 of intersection 1 runs EMAP map 7")
w("-- (control type 4, which only a 2010 controller keeps a map number for).")
w("INSERT INTO SCS_M_INTFPLAN (INT_LCNO, INT_FPLANINDEX, INT_RSRVMONTH, INT_RSRVDAY, INT_RSRVWKD,"
  " INT_CNTLSTARTHOUR, INT_CNTLSTARTMIN, INT_CNTLENDHOUR, INT_CNTLENDMIN, INT_CNTLTYPE, INT_CNTLSPCNO) VALUES")
RESERVE = [(1, 1, 0, 0, 9, 1, 0, 5, 0, 1, 0), (1, 2, 0, 0, 10, 7, 0, 9, 30, 4, 7),
           (1, 3, 12, 31, 0, 22, 0, 23, 59, 2, 0), (2, 1, 0, 0, 8, 0, 0, 6, 0, 5, 0),
           (3, 1, 0, 0, 1, 2, 0, 5, 0, 2, 0), (3, 2, 1, 1, 0, 0, 0, 23, 59, 7, 0),
           (6, 1, 0, 0, 7, 1, 30, 4, 30, 1, 0)]
w(",\n".join("  (%s)" % ", ".join(str(v) for v in r) for r in RESERVE) + ";")
w("-- Forced TOD plans of group 4: reservation 1 (weekday mornings) on every member and")
w("-- reservation 2 (weekend afternoons) on the first three; ring A and B splits add up to 140.")
force_members = sorted(n for n, lc in lcs.items() if lc["sa"] == 4 and not lc.get("virtual"))
w("INSERT INTO SCS_M_INTFORCETOD (INT_LCNO, INT_FORCEPLAN, INT_REGFLAG, INT_SUN, INT_MON, INT_TUE, INT_WED,"
  " INT_THU, INT_FRI, INT_SAT, INT_STARTHOUR, INT_STARTMIN, INT_ENDHOUR, INT_ENDMIN, INT_OFFSET, %s) VALUES" % splits)
rows = []
for i, n in enumerate(force_members):
    rows.append("  (%d, 1, 1, 0, 1, 1, 1, 1, 1, 0, 7, 0, 9, 30, %d, 40, 30, 40, 30, NULL, NULL, NULL, NULL,"
                " 40, 30, 40, 30, NULL, NULL, NULL, NULL)" % (n, (i * 13) % 140))
    if i < 3:
        rows.append("  (%d, 2, 0, 1, 0, 0, 0, 0, 0, 1, 13, 0, 18, 0, %d, 50, 20, 50, 20, NULL, NULL, NULL, NULL,"
                    " 50, 20, 50, 20, NULL, NULL, NULL, NULL)" % (n, (i * 17) % 140))
w(",\n".join(rows) + ";")

w("")
w("""-- Operation plan sheet: week plans of every group, special days, reservations
-- and signal maps of intersections 1 (2010) and 3 (2004).
-- INSERT IGNORE: rows other blocks already hold stay as they are.
INSERT IGNORE INTO SCS_M_SAWPLAN (SA_NO, SA_WEEK, SA_DPLAN) VALUES
  (1, 1, 2), (1, 2, 1), (1, 3, 1), (1, 4, 1), (1, 5, 1), (1, 6, 1), (1, 7, 3),
  (2, 1, 2), (2, 2, 1), (2, 3, 1), (2, 4, 1), (2, 5, 1), (2, 6, 1), (2, 7, 2),
  (3, 1, 2), (3, 2, 1), (3, 3, 1), (3, 4, 1), (3, 5, 1), (3, 6, 1), (3, 7, 2),
  (4, 1, 2), (4, 2, 1), (4, 3, 1), (4, 4, 1), (4, 5, 1), (4, 6, 1), (4, 7, 2);
INSERT IGNORE INTO SCS_M_SAHPLAN (SA_NO, SA_HPLANINDEX, SA_MON, SA_DAY, SA_DPLAN) VALUES
  (1, 1, 1, 1, 2), (1, 2, 3, 1, 2), (1, 3, 5, 5, 2), (1, 4, 6, 6, 2), (1, 5, 8, 15, 2), (1, 6, 10, 3, 2),
  (1, 7, 10, 9, 2), (1, 8, 12, 25, 2);
INSERT IGNORE INTO SCS_M_INTFPLAN (INT_LCNO, INT_FPLANINDEX, INT_RSRVMONTH, INT_RSRVDAY, INT_RSRVWKD, INT_CNTLSTARTHOUR, INT_CNTLSTARTMIN, INT_CNTLENDHOUR, INT_CNTLENDMIN, INT_CNTLTYPE, INT_CNTLSPCNO) VALUES
  (1, 1, 0, 0, 9, 7, 0, 9, 0, 4, 1),
  (1, 2, 0, 0, 8, 0, 0, 23, 59, 4, 2),
  (1, 3, 5, 1, 0, 1, 0, 5, 0, 2, 0),
  (3, 1, 0, 0, 10, 0, 0, 6, 0, 2, 0);
INSERT IGNORE INTO SCS_M_INTSIGMAP (INT_LCNO, INT_PLANCLSS, INT_RING, INT_STEPNO, INT_VEH1, INT_PED1, INT_VEH2, INT_PED2, INT_VEH3, INT_PED3,
  INT_VEH4, INT_PED4, INT_VEH5, INT_PED5, INT_VEH6, INT_PED6, INT_VEH7, INT_PED7, INT_VEH8, INT_PED8, INT_MINSPLIT, INT_MAXSPLIT, INT_EOP) VALUES
  (1, 1, 1, 1, 1, 48, 48, 16, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0),
  (1, 1, 1, 2, 2, 48, 48, 48, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
  (1, 1, 2, 1, 48, 48, 1, 48, 48, 16, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0),
  (1, 1, 2, 2, 48, 48, 2, 48, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
  (1, 2, 1, 1, 1, 48, 48, 16, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 15, 0, 0),
  (1, 2, 1, 2, 2, 48, 48, 48, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
  (3, 1, 1, 1, 4, 48, 48, 16, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 0),
  (3, 1, 1, 2, 2, 48, 48, 48, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1),
  (3, 1, 2, 1, 48, 48, 4, 48, 48, 16, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 35, 0),
  (3, 1, 2, 2, 48, 48, 2, 48, 48, 48, 48, 48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);""")

sys.stdout.write("\n".join(out) + "\n")
