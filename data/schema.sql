-- Register manager database. Dates are ISO text 'YYYY-MM-DD HH:MM:SS'.

-- Configuration
CREATE TABLE info (
  lang INTEGER,
  port INTEGER,
  rate INTEGER,
  oem INTEGER,
  keyboard INTEGER,
  ecrtype TEXT,
  ver INTEGER,
  passwd TEXT,
  portname TEXT,          -- serial device by name (/dev/ttyUSB0, COM3); port keeps the number
  codepage TEXT           -- register text code page, CP936 when null
);

CREATE TABLE msglist (
  msgid INTEGER PRIMARY KEY,
  Simplified TEXT,
  Traditional TEXT,
  English TEXT,
  French TEXT,
  Vietnam TEXT,
  Thailand TEXT,
  Farsi TEXT
);

CREATE TABLE buttontext (
  keytype TEXT NOT NULL,
  keycode INTEGER NOT NULL,
  Chn_Content TEXT,
  Eng_Content TEXT,
  French_content TEXT,
  Vietnam_content TEXT,
  farsi_content TEXT,
  thailand_content TEXT,
  PRIMARY KEY (keytype, keycode)
);

-- Mirror of the register's programming
CREATE TABLE params (
  Language INTEGER,
  MachineNumber INTEGER,
  PassWordEn INTEGER,
  CashierTotal INTEGER,
  SaleTotal INTEGER,
  ManagerPwd TEXT,
  NoteHeadEn INTEGER,
  NoteEndEn INTEGER,
  NotePrint INTEGER,
  NoteHead1 TEXT, NoteHead2 TEXT, NoteHead3 TEXT, NoteHead4 TEXT, NoteHead5 TEXT,
  NoteHead6 TEXT, NoteHead7 TEXT, NoteHead8 TEXT, NoteHead9 TEXT,
  NoteEnd1 TEXT, NoteEnd2 TEXT, NoteEnd3 TEXT, NoteEnd4 TEXT, NoteEnd5 TEXT,
  NoteEnd6 TEXT, NoteEnd7 TEXT, NoteEnd8 TEXT, NoteEnd9 TEXT,
  UserNameAndAddress1 TEXT, UserNameAndAddress2 TEXT, UserNameAndAddress3 TEXT,
  UserNameAndAddress4 TEXT, UserNameAndAddress5 TEXT, UserNameAndAddress6 TEXT,
  ModeSelect0 INTEGER,
  ModeSelect1 INTEGER,
  ModeSelect2 INTEGER,
  PointEn INTEGER,
  PayWay3NativeCurrency REAL, PayWay3ForeignCurrency REAL,
  PayWay4NativeCurrency REAL, PayWay4ForeignCurrency REAL,
  PayWay5NativeCurrency REAL, PayWay5ForeignCurrency REAL,
  PayWay6NativeCurrency REAL, PayWay6ForeignCurrency REAL,
  Price3 TEXT, Price4 TEXT, Price5 TEXT, Price6 TEXT,
  RoundingMethod INTEGER,
  RoundPosition INTEGER,
  PrintDensity INTEGER,
  InStoreCode TEXT,
  ServiceChargeEn INTEGER,
  ServiceChargeValue REAL,
  Taste1 TEXT, Taste2 TEXT, Taste3 TEXT, Taste4 TEXT,
  Taste5 TEXT, Taste6 TEXT, Taste7 TEXT, Taste8 TEXT,
  UART_BPS INTEGER,
  RegNo TEXT,
  OtherSetting INTEGER,
  LocalCurrencyAbbr TEXT,
  FiscalInfo TEXT,
  TaxItem INTEGER,
  TaxDefaultValue REAL,
  PortA INTEGER,
  PortB INTEGER,
  TaxPrintEn INTEGER,
  MemberScoreRule REAL,
  Discount1Name TEXT,
  Discount2Name TEXT,
  ServiceCharge1Name TEXT,
  ServiceCharge2Name TEXT
);

CREATE TABLE params_all (
  param_str TEXT
);

