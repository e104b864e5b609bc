-- Consignment desk: titles, copies, loans, holds, violations, consignment
-- requests and found copies.
--
-- Dates are "yyyy-mm-dd" text, date-times "yyyy-mm-dd hh:mm:ss"; the due date
-- of an hour-based loan is "yyyy-mm-ddhh:mm:ss". Codes, dates and flags
-- compare in byte order (collation "C").

-- Title: one row per call number.
create table call_no_lst (
    call_no          text collate "C" not null,
    marc_rec_no      text collate "C",
    circ_type_code   text collate "C",
    lend_grd         text collate "C",
    cls_id           text,
    year_circ_times  integer default 0,
    total_circ_times integer default 0,
    year_read_times  integer default 0,
    total_read_times integer default 0,
    year_preg_times  integer default 0,
    total_preg_times integer default 0,
    constraint pk_call_no_lst primary key (call_no)
);
create index call_no_lst_marc_idx on call_no_lst (marc_rec_no);

-- Copy register (acquisition side of a copy).
create table indi_acct (
    prop_no           text collate "C" not null,
    call_no           text collate "C",
    bar_code          text collate "C",
    dis_location      text collate "C",
    year              text,
    vol_peri          text,
    book_stat_code    text collate "C",
    price             text,
    carrier_code      text,
    attachment        text,
    in_date           text collate "C",
    rec_flag_upt_date text collate "C",
    resp_wkr          text,
    remark            text,
    marc_rec_no       text collate "C",
    constraint pk_indi_acct primary key (prop_no)
);
create unique index indi_barcode_idx on indi_acct (bar_code);
create index indi_acct_marc_idx on indi_acct (marc_rec_no);

-- Circulating copy. location '99999' marks a copy without a location of its own.
create table item (
    prop_no           text collate "C" not null,
    marc_rec_no       text collate "C",
    call_no           text collate "C",
    bar_code          text collate "C",
    location          text collate "C",
    book_stat_code    text collate "C",
    book_lend_flag    text collate "C" not null default '0'
        constraint ck_item_lend_flag check (book_lend_flag in ('0', '1', '2', '3')),
    year_circ_times   integer default 0,
    total_circ_times  integer default 0,
    fst_use_date      text collate "C",
    last_use_date     text collate "C",
    year              text,
    vol_peri          text,
    price             text,
    carrier_code      text,
    attachment        text,
    in_date           text collate "C",
    rec_flag_upt_date text collate "C",
    resp_wkr          text,
    constraint pk_item primary key (prop_no)
);
create unique index item_barcode_idx on item (bar_code);
create index item_call_loca_idx on item (call_no, location);
create index item_marc_idx on item (marc_rec_no);

-- Open loans: at most one per copy.
create table lend_lst (
    cert_id       text collate "C" not null,
    prop_no       text collate "C" not null,
    lend_date     text collate "C",
    norm_ret_date text collate "C"
        constraint ck_lend_lst_due check (norm_ret_date ~ '^\d{4}-\d{2}-\d{2}( ?\d{2}:\d{2}:\d{2})?$'),
    renew_date    text collate "C",
    renew_times   integer default 0,
    asback_date   text collate "C",
    asback_times  integer default 0,
    rule_no_f     text collate "C",
    location_f    text collate "C",
    attachment    text,
    resp_wkr      text,
    ret_wkr       text,
    cls_id        text,
    preg_flag     text,
    rele_flag     text,
    constraint pk_lend_lst primary key (prop_no)
);
create index lend_lst_cert_idx on lend_lst (cert_id, lend_date);
create index lend_lst_loca_idx on lend_lst (location_f);

-- Holds on a title at a location.
create table preg_lst (
    cert_id        text collate "C" not null,
    call_no        text collate "C" not null,
    location       text collate "C",
    preg_date      text collate "C",
    preg_end_date  text collate "C",
    preg_keep_days integer,
    preg_notice_no text,
    preg_no        integer,
    take_location  text collate "C",
    preg_flag      text collate "C" default '0'
);
create index preg_lst_queue_idx on preg_lst (call_no, location, preg_end_date);
create index preg_lst_cert_idx on preg_lst (cert_id);

