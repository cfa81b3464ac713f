-- Survey side of the demo database: report definitions, discharged patients,
-- the survey table behind VW_BA_CYBRDC and the statistics procedure.
CREATE TABLE XT_BBMC00 (BBMC00 TEXT PRIMARY KEY, BBLB00 TEXT, BBLX00 TEXT, BBMB00 BLOB, MBMC00 TEXT,
                        SJLY00 TEXT, XSSJY0 TEXT, QSHS00 INTEGER, QSLS00 INTEGER, XSLS00 INTEGER,
                        QSBT00 INTEGER);
INSERT INTO XT_BBMC00 VALUES ('首页报盘处理', '病案', '1',
  CAST('<?xml version="1.0" encoding="utf-8"?><TqdrReport/>' AS BLOB),
  '医院出院病人调查表(病案).qr3', 'SP_BA_SYBRDC', '', 1, 1, 39, 1);

-- Code lists the generator draws from.
CREATE TABLE DEMO_ICD10 (N INTEGER PRIMARY KEY, CODE TEXT, NAME TEXT);
INSERT INTO DEMO_ICD10 VALUES (0,'I10.x00','原发性高血压'),(1,'J18.900','肺炎'),(2,'K35.900','急性阑尾炎'),
  (3,'E11.900','2型糖尿病'),(4,'I63.900','脑梗死'),(5,'O80.000','单胎顺产'),(6,'S72.000','股骨颈骨折'),
  (7,'C34.900','肺恶性肿瘤'),(8,'K80.200','胆囊结石'),(9,'J44.100','慢性阻塞性肺病急性加重'),
  (10,'N20.000','肾结石'),(11,'I21.900','急性心肌梗死'),(12,'H25.900','老年性白内障'),
  (13,'J35.000','慢性扁桃体炎'),(14,'A15.000','肺结核'),(15,'K29.700','胃炎'),(16,'C16.900','胃恶性肿瘤'),
  (17,'M51.202','腰椎间盘突出'),(18,'L40.000','寻常型银屑病'),(19,'J06.900','急性上呼吸道感染');
CREATE TABLE DEMO_CM3 (N INTEGER PRIMARY KEY, CODE TEXT, NAME TEXT);
INSERT INTO DEMO_CM3 VALUES (0,'47.0901','腹腔镜阑尾切除术'),(1,'51.2301','腹腔镜胆囊切除术'),
  (2,'81.5101','全髋关节置换术'),(3,'13.4100','白内障超声乳化抽吸术'),(4,'73.5901','会阴侧切术'),
  (5,'28.2x00','扁桃体切除术'),(6,'36.0600','冠状动脉支架置入术'),(7,'32.4100','肺叶切除术'),
  (8,'43.7x00','胃部分切除术'),(9,'80.5101','腰椎间盘切除术');
CREATE TABLE DEMO_NAMES (N INTEGER PRIMARY KEY, SURNAME TEXT, GIVEN TEXT);
INSERT INTO DEMO_NAMES VALUES (0,'林','秀英'),(1,'陈','志强'),(2,'黄','丽娟'),(3,'王','建国'),(4,'李','海燕'),
  (5,'张','伟'),(6,'刘','芳'),(7,'吴','敏'),(8,'郑','静'),(9,'蔡','磊'),(10,'杨','洋'),(11,'许','艳'),
  (12,'周','勇'),(13,'何','军'),(14,'谢','杰'),(15,'罗','娟'),(16,'高','涛'),(17,'朱','明'),(18,'游','超'),
  (19,'江','霞'),(20,'翁','平'),(21,'詹','刚'),(22,'邱','桂英'),(23,'傅','玉兰');

