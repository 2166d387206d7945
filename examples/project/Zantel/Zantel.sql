-- The component database as an earlier run left it, with values the
-- operators set on Press1. scripts/run-example.sh turns it into Zantel.mdb.
CREATE TABLE "PRESET_DEFS" (
  "ID" LONG, "part" SHORT, "machine_type" TEXT(50), "type" TEXT(20), "var_name" TEXT(100),
  "category_id" LONG, "isBitArray" BIT, "offset_or_bitno" LONG, "text" TEXT(255),
  "page_name" TEXT(50), "abs_min" DOUBLE, "abs_max" DOUBLE, "min" DOUBLE, "max" DOUBLE,
  "pass" SHORT);
INSERT INTO "PRESET_DEFS" VALUES
  (1, 1, 'Press1', 'REAL', 'Press1.Temperature', 1, 0, 0, 'Oil temperature of Press1', 'Hydraulics', 5, 110, 30, 70, 1),
  (2, 1, 'Press1', 'REAL', 'Press1.Pressure',    1, 0, 4, 'Main pressure',             'Hydraulics', 0, 320, 80, 280, 1),
  (3, 1, 'Press1', 'REAL', 'Press1.OldSensor',   1, 0, 6, 'Removed sensor',            'Hydraulics', 1, 2, 3, 4, 1);
