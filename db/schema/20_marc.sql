-- Bibliographic records: header and summary columns, the record text in pieces,
-- the search index, and the cataloguing parameters.
--
-- The record text is ISO 2709 with positions counted in GBK bytes; it is split
-- over the rows of marc_data (in data_serial order) and, inside a row, over
-- marc01, marc02 and marc03. The columns are declared varchar(2000): a wider
-- declaration would announce national-character storage to the client.

create table marc (
    marc_rec_no    text collate "C" not null,
    marc_type      varchar(1) collate "C",
    doc_type_code  varchar(2) collate "C",
    lang_code      varchar(3) collate "C",
    country_code   varchar(2) collate "C",
    marc_use_flag  varchar(1) collate "C",
    cata_oper      varchar(4) collate "C",
    cata_date      text collate "C",
    m_call_no      text,
    m_title        text,
    m_author       text,
    m_publisher    text,
    m_pub_year     text,
    m_isbn         text,
    m_classno      text,
    m_heading      text,
    m_see          text,
    m_seealso      text,
    constraint pk_marc primary key (marc_rec_no)
);

-- A record number may have pieces without a marc row; the reader copes.
create table marc_data (
    marc_rec_no  text collate "C" not null,
    data_serial  integer not null,
    marc01       varchar(2000),
    marc02       varchar(2000),
    marc03       varchar(2000),
    constraint pk_marc_data primary key (marc_rec_no, data_serial)
);

-- Search keys per index group ('02' title, '03' responsibility, '05' ISBN,
-- '09' publisher, ...). Keys are stored as a search prepares them (upper case,
-- stop words and blanks next to Chinese characters removed); the declared size
-- (60) tells the client how long a key may be, in display columns.
create table marc_idx (
    marc_rec_no    text collate "C" not null,
    marc_idx_grp   varchar(2) collate "C" not null,
    marc_idx_cont  varchar(60) collate "C"
);
create index marc_idx_cont_idx on marc_idx (marc_idx_grp, marc_idx_cont);
-- By record number, with the group and key: a search listed a page at a time
-- walks it in record-number order without reading the table.
create index marc_idx_rec_idx on marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont);

-- Index parameters: use type '0' search groups, '1' the items the windows
-- show; per MARC format '0' CNMARC, '1' USMARC, '2', '3'.
create table marc_idx_para (
    marc_idx_grp       varchar(2) collate "C" not null,
    marc_idx_grp_name  text,
    stopword_flag      varchar(1) collate "C" not null default '0' check (stopword_flag in ('0', '1')),
    marc_field         text,
    marc_type_id       varchar(1) collate "C" not null check (marc_type_id in ('0', '1', '2', '3')),
    use_type           varchar(1) collate "C" not null check (use_type in ('0', '1')),
    constraint pk_marc_idx_para primary key (use_type, marc_type_id, marc_idx_grp)
);

-- Subfield items that make up a title, in serial order, per format '0'/'1'.
create table title_field (
    marc_field    text not null,
    marc_type_id  varchar(1) collate "C" not null check (marc_type_id in ('0', '1', '2', '3')),
    serial        integer not null,
    constraint pk_title_field primary key (marc_type_id, serial)
);

-- Stop words, one row per kind in stopword_type order: 0 words, 1 texts,
-- 2 and 3 characters removed from keys.
create table stopword (
    stopword_type  integer not null,
    stopword_cont  text,
    constraint pk_stopword primary key (stopword_type)
);

-- Last serial number given per class; five columns, so the class groups are
-- not loaded.
create table max_class_serial (
    cls_id      text collate "C" not null,
    location    text collate "C" not null default '',
    max_serial  integer not null default 0,
    upt_day     text,
    resp_wkr    varchar(4),
    constraint pk_max_class_serial primary key (cls_id, location)
);