-- Discharged in-patients (our own record table): one row per admission.
CREATE TABLE BA_BRSY00 (
  ID INTEGER PRIMARY KEY, BAH000 VARCHAR(12) NOT NULL, ZYCS00 INTEGER, BRXM00 VARCHAR(20),
  XBBH00 VARCHAR(1), CSRQ00 DATE, HYZKBH VARCHAR(1), ZY0000 VARCHAR(4), YLFKFS VARCHAR(1),
  RYRQ00 DATETIME, RZKS00 VARCHAR(4), CYRQ00 DATETIME, DQKS00 VARCHAR(4), RYQKBH VARCHAR(1),
  QZRQ00 DATE, RYZD00 VARCHAR(40), CYZYZD VARCHAR(10), CYZLJG VARCHAR(1), ZYZDZB VARCHAR(10),
  ZYZDZZ VARCHAR(10), CYZY01 VARCHAR(10), CYZL01 VARCHAR(1), CYZY02 VARCHAR(10), CYZL02 VARCHAR(1),
  YYGLZD VARCHAR(10), YYGLZL VARCHAR(1), SSZDWY VARCHAR(10), RYCYBM VARCHAR(1), SQSHBM VARCHAR(1),
  LCBLBM VARCHAR(1), QJCS00 INTEGER, CGCS00 INTEGER, SSM000 VARCHAR(10), SSRQ00 DATE,
  QKYHBM VARCHAR(1), QTSSM0 VARCHAR(10), BAZL00 VARCHAR(1), CWF000 DOUBLE, ZCF000 DOUBLE,
  XYF000 DOUBLE, CYF000 DOUBLE, ZYF000 DOUBLE, JCF000 DOUBLE, ZLF000 DOUBLE, SSF000 DOUBLE,
  HYF000 DOUBLE, HLF000 DOUBLE, SXF000 DOUBLE, MZF000 DOUBLE, QTYLF0 DOUBLE, XX0000 VARCHAR(4),
  SXFY00 VARCHAR(4), HXB000 DOUBLE, XXB000 DOUBLE, XJ0000 DOUBLE, QX0000 DOUBLE, SXQT00 DOUBLE);

-- {{PATIENTS}} admissions over the last 18 months; values vary with the row number.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {{PATIENTS}}),
g AS (SELECT i,
        (i * 7919) % 1000003 AS h,
        date('now', '-' || ((i * 37) % 548) || ' days') AS cy,
        1 + (i * 13) % 20 AS stay,
        printf('%02d', 1 + (i * 5) % 12) AS dept,
        (i * 31) % 20 AS icd,
        (i * 17) % 10 AS cm3,
        CASE WHEN i % 9 = 0 THEN 90 ELSE (i * 23) % 86 END AS age
      FROM n)