CREATE TABLE cashier (
  id INTEGER PRIMARY KEY,
  name TEXT,
  passwd TEXT,
  a0 INTEGER, a1 INTEGER, a2 INTEGER, a3 INTEGER, a7 INTEGER, a8 INTEGER, a9 INTEGER,
  a10 INTEGER, a11 INTEGER, a12 INTEGER, a13 INTEGER, a14 INTEGER, a15 INTEGER, a16 INTEGER
);

CREATE TABLE depart (
  id INTEGER PRIMARY KEY,
  name TEXT,
  price REAL,
  discounten INTEGER,
  tax REAL,
  addr INTEGER,
  KitchenEn INTEGER
);

CREATE TABLE hotkey (
  keyaddress INTEGER PRIMARY KEY,
  content INTEGER,
  content2 INTEGER,
  function TEXT
);

CREATE TABLE plu (
  id TEXT NOT NULL,
  name TEXT,
  depart INTEGER,
  price REAL,
  safestock REAL,
  stockvalue REAL,
  a0 INTEGER,
  memberprice REAL,
  AveragePrice REAL,
  sid INTEGER
);
CREATE UNIQUE INDEX plu_id ON plu(id);
CREATE INDEX plu_sid ON plu(sid);
CREATE INDEX plu_depart ON plu(depart);

CREATE TABLE member (
  userid TEXT,
  username TEXT,
  useraddress TEXT,
  tel TEXT,
  score REAL,
  addr INTEGER,
  sid INTEGER
);
CREATE INDEX member_userid ON member(userid);
CREATE INDEX member_sid ON member(sid);

CREATE TABLE bundle (
  bundlenumber TEXT,
  bundlename TEXT,
  price REAL,
  address INTEGER,
  sid INTEGER,
  plu0number TEXT, plu0quantity REAL,
  plu1number TEXT, plu1quantity REAL,
  plu2number TEXT, plu2quantity REAL,
  plu3number TEXT, plu3quantity REAL,
  plu4number TEXT, plu4quantity REAL,
  plu5number TEXT, plu5quantity REAL,
  plu6number TEXT, plu6quantity REAL,
  plu7number TEXT, plu7quantity REAL,
  plu8number TEXT, plu8quantity REAL,
  plu9number TEXT, plu9quantity REAL
);
CREATE INDEX bundle_number ON bundle(bundlenumber);
CREATE INDEX bundle_sid ON bundle(sid);

CREATE TABLE promotion (
  address INTEGER,
  promotionname TEXT,
  pluid TEXT,
  sdate TEXT,
  edate TEXT,
  quantity INTEGER,
  discountprice REAL,
  PresentPluId TEXT,
  PresentQuantity INTEGER
);
CREATE INDEX promotion_address ON promotion(address);

CREATE TABLE flashcash (
  type INTEGER,
  total REAL
);

CREATE TABLE fiscal (
  fyear INTEGER,
  fday INTEGER,
  saleprice REAL,
  refundprice REAL,
  taxprice REAL,
  bill INTEGER,
  refundnum INTEGER,
  mdate TEXT
);
CREATE INDEX fiscal_mdate ON fiscal(mdate);

-- Sales journal
CREATE TABLE plurecord (
  billnumber INTEGER,
  pluid TEXT,
  pluname TEXT,
  unitprice REAL,
  price REAL,
  quantity REAL,
  time TEXT,
  operation INTEGER,
  depart INTEGER,
  departname TEXT,
  taxvalue REAL,
  cashier INTEGER,
  opentable INTEGER,
  sid INTEGER
);
CREATE INDEX plurecord_sid ON plurecord(sid);
CREATE INDEX plurecord_time ON plurecord(time);
CREATE INDEX plurecord_bill ON plurecord(billnumber);
-- The journal viewer pages through the bills of a month and the lines of a
-- bill in its month; the month is the first seven characters of the time.
-- Holding the bill list's columns, the index answers those pages alone.
CREATE INDEX plurecord_month_bill ON plurecord(substr(time,1,7), billnumber, time, cashier, quantity, price);

