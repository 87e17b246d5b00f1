CREATE TABLE t_chet (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  chet_name TEXT,
  chet_type TEXT,
  chet_broker TEXT,
  chet_kapital INTEGER,
  chet_sost TEXT,
  chet_opis TEXT
);

CREATE TABLE t_sdelki (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  chet TEXT,
  Ticket TEXT,
  OpenTime TEXT,
  Type TEXT,
  Size TEXT,
  Item TEXT,
  PriceOpen TEXT,
  sl TEXT,
  tp TEXT,
  CloseTime TEXT,
  PriceClose TEXT,
  Commission REAL,
  Taxes TEXT,
  Swap TEXT,
  Profit TEXT,
  Profit2 REAL,
  comment TEXT,
  enter TEXT,
  exit TEXT,
  taktika TEXT,
  pravilo2 TEXT,
  strategia TEXT,
  verno TEXT,
  pravilo TEXT,
  Psixo TEXT,
  ocenka TEXT,
  Nedobral INTEGER,
  Spas INTEGER,
  plan TEXT,
  img_left INTEGER,
  img_top INTEGER,
  t_tree BLOB
);

CREATE TABLE t_days (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  Day TEXT,
  comment TEXT,
  analize TEXT,
  chet TEXT
);

CREATE TABLE t_zametki (
  s_name TEXT,
  b_zametka BLOB,
  b_img BLOB
);