INSERT INTO BA_BRSY00
SELECT i,
  printf('%06d', 100000 + CASE WHEN i % 11 = 0 THEN i - 5 ELSE i END),
  CASE WHEN i % 11 = 0 THEN 2 ELSE 1 END,
  (SELECT SURNAME || GIVEN FROM DEMO_NAMES WHERE N = h % 24),
  CASE WHEN h % 2 = 0 THEN '1' ELSE '2' END,
  date(cy, '-' || age || ' years', '-' || (h % 300) || ' days'),
  CASE WHEN age < 22 THEN '1' WHEN h % 17 = 0 THEN '4' WHEN h % 13 = 0 THEN '3' ELSE '2' END,
  printf('%d', 11 + (h % 8) * 10),
  substr('1123456911', 1 + h % 10, 1),
  datetime(cy, '-' || stay || ' days', '+' || (8 + h % 10) || ' hours'),
  dept,
  datetime(cy, '+' || (9 + h % 8) || ' hours'),
  CASE WHEN i % 40 = 0 THEN printf('%02d', 1 + (i * 7) % 12) ELSE dept END,
  substr('3332333213', 1 + h % 10, 1),
  date(cy, '-' || (stay - 1) || ' days'),
  (SELECT NAME FROM DEMO_ICD10 WHERE N = icd),
  (SELECT CODE FROM DEMO_ICD10 WHERE N = icd),
  substr('1122212349', 1 + h % 10, 1),
  CASE WHEN dept = '10' THEN 'BNW010' ELSE NULL END,
  CASE WHEN dept = '10' THEN 'ZBMR10' ELSE NULL END,
  CASE WHEN i % 3 = 0 THEN (SELECT CODE FROM DEMO_ICD10 WHERE N = (icd + 3) % 20) ELSE NULL END,
  CASE WHEN i % 3 = 0 THEN substr('12', 1 + h % 2, 1) ELSE NULL END,
  CASE WHEN i % 7 = 0 THEN (SELECT CODE FROM DEMO_ICD10 WHERE N = (icd + 7) % 20) ELSE NULL END,
  CASE WHEN i % 7 = 0 THEN '2' ELSE NULL END,
  CASE WHEN i % 53 = 0 THEN 'T81.401' ELSE NULL END,
  CASE WHEN i % 53 = 0 THEN '1' ELSE NULL END,
  CASE WHEN icd = 6 THEN 'W19.x00' ELSE NULL END,
  substr('1111111201', 1 + h % 10, 1),
  CASE WHEN i % 4 = 0 THEN '1' ELSE '0' END,
  CASE WHEN icd IN (7, 16) THEN '1' ELSE '0' END,
  CASE WHEN h % 15 = 0 THEN 2 ELSE 0 END,
  CASE WHEN h % 15 = 0 THEN 1 + h % 2 ELSE 0 END,
  CASE WHEN i % 4 = 0 THEN (SELECT CODE FROM DEMO_CM3 WHERE N = cm3) ELSE NULL END,
  CASE WHEN i % 4 = 0 THEN date(cy, '-' || (stay / 2) || ' days') ELSE NULL END,
  CASE WHEN i % 4 = 0 THEN substr('1114711125', 1 + h % 10, 1) ELSE NULL END,
  CASE WHEN i % 12 = 0 THEN (SELECT CODE FROM DEMO_CM3 WHERE N = (cm3 + 1) % 10) ELSE NULL END,
  substr('1111111112', 1 + h % 10, 1),
  stay * 45.0, stay * 12.5, round(300 + (h % 5000) * 1.37, 2), round((h % 700) * 0.85, 2),
  CASE WHEN dept = '10' THEN round((h % 900) * 1.1, 2) ELSE 0 END, round(150 + (h % 1200) * 0.9, 2),
  round(80 + (h % 600) * 0.7, 2), CASE WHEN i % 4 = 0 THEN round(1500 + (h % 8000) * 1.2, 2) ELSE 0 END,
  round(90 + (h % 800) * 0.55, 2), stay * 20.0, CASE WHEN i % 19 = 0 THEN 640.0 ELSE 0 END,
  CASE WHEN i % 4 = 0 THEN round(300 + (h % 900) * 0.8, 2) ELSE 0 END, CASE WHEN i % 29 = 0 THEN NULL ELSE round((h % 300) * 0.6, 2) END,
  substr('ABOA', 1 + h % 4, 1),
  CASE WHEN i % 19 = 0 THEN '无' ELSE NULL END,
  CASE WHEN i % 19 = 0 THEN 2.0 ELSE NULL END, CASE WHEN i % 38 = 0 THEN 1.0 ELSE NULL END,
  CASE WHEN i % 19 = 0 THEN 200.0 ELSE NULL END, NULL, NULL
FROM g;
CREATE INDEX BA_BRSY00_CYRQ ON BA_BRSY00 (CYRQ00);

-- The survey rows of the last statistics run (what the forms print).
CREATE TABLE BA_CYBRDC (
  BAH000 VARCHAR(12), XM0000 VARCHAR(4), MRN000 VARCHAR(12), ZYCS00 INTEGER, YLFKFS VARCHAR(1),
  XBBH00 VARCHAR(1), CSRQNF VARCHAR(4), CSRQYF VARCHAR(2), CSRQRF VARCHAR(2), BRNL00 INTEGER,
  HYZKBH VARCHAR(1), ZY0000 VARCHAR(4), RYRQNF VARCHAR(4), RYRQYF VARCHAR(2), RYRQRF VARCHAR(2),
  RZKS00 VARCHAR(4), RZKSMC VARCHAR(20), CYRQNF VARCHAR(4), CYRQYF VARCHAR(2), CYRQRF VARCHAR(2),
  DQKS00 VARCHAR(4), DQKSMC VARCHAR(20), RYQKBH VARCHAR(1), QZRQNF VARCHAR(4), QZRQYF VARCHAR(2),
  QZRQRF VARCHAR(2), CYZYZD VARCHAR(10), CYZLJG VARCHAR(1), ZYZDZB VARCHAR(10), ZYZDZZ VARCHAR(10),
  CYZY01 VARCHAR(10), CYZL01 VARCHAR(1), CYZY02 VARCHAR(10), CYZL02 VARCHAR(1), YYGLZD VARCHAR(10),
  YYGLZL VARCHAR(1), SSZDWY VARCHAR(10), RYCYBM VARCHAR(1), SQSHBM VARCHAR(1), LCBLBM VARCHAR(1),
  QJCS00 INTEGER, CGCS00 INTEGER, SSM000 VARCHAR(10), SSRQNF VARCHAR(4), SSRQYF VARCHAR(2),
  SSRQRF VARCHAR(2), QKYHBM VARCHAR(1), QTSSM0 VARCHAR(10), BAZL00 VARCHAR(1), HJJE00 DOUBLE,
  CWF000 DOUBLE, ZCF000 DOUBLE, XYF000 DOUBLE, CYF000 DOUBLE, ZYF000 DOUBLE, JCF000 DOUBLE,
  ZLF000 DOUBLE, SSF000 DOUBLE, HYF000 DOUBLE, HLF000 DOUBLE, SXF000 DOUBLE, MZF000 DOUBLE,
  QTYLF0 DOUBLE);