CREATE TABLE plurecordfat (
  fat1 TEXT,
  fat2 TEXT
);

-- Report work tables
CREATE TABLE rpt_time (
  starttime TEXT,
  endtime TEXT
);

CREATE TABLE rpt_top25plu (
  pluid TEXT,
  pluname TEXT,
  saleprice REAL,
  salequantity REAL,
  returnprice REAL,
  returnquantity REAL,
  grossprofits REAL
);

-- Stored queries over the period in rpt_time (its one row). A journal line
-- counts when it belongs to a closed bill (billnumber>0) and is not an
-- open-table line.
-- The bill counts of the period and of each cashier read the same lines:
-- those with a sale, return or payment code.

-- Bills of the period.
CREATE VIEW q_plurecord AS
  SELECT DISTINCT p.billnumber
  FROM plurecord p
  WHERE p.billnumber > 0 AND p.opentable = 0
    AND p.operation IN (0,1,2,6,8,9,10,14,16,17,18,19,32,33,34,35,36,37)
    AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time);

-- Bills of the period by day: a bill counts once whatever minutes its lines
-- carry; a bill number the register starts again on another day counts again.
CREATE VIEW q_plurecord_old AS
  SELECT DISTINCT p.billnumber, substr(p.time, 1, 10) AS day
  FROM plurecord p
  WHERE p.billnumber > 0 AND p.opentable = 0
    AND p.operation IN (0,1,2,6,8,9,10,14,16,17,18,19,32,33,34,35,36,37)
    AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time);

-- The 25 PLUs of the PLU file sold in the largest quantity during the
-- period; bundle lines and codes missing from the file take no place.
CREATE VIEW q_plu25_plurecord_top25 AS
  SELECT p.pluid AS pluid, SUM(p.quantity) AS salequantity
  FROM plurecord p JOIN plu u ON u.id = p.pluid
  WHERE p.billnumber > 0 AND p.opentable = 0 AND p.operation IN (0,1,2,6)
    AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time)
  GROUP BY p.pluid
  ORDER BY SUM(p.quantity) DESC, p.pluid
  LIMIT 25;

-- Bills per cashier during the period.
CREATE VIEW q_plurecord_cashier AS
  SELECT DISTINCT p.billnumber, p.cashier
  FROM plurecord p
  WHERE p.billnumber > 0 AND p.opentable = 0
    AND p.operation IN (0,1,2,6,8,9,10,14,16,17,18,19,32,33,34,35,36,37)
    AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time);

-- Sales per cashier during the period (0 without any).
CREATE VIEW rpt_cashier_summary1 AS
  SELECT c.id AS cashier, COALESCE(s.pricetotal, 0) AS pricetotal, COALESCE(s.quantitytotal, 0) AS quantitytotal
  FROM cashier c LEFT JOIN (
    SELECT p.cashier AS cashier, SUM(p.price) AS pricetotal, SUM(p.quantity) AS quantitytotal
    FROM plurecord p
    WHERE p.billnumber > 0 AND p.opentable = 0 AND p.operation IN (0,1,2,6)
      AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time)
    GROUP BY p.cashier) s ON s.cashier = c.id;

-- Returns per cashier during the period (0 without any).
CREATE VIEW rpt_cashier_summary2 AS
  SELECT c.id AS cashier, COALESCE(s.pricetotal, 0) AS pricetotal, COALESCE(s.quantitytotal, 0) AS quantitytotal
  FROM cashier c LEFT JOIN (
    SELECT p.cashier AS cashier, SUM(p.price) AS pricetotal, SUM(p.quantity) AS quantitytotal
    FROM plurecord p
    WHERE p.billnumber > 0 AND p.opentable = 0 AND p.operation IN (8,9,10,14)
      AND p.time >= (SELECT starttime FROM rpt_time) AND p.time <= (SELECT endtime FROM rpt_time)
    GROUP BY p.cashier) s ON s.cashier = c.id;
