-- Bibliographic look-up: the processing log of copies with its batches, and the
-- transfers of copies between locations. The look-up only reads them.

-- Processing batches: deal_stat_flag is the batch's own state, shown as stored.
create table deal_batch_lst (
    deal_batch_no  text collate "C" not null,
    deal_stat_flag text collate "C",
    constraint pk_deal_batch_lst primary key (deal_batch_no)
);

-- Processing of a copy: type '01' repair, '02' re-check, '03' weeding,
-- '04' given away, '05' exchanged; source_state the copy's status before.
create table deal_log (
    id             bigint generated always as identity,
    prop_no        text collate "C" not null,
    deal_batch_no  text collate "C",
    deal_type_code text collate "C",
    log_date       text collate "C",
    source_state   text collate "C",
    fee            numeric(12,2) default 0,
    book_target    text,
    resp_wkr       text,
    remark         text,
    constraint pk_deal_log primary key (id)
);
create index deal_log_prop_idx on deal_log (prop_no);

-- Transfers of a copy from one location to another.
create table alloc_record (
    id           bigint generated always as identity,
    prop_no      text collate "C" not null,
    alloc_date   text collate "C",
    alloc_no     text collate "C",
    alloc_src    text collate "C",
    alloc_target text collate "C",
    alloc_wkr    text,
    remark       text,
    constraint pk_alloc_record primary key (id)
);
create index alloc_record_prop_idx on alloc_record (prop_no);

-- The look-up joins copies (item.prop_no, in byte order "C") to their fines,
-- compensations and closed loans, and readers to the tables that key them in
-- byte order: indexes in that collation.
create index exceed_fine_prop_c_idx on exceed_fine_lst (prop_no collate "C");
create index lost_recoup_prop_c_idx on lost_recoup_lst (prop_no collate "C");
create index lend_hist_prop_c_idx on lend_hist (prop_no_f collate "C");
create index lend_hist_bak_prop_c_idx on lend_hist_bak (prop_no_f collate "C");
create index reader_cert_c_idx on reader (cert_id collate "C");