CREATE VIEW VW_BA_CYBRDC AS SELECT * FROM BA_CYBRDC;

-- The statistics procedure: department code or -1, record number or empty,
-- first day (inclusive) and end day (exclusive) as yyyymmdd. Dates are stored
-- as 'YYYY-MM-DD HH:MM:SS' text, so their parts are taken as substrings.
INSERT INTO SYS_PROCEDURES VALUES ('SP_BA_SYBRDC', 'BMBH00,BAH000,BEGIN,ENDDATE', 'DELETE FROM BA_CYBRDC;
INSERT INTO BA_CYBRDC SELECT p.BAH000, substr(p.CYRQ00, 1, 4), p.BAH000, p.ZYCS00, p.YLFKFS, p.XBBH00,
  substr(p.CSRQ00, 1, 4), substr(p.CSRQ00, 6, 2), substr(p.CSRQ00, 9, 2), (CAST(substr(p.RYRQ00, 1, 4) AS INTEGER) - CAST(substr(p.CSRQ00, 1, 4) AS INTEGER) - (substr(p.RYRQ00, 6, 5) < substr(p.CSRQ00, 6, 5))), p.HYZKBH, p.ZY0000, substr(p.RYRQ00, 1, 4), substr(p.RYRQ00, 6, 2), substr(p.RYRQ00, 9, 2), p.RZKS00, r.BMMC00,
  substr(p.CYRQ00, 1, 4), substr(p.CYRQ00, 6, 2), substr(p.CYRQ00, 9, 2), p.DQKS00, d.BMMC00, p.RYQKBH, substr(p.QZRQ00, 1, 4), substr(p.QZRQ00, 6, 2), substr(p.QZRQ00, 9, 2), p.CYZYZD, p.CYZLJG, p.ZYZDZB, p.ZYZDZZ,
  p.CYZY01, p.CYZL01, p.CYZY02, p.CYZL02, p.YYGLZD, p.YYGLZL, p.SSZDWY, p.RYCYBM, p.SQSHBM, p.LCBLBM,
  p.QJCS00, p.CGCS00, p.SSM000, substr(p.SSRQ00, 1, 4), substr(p.SSRQ00, 6, 2), substr(p.SSRQ00, 9, 2), p.QKYHBM, p.QTSSM0, p.BAZL00, IFNULL(p.CWF000, 0) + IFNULL(p.ZCF000, 0) + IFNULL(p.XYF000, 0) + IFNULL(p.CYF000, 0) + IFNULL(p.ZYF000, 0) + IFNULL(p.JCF000, 0) + IFNULL(p.ZLF000, 0) + IFNULL(p.SSF000, 0) + IFNULL(p.HYF000, 0) + IFNULL(p.HLF000, 0) + IFNULL(p.SXF000, 0) + IFNULL(p.MZF000, 0) + IFNULL(p.QTYLF0, 0),
  p.CWF000, p.ZCF000, p.XYF000, p.CYF000, p.ZYF000, p.JCF000, p.ZLF000, p.SSF000, p.HYF000, p.HLF000, p.SXF000, p.MZF000, p.QTYLF0
FROM BA_BRSY00 p LEFT JOIN XT_BMBM00 r ON r.BMBH00 = p.RZKS00
  LEFT JOIN XT_BMBM00 d ON d.BMBH00 = p.DQKS00
WHERE (:BMBH00 = ''-1'' OR p.DQKS00 = :BMBH00) AND (:BAH000 = '''' OR p.BAH000 = :BAH000)
  AND p.CYRQ00 >= substr(:BEGIN, 1, 4) || ''-'' || substr(:BEGIN, 5, 2) || ''-'' || substr(:BEGIN, 7, 2)
  AND p.CYRQ00 < substr(:ENDDATE, 1, 4) || ''-'' || substr(:ENDDATE, 5, 2) || ''-'' || substr(:ENDDATE, 7, 2);
SELECT CASE p.YLFKFS WHEN ''1'' THEN ''城镇职工医保'' WHEN ''2'' THEN ''城镇居民医保'' WHEN ''3'' THEN ''新农合''
    WHEN ''4'' THEN ''其他社会保险'' WHEN ''5'' THEN ''商业健康保险'' WHEN ''6'' THEN ''自费'' ELSE ''其他'' END AS JFFS00,
  p.ZYCS00, p.BAH000, CASE p.XBBH00 WHEN ''1'' THEN ''男'' WHEN ''2'' THEN ''女'' ELSE ''未知'' END AS BRXB00,
  (CAST(substr(p.RYRQ00, 1, 4) AS INTEGER) - CAST(substr(p.CSRQ00, 1, 4) AS INTEGER) - (substr(p.RYRQ00, 6, 5) < substr(p.CSRQ00, 6, 5))) AS BRNL00,
  CASE p.HYZKBH WHEN ''1'' THEN ''未婚'' WHEN ''2'' THEN ''已婚'' WHEN ''3'' THEN ''离婚'' WHEN ''4'' THEN ''丧偶'' ELSE ''其他'' END AS HYZK00,
  p.ZY0000, p.RYRQ00, r.BMMC00 AS RYKB00, p.CYRQ00, d.BMMC00 AS CYKB00,
  CASE p.RYQKBH WHEN ''1'' THEN ''危'' WHEN ''2'' THEN ''急'' ELSE ''一般'' END AS RYQK00, p.QZRQ00, p.RYZD00,
  p.CYZYZD AS ZYZD00, CASE p.CYZLJG WHEN ''1'' THEN ''治愈'' WHEN ''2'' THEN ''好转'' WHEN ''3'' THEN ''未愈'' WHEN ''4'' THEN ''死亡'' WHEN ''9'' THEN ''其他'' END AS ZYZLXG, p.CYZY01 AS QTZD00, CASE p.CYZL01 WHEN ''1'' THEN ''治愈'' WHEN ''2'' THEN ''好转'' WHEN ''3'' THEN ''未愈'' WHEN ''4'' THEN ''死亡'' WHEN ''9'' THEN ''其他'' END AS QTZLXG,
  p.YYGLZD AS YYGR00, CASE p.YYGLZL WHEN ''1'' THEN ''治愈'' WHEN ''2'' THEN ''好转'' WHEN ''3'' THEN ''未愈'' WHEN ''4'' THEN ''死亡'' WHEN ''9'' THEN ''其他'' END AS GRZLXG, p.SSZDWY AS XSZD00, p.SSM000,
  IFNULL(p.CWF000, 0) + IFNULL(p.ZCF000, 0) + IFNULL(p.XYF000, 0) + IFNULL(p.CYF000, 0) + IFNULL(p.ZYF000, 0) + IFNULL(p.JCF000, 0) + IFNULL(p.ZLF000, 0) + IFNULL(p.SSF000, 0) + IFNULL(p.HYF000, 0) + IFNULL(p.HLF000, 0) + IFNULL(p.SXF000, 0) + IFNULL(p.MZF000, 0) + IFNULL(p.QTYLF0, 0) AS ZJE000, p.CWF000, p.HLF000, p.XYF000, p.ZYF000, p.HYF000, p.ZLF000, p.SSF000, p.JCF000,
  p.QTYLF0 AS QTF000, p.XX0000, p.SXFY00, p.HXB000, p.XXB000, p.XJ0000, p.QX0000, p.SXQT00
FROM BA_BRSY00 p LEFT JOIN XT_BMBM00 r ON r.BMBH00 = p.RZKS00
  LEFT JOIN XT_BMBM00 d ON d.BMBH00 = p.DQKS00
WHERE (:BMBH00 = ''-1'' OR p.DQKS00 = :BMBH00) AND (:BAH000 = '''' OR p.BAH000 = :BAH000)
  AND p.CYRQ00 >= substr(:BEGIN, 1, 4) || ''-'' || substr(:BEGIN, 5, 2) || ''-'' || substr(:BEGIN, 7, 2)
  AND p.CYRQ00 < substr(:ENDDATE, 1, 4) || ''-'' || substr(:ENDDATE, 5, 2) || ''-'' || substr(:ENDDATE, 7, 2)
ORDER BY p.BAH000, p.ZYCS00');
