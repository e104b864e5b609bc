-- Readers, their cards and records, overdue fines, compensations and the money journal.
--
-- Column order of reader is fixed: the reader update procedures take their values by
-- position in this order (1 cert_id ... 18 volt_flag, 19 debt_flag ... 30 obligate, 31 password);
-- the 28-value update uses positions 1..28, the 31-value update all of them.

create table reader (
    cert_id         text not null,
    redr_type_code  text,
    lend_grd        text,
    r_dep_id        text,
    name            text,
    sex             text,
    birthday        text,
    id_card         text,
    education       text,
    occupation      text,
    duty            text,
    position        text,
    dept            text,
    address         text,
    postcode        text,
    tele            text,
    mobile          text,
    volt_flag       integer not null default 0,
    debt_flag       numeric(12,2) not null default 0,
    redr_reg_day    text,
    redr_del_day    text,
    redr_flag       text not null default '1',
    email           text,
    code01          text,
    code02          text,
    remark          text,
    total_lend_qty  integer not null default 0,
    year_lend_qty   integer not null default 0,
    deposit         numeric(12,2) not null default 0,
    obligate        numeric(12,2) not null default 0,
    password        text,
    constraint pk_reader primary key (cert_id),
    constraint ck_reader_redr_flag check (char_length(redr_flag) = 1),
    constraint ck_reader_debt check (debt_flag >= 0),
    constraint ck_reader_obligate check (obligate >= 0),
    constraint ck_reader_volt check (volt_flag >= 0)
);
create index reader_name_idx on reader (name);
create index reader_id_card_idx on reader (id_card);

-- One row per card. cert_flag: '0' cancelled, '1' valid, '2' lost, '3' suspended.
create table reader_cert (
    redr_cert_id    text not null,
    cert_id         text not null,
    cert_flag       text not null default '1',
    oper_date       text,
    bgn_date        text,
    end_date        text,
    charge          numeric(12,2) not null default 0,
    resp_wkr        text,
    constraint pk_reader_cert primary key (redr_cert_id),
    constraint fk1_re_reader foreign key (cert_id) references reader (cert_id),
    constraint ck_reader_cert_flag check (cert_flag in ('0', '1', '2', '3'))
);
create index reader_cert_cert_id_idx on reader_cert (cert_id);

-- Card losses; cert_lose_flag '1' while the loss is in force.
create table cert_loss (
    id              bigint generated always as identity,
    redr_cert_id    text not null,
    lose_date       text,
    solv_date       text,
    cert_lose_flag  text not null default '1',
    resp_wkr        text,
    remark          text,
    constraint pk_cert_loss primary key (id),
    constraint fk2_re_reader foreign key (redr_cert_id) references reader_cert (redr_cert_id),
    constraint ck_cert_loss_flag check (char_length(cert_lose_flag) = 1)
);
create index cert_loss_card_idx on cert_loss (redr_cert_id);

-- Closed loans, and their archive with the same columns.
create table lend_hist (
    id              bigint generated always as identity,
    cert_id_f       text not null,
    prop_no_f       text not null,
    lend_date       text,
    ret_date        text,
    excd_days       integer not null default 0,
    renew_date      text,
    renew_times     integer not null default 0,
    asback_date     text,
    asback_times    integer not null default 0,
    resp_wkr        text,
    ret_wkr         text,
    marc_rec_no_f   text,
    cls_id          text,
    attachment      text,
    preg_flag       text,
    rele_flag       text,
    rule_no_f       text,
    constraint pk_lend_hist primary key (id)
);
create index lend_hist_cert_idx on lend_hist (cert_id_f);
create index lend_hist_prop_idx on lend_hist (prop_no_f);