-- Reserved copies held for a reader.
create table preg_arri_lst (
    cert_id            text collate "C" not null,
    prop_no            text collate "C" not null,
    call_no_f          text collate "C",
    preg_arri_date     text collate "C",
    noti_send_date     text collate "C",
    keep_end_date      text collate "C",
    preg_keep_days     integer,
    resp_wkr           text,
    take_location      text collate "C",
    pregarri_deal_flag text collate "C" default '0'
);
create index preg_arri_lst_prop_idx on preg_arri_lst (prop_no);
create index preg_arri_lst_cert_idx on preg_arri_lst (cert_id);

-- Violations: "0" settled, "1" suspension, "2" fine, "3" fine and suspension,
-- "4" reserved copy not collected, "5" consignment copy not collected.
create table reader_volt_lst (
    cert_id        text collate "C" not null,
    punish_date    text collate "C" not null,
    volt_code      text collate "C",
    prop_no        text collate "C",
    location_f     text collate "C",
    real_fine_amt  numeric(12,2) default 0,
    fine_date      text collate "C",
    bill_no        text,
    froz_end_date  text collate "C",
    volt_deal_flag text collate "C" not null default '0'
        constraint ck_volt_deal_flag check (volt_deal_flag in ('0', '1', '2', '3', '4', '5')),
    resp_wkr       text,
    remark         text,
    constraint pk_redr_volt_lst primary key (cert_id, punish_date)
);
create index reader_volt_lst_prop_idx on reader_volt_lst (prop_no);

-- Consignment requests. A queue is (call_no, location); among its waiting
-- requests ('0') the numbers are distinct; served ('1') and cancelled ('2')
-- requests carry number 0. Renumbering passes through duplicates inside one
-- transaction, so the queue constraint is checked at commit.
create table relegate_lst (
    id                 bigint generated always as identity,
    cert_id            text collate "C" not null,
    call_no            text collate "C" not null,
    location           text collate "C" not null,
    relegate_no        integer not null default 0,
    relegate_date      text collate "C"
        constraint ck_relegate_date check (relegate_date ~ '^\d{4}-\d{2}-\d{2}$'),
    relegate_keep_days integer,
    relegate_end_date  text collate "C"
        constraint ck_relegate_end_date check (relegate_end_date ~ '^\d{4}-\d{2}-\d{2}$'),
    relegate_location  text collate "C",
    wkr_no             text,
    relegate_flag      text collate "C" not null default '0'
        constraint ck_relegate_flag check (relegate_flag in ('0', '1', '2')),
    constraint pk_relegate_lst primary key (id),
    constraint ck_relegate_no check (relegate_no >= 0 and (relegate_flag <> '0' or relegate_no >= 1)),
    constraint relegate_queue_uk exclude using btree
        (call_no with =, location with =, relegate_no with =)
        where (relegate_flag = '0') deferrable initially deferred
);
-- A reader waits at most once per title.
create unique index relegate_lst_wait_uk on relegate_lst (cert_id, call_no) where relegate_flag = '0';
create index relegate_lst_cert_idx on relegate_lst (cert_id, relegate_flag);
create index relegate_lst_queue_idx on relegate_lst (call_no, location, relegate_flag, relegate_no);

-- Found copies and copies travelling home:
-- "1" found, "2" handed over, "3" collected, "4" on its way home,
-- "5" accepted home, "6" lent on.
create table relegate_arri_lst (
    id                     bigint generated always as identity,
    cert_id                text collate "C" not null,
    prop_no                text collate "C" not null,
    call_no                text collate "C",
    relegate_arri_date     text collate "C",
    relegate_noti_date     text collate "C",
    relegate_keep_days     integer,
    relegate_keep_end_date text collate "C",
    relegate_lend_date     text collate "C",
    relegate_ret_date      text collate "C",
    relegate_location      text collate "C",
    relegate_find_location text collate "C",
    relegate_ret_location  text collate "C",
    relegate_end_flag      text collate "C" not null
        constraint ck_relegate_end_flag check (relegate_end_flag in ('1', '2', '3', '4', '5', '6')),
    resp_wkr               text,
    relegate_date          text collate "C",
    constraint pk_relegate_arri_lst primary key (id)
);
-- A copy is held for one requester at a time.
create unique index relegate_arri_open_uk on relegate_arri_lst (prop_no) where relegate_end_flag in ('1', '2');
create index relegate_arri_cert_idx on relegate_arri_lst (cert_id, relegate_end_flag);
create index relegate_arri_prop_idx on relegate_arri_lst (prop_no, relegate_end_flag);
create index relegate_arri_flag_idx on relegate_arri_lst (relegate_end_flag, relegate_ret_date);
