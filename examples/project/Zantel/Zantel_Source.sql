-- The component's template database. scripts/run-example.sh turns it into
-- Zantel_Source.mdb with the sqlite3 tool.
CREATE TABLE "Source_DEFS" ("System" TEXT(20), "Var_Name" TEXT(255), "Part" SHORT);
INSERT INTO "Source_DEFS" VALUES
  ('VISIWIN32',     '###machine.###Var_Name',            1),
  ('VISIWIN32',     '###machine.Status.###Var_Name',     2),
  ('VISIWINSTUDIO', 'Ch1.###machine.###Var_Name',        1),
  ('VISIWINSTUDIO', 'Ch1.###machine.Status.###Var_Name', 2);

CREATE TABLE "Source_PRESET_DEFS" (
  "ID" LONG, "part" SHORT, "machine_type" TEXT(50), "type" TEXT(20), "var_name" TEXT(100),
  "category_id" LONG, "isBitArray" BIT, "offset_or_bitno" LONG, "text" TEXT(255),
  "page_name" TEXT(50), "abs_min" DOUBLE, "abs_max" DOUBLE, "min" DOUBLE, "max" DOUBLE,
  "pass" SHORT);
INSERT INTO "Source_PRESET_DEFS" VALUES
  (10, 1, '###machine', 'REAL',  'Temperature',  1,  0, 0, 'Oil temperature of ###machine', 'Hydraulics', 0, 120, 20, 80, 0),
  (20, 1, '###machine', 'REAL',  'Pressure',     1,  0, 4, 'Main pressure',                 'Hydraulics', 0, 350, 50, 300, 0),
  (30, 1, '###machine', 'INT',   'Strokes',      2,  0, 8, 'Strokes per minute',            'Drive',      0, 60, 0, 45, 1),
  (40, 2, '###machine', 'BOOL',  'Alarms',       3, -1, 0, 'Oil level low',                 'Alarms',     NULL, NULL, NULL, NULL, 0),
  (50, 2, '###machine', 'BOOL',  'Alarms',       3, -1, 1, 'Filter clogged',                'Alarms',     NULL, NULL, NULL, NULL, 0),
  (60, 2, '###machine', 'BOOL',  'Alarms',       3, -1, 2, 'Motor protection tripped',      'Alarms',     NULL, NULL, NULL, NULL, 0);

CREATE TABLE "PRESET_DEFS" ("ID" LONG);