create table lend_hist_bak (
    id              bigint generated always as identity,
    cert_id_f       text not null,
    prop_no_f       text not null,
    lend_date       text,
    ret_date        text,
    excd_days       integer not null default 0,
    renew_date      text,
    renew_times     integer not null default 0,
    asback_date     text,
    asback_times    integer not null default 0,
    resp_wkr        text,
    ret_wkr         text,
    marc_rec_no_f   text,
    cls_id          text,
    attachment      text,
    preg_flag       text,
    rele_flag       text,
    rule_no_f       text,
    constraint pk_lend_hist_bak primary key (id)
);
create index lend_hist_bak_cert_idx on lend_hist_bak (cert_id_f);
create index lend_hist_bak_prop_idx on lend_hist_bak (prop_no_f);

-- Overdue fines, one row per overdue loan. Column order is the order of the
-- fine-row update procedure's 19 values. debt_deal_flag: '0' open, '1' settled.
-- time_unit: 'D' days, 'H' hours.
create table exceed_fine_lst (
    prop_no         text not null,
    cert_id         text not null,
    lend_date       text not null,
    norm_ret_date   text,
    ret_date        text,
    time_unit       text,
    fine_amt        numeric(12,2) not null default 0,
    renew_date      text,
    renew_times     integer not null default 0,
    asback_date     text,
    asback_times    integer not null default 0,
    real_fine_amt   numeric(12,2) not null default 0,
    bill_no         text,
    fine_date       text,
    debt_deal_flag  text not null default '0',
    resp_wkr        text,
    remark          text,
    location_f      text,
    rule_no_f       text,
    constraint pk_exceed_fine_lst primary key (prop_no, cert_id, lend_date),
    constraint fk3_re_reader foreign key (cert_id) references reader (cert_id),
    constraint ck_exceed_fine_flag check (debt_deal_flag in ('0', '1')),
    constraint ck_exceed_fine_unit check (time_unit in ('D', 'H')),
    constraint ck_exceed_fine_amt check (fine_amt >= 0 and real_fine_amt >= 0)
);
create index exceed_fine_open_idx on exceed_fine_lst (cert_id, debt_deal_flag);

-- Compensations for lost copies. recoup_type '1' by a book, '2' by money, other: refund.
create table lost_recoup_lst (
    id              bigint generated always as identity,
    cert_id         text not null,
    prop_no         text not null,
    recoup_date     text,
    src_price       numeric(12,2) not null default 0,
    tech_fee        numeric(12,2) not null default 0,
    serv_fee        numeric(12,2) not null default 0,
    real_recoup_amt numeric(12,2) not null default 0,
    recoup_type     text,
    recoup_flag     text,
    bill_no         text,
    resp_wkr        text,
    remark          text,
    constraint pk_lost_recoup_lst primary key (id),
    constraint fk4_re_reader foreign key (cert_id) references reader (cert_id)
);
create index lost_recoup_cert_idx on lost_recoup_lst (cert_id);
create index lost_recoup_prop_idx on lost_recoup_lst (prop_no);

-- The money journal. rec_type '5' fine paid, '6' fine waived; pay_mode '0' cash,
-- '1' card, '2' from the prepaid balance. A bill number is used once.
create table deposit_account_lst (
    id              bigint generated always as identity,
    cert_id         text not null,
    rec_type        text not null,
    pay_mode        text not null default '0',
    rec_flag        text not null default '1',
    oper_date       text not null,
    bill_no         text,
    resp_wkr        text,
    amount          numeric(12,2) not null,
    constraint pk_deposit_account_lst primary key (id),
    constraint fk5_re_reader foreign key (cert_id) references reader (cert_id),
    constraint ck_deposit_rec_type check (char_length(rec_type) = 1),
    constraint ck_deposit_pay_mode check (pay_mode in ('0', '1', '2')),
    constraint ck_deposit_amount check (amount >= 0)
);
create unique index deposit_account_bill_idx on deposit_account_lst (bill_no) where bill_no is not null;
create index deposit_account_cert_idx on deposit_account_lst (cert_id);
