-- Cataloguing parameters: index groups per MARC format, title items, stop words.
-- The demo record generator (bench/MarcDemoGen.cpp) prepares its index keys
-- with the same stop words; change both together.

-- Use type '0': the search groups, with their stop-word switch.
insert into marc_idx_para (marc_idx_grp, marc_idx_grp_name, stopword_flag, marc_field, marc_type_id, use_type) values
    ('02', '题名',   '1', '200a,517a',      '0', '0'),
    ('03', '责任者', '0', '701a,702a,711a', '0', '0'),
    ('04', '分类号', '0', '690a',           '0', '0'),
    ('05', 'ISBN',   '0', '010a',           '0', '0'),
    ('06', 'ISSN',   '0', '011a',           '0', '0'),
    ('07', '主题词', '0', '606a',           '0', '0'),
    ('09', '出版者', '0', '210c',           '0', '0'),
    ('02', '题名',   '1', '245a,246a',      '1', '0'),
    ('03', '责任者', '0', '100a,700a,710a', '1', '0'),
    ('04', '分类号', '0', '050a',           '1', '0'),
    ('05', 'ISBN',   '0', '020a',           '1', '0'),
    ('06', 'ISSN',   '0', '022a',           '1', '0'),
    ('07', '主题词', '0', '650a',           '1', '0'),
    ('09', '出版者', '0', '260b',           '1', '0'),
    ('02', '标目',   '0', '200a',           '2', '0'),
    ('02', '标目',   '0', '100a',           '3', '0')
on conflict do nothing;

-- Use type '1': the items the windows show, row by row in group order. The
-- title routine reads row 1 (title), 2 (author), 3 (ISBN), 4 (edition),
-- 6 (class), 7 (place), 8 (publisher), 9 (year), 10 (extent).
insert into marc_idx_para (marc_idx_grp, marc_idx_grp_name, stopword_flag, marc_field, marc_type_id, use_type) values
    ('00', '控制号',   '0', '001',                 '0', '1'),
    ('01', '题名',     '0', '200a',                '0', '1'),
    ('02', '责任者',   '0', '701a,702a,711a,200f', '0', '1'),
    ('03', 'ISBN',     '0', '010a',                '0', '1'),
    ('04', '版本',     '0', '205a',                '0', '1'),
    ('05', '丛编',     '0', '225a,4611200a',       '0', '1'),
    ('06', '分类号',   '0', '690a',                '0', '1'),
    ('07', '出版地',   '0', '210a',                '0', '1'),
    ('08', '出版者',   '0', '210c',                '0', '1'),
    ('09', '出版年',   '0', '210d',                '0', '1'),
    ('10', '载体形态', '0', '215a',                '0', '1'),
    ('00', '控制号',   '0', '001',                 '1', '1'),
    ('01', '题名',     '0', '245a',                '1', '1'),
    ('02', '责任者',   '0', '100a,700a,245c',      '1', '1'),
    ('03', 'ISBN',     '0', '020a',                '1', '1'),
    ('04', '版本',     '0', '250a',                '1', '1'),
    ('05', '丛编',     '0', '490a',                '1', '1'),
    ('06', '分类号',   '0', '050a',                '1', '1'),
    ('07', '出版地',   '0', '260a',                '1', '1'),
    ('08', '出版者',   '0', '260b',                '1', '1'),
    ('09', '出版年',   '0', '260c',                '1', '1'),
    ('10', '载体形态', '0', '300a',                '1', '1'),
    ('00', '控制号',   '0', '001',                 '2', '1'),
    ('01', '标目',     '0', '200a',                '2', '1'),
    ('00', '控制号',   '0', '001',                 '3', '1'),
    ('01', '标目',     '0', '100a',                '3', '1')
on conflict do nothing;

-- Title items: CNMARC main title, other title, part number, part name; USMARC
-- title and remainder.
insert into title_field (marc_field, marc_type_id, serial) values
    ('200a', '0', 1), ('200e', '0', 2), ('200h', '0', 3), ('200i', '0', 4),
    ('245a', '1', 1), ('245b', '1', 2)
on conflict do nothing;

-- 0: words dropped from keys; 1: texts removed anywhere; 2 and 3: characters removed.
insert into stopword (stopword_type, stopword_cont) values
    (0, 'THE,A,AN,OF,AND'),
    (1, '<<,>>'),
    (2, '-:;,.!?"()[]'),
    (3, '·—《》“”：，。')
on conflict do nothing;
