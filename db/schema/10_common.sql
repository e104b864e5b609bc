-- Common services: code tables, circulation rules and their assignments,
-- locations with their desks and calendars, reader portraits, and the staff
-- tables (workers, workstations, rights, locations).
--
-- Codes, dates and flags are text compared in byte order (collation "C").
-- Dates are "yyyy-mm-dd" text, times of day "hh:mm". The program reads several
-- of these tables by column position (the code-table caches), so the columns
-- of a SELECT are always named; the first columns below follow that order.

-- ---------------------------------------------------------------------------
-- Circulation rules

-- One rule: loan period, limits, renewal and fine terms. Written through
-- lt_circ_rule. time_unit 'H' counts norm_term in hours, 'D' in days.
create table circ_rule (
    rule_no             varchar(10) collate "C" not null,
    rule_name           text,
    time_unit           char(1) collate "C" not null default 'D'
        constraint ck_circ_rule_time_unit check (time_unit in ('D', 'H')),
    norm_term           integer not null default 0,
    limt_lend_qty       integer not null default 0,
    max_lend_qty        integer not null default 0,
    perg_ysno           char(1) collate "C" not null default '0'
        constraint ck_circ_rule_perg check (perg_ysno in ('0', '1')),
    renew_ysno          char(1) collate "C" not null default '0'
        constraint ck_circ_rule_renew check (renew_ysno in ('0', '1')),
    max_renew_times     integer not null default 0,
    renew_bef_exp_days  integer not null default 0,
    fst_renew_days      integer not null default 0,
    add_renew_days      integer not null default 0,
    preg_keep_days      integer not null default 0,
    min_use_days        integer not null default 0,
    use_bef_exp_days    integer not null default 0,
    use_aft_asback_days integer not null default 0,
    max_excd_times      integer not null default 0,
    fst_notice          integer not null default 0,
    snd_notice          integer not null default 0,
    thd_notice          integer not null default 0,
    unfine_ext_days     integer not null default 0,
    fst_fine_days       integer not null default 0,
    fst_fine_price      numeric(12,2) not null default 0,
    other_fine_price    numeric(12,2) not null default 0,
    tech_fee            numeric(12,2) not null default 0,
    serv_fee            numeric(12,2) not null default 0,
    fst_notice_no       text collate "C",
    snd_notice_no       text collate "C",
    thd_notice_no       text collate "C",
    preg_notice_no      text collate "C",
    keep_book_qty       integer not null default 0,
    renew_calc_flag     char(1) collate "C" not null default '0'
        constraint ck_circ_rule_renew_calc check (renew_calc_flag in ('0', '1')),
    rule_flag           char(1) collate "C" not null default '1'
        constraint ck_circ_rule_flag check (rule_flag in ('0', '1')),
    reg_day             text collate "C"
        constraint ck_circ_rule_reg_day check (reg_day ~ '^\d{4}-\d{2}-\d{2}$'),
    upt_day             text collate "C"
        constraint ck_circ_rule_upt_day check (upt_day ~ '^\d{4}-\d{2}-\d{2}$'),
    resp_wkr            varchar(4) collate "C",
    constraint pk_circ_rule primary key (rule_no),
    constraint ck_circ_rule_counts check (norm_term >= 0 and limt_lend_qty >= 0 and max_lend_qty >= 0
        and preg_keep_days >= 0 and unfine_ext_days >= 0 and fst_fine_days >= 0 and keep_book_qty >= 0),
    constraint ck_circ_rule_money check (fst_fine_price >= 0 and other_fine_price >= 0
        and tech_fee >= 0 and serv_fee >= 0)
);

-- Rule assignments: the first row, in descending "no", whose three patterns
-- accept the copy's location, its circulation type and the reader's type
-- chooses the rule. A pattern is "*", a prefix ending in "*", or a comma list.
create table rule_comp (
    no                integer not null,
    rule_no           varchar(10) collate "C" not null,
    loca_code_c       text collate "C",
    circ_type_code_c  text collate "C",
    redr_type_code_c  text collate "C",
    r_dep_id          text collate "C",
    constraint pk_rule_comp primary key (no),
    -- an assignment may only name an existing rule
    constraint fk_rule_comp_rule foreign key (rule_no) references circ_rule (rule_no)
);

-- Lending limits per location group, reader type and circulation type.
create table group_rule_comp (
    r_group_id        text collate "C" not null,
    redr_type_code_r  text collate "C" not null,
    max_lend_qty      integer not null default 0,
    circ_type_code_r  text collate "C" not null,
    constraint pk_group_rule_comp primary key (r_group_id, redr_type_code_r, circ_type_code_r)
);

-- ---------------------------------------------------------------------------
-- Locations, desks and calendars

-- Location groups: a copy returned at a desk of another group travels home
-- (or is lent on to a requester).
create table loca_group (
    group_id    text collate "C" not null,
    group_name  text,
    use_flag    char(1) collate "C" not null default '1'
        constraint ck_loca_group_use check (use_flag in ('0', '1')),
    constraint pk_loca_group primary key (group_id)
);

-- Locations. location_property is the location group the desks compare;
-- lend_location, ret_location and fine_location list (comma-separated) the
-- desks at which this location's copies may be lent, returned or have their
-- fines settled; an empty list admits every desk.
create table location_lst (
    location           text collate "C" not null,
    location_name      text,
    location_property  text collate "C",
    short_loca_name    text,
    lend_location      text collate "C",
    ret_location       text collate "C",
    fine_location      text collate "C",
    group_id           text collate "C",
    location_dept      text,
    constraint pk_location_lst primary key (location)
);

-- Locations per kind of work, in list order; oper_type '3' marks the
-- circulation locations (desks and the stacks they serve).
create table location_sort (
    location   text collate "C" not null,
    oper_type  char(1) collate "C" not null,
    sequence   integer not null default 0,
    constraint pk_location_sort primary key (location, oper_type),
    constraint fk_location_sort_location foreign key (location) references location_lst (location)
);

-- Closing periods: a due date from close_bgn_day to close_end_day (both
-- included) moves to close_end_day + ext_days + 1 day.
create table close_day (
    close_bgn_day  text collate "C" not null
        constraint ck_close_day_bgn check (close_bgn_day ~ '^\d{4}-\d{2}-\d{2}$'),
    close_end_day  text collate "C" not null
        constraint ck_close_day_end check (close_end_day ~ '^\d{4}-\d{2}-\d{2}$'),
    ext_days       integer not null default 0
        constraint ck_close_day_ext check (ext_days >= 0),
    location       text collate "C" not null,
    constraint pk_close_day primary key (location, close_bgn_day),
    constraint ck_close_day_period check (close_bgn_day <= close_end_day)
);

-- Opening times per weekday; a weekday whose three times are all "00:00" is
-- closed at that location.
create table open_time (
    morn_open_time  text collate "C" not null default '00:00'
        constraint ck_open_time_morn check (morn_open_time ~ '^\s*\d{2}:\d{2}\s*$'),
    aftn_open_time  text collate "C" not null default '00:00'
        constraint ck_open_time_aftn check (aftn_open_time ~ '^\s*\d{2}:\d{2}\s*$'),
    even_open_time  text collate "C" not null default '00:00'
        constraint ck_open_time_even check (even_open_time ~ '^\s*\d{2}:\d{2}\s*$'),
    week            char(3) collate "C" not null
        constraint ck_open_time_week check (week in ('SUN', 'MON', 'TUE', 'WED', 'THU', 'FRI', 'SAT')),
    location        text collate "C" not null,
    constraint pk_open_time primary key (location, week)
);

-- ---------------------------------------------------------------------------
-- Code tables

create table stat_type_code (
    stat_type_name  text,
    stat_type_code  text collate "C" not null,
    constraint pk_stat_type_code primary key (stat_type_code)
);

create table circ_type_code (
    circ_type_code  text collate "C" not null,
    circ_type_name  text,
    remark          text,
    code_use_flag   char(1) collate "C" not null default '1'
        constraint ck_circ_type_use check (code_use_flag in ('0', '1')),
    constraint pk_circ_type_code primary key (circ_type_code)
);

create table circ_type_sort (
    cls_id          text collate "C" not null,
    circ_type_code  text collate "C" not null,
    class           text,
    constraint pk_circ_type_sort primary key (cls_id, circ_type_code)
);

create table classifica_code (
    cls_id         text collate "C" not null,
    cls_name       text,
    marc_field     text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_classifica_use check (code_use_flag in ('0', '1')),
    constraint pk_classifica_code primary key (cls_id)
);

create table cls_group (
    grp_code  text collate "C" not null,
    grp_name  text,
    constraint pk_cls_group primary key (grp_code)
);

create table stat_template (
    template_no    text collate "C" not null,
    template_name  text,
    cls_id         text collate "C"
);

create table doc_type_code (
    doc_type_code  varchar(2) collate "C" not null,
    doc_type_name  text,
    doc_type_prop  text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_doc_type_use check (code_use_flag in ('0', '1')),
    constraint pk_doc_type_code primary key (doc_type_code)
);

create table carrier_code (
    carrier_code   text collate "C" not null,
    carrier_name   text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_carrier_use check (code_use_flag in ('0', '1')),
    constraint pk_carrier_code primary key (carrier_code)
);

create table get_mode_code (
    get_mode_code  text collate "C" not null,
    get_mode_name  text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_get_mode_use check (code_use_flag in ('0', '1')),
    constraint pk_get_mode_code primary key (get_mode_code)
);

-- Language and country codes are stored upper case; look-ups upper-case the code.
create table language_code (
    lang_code      varchar(3) collate "C" not null
        constraint ck_language_upper check (lang_code = upper(lang_code)),
    lang_name      text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_language_use check (code_use_flag in ('0', '1')),
    constraint pk_language_code primary key (lang_code)
);

create table country_code (
    country_code   varchar(2) collate "C" not null
        constraint ck_country_upper check (country_code = upper(country_code)),
    country_name   text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_country_use check (code_use_flag in ('0', '1')),
    constraint pk_country_code primary key (country_code)
);

-- Reader types with their limits: chk_validity_period '1' tests the card's
-- dates; max_preg_qty waiting requests, max_preg_days keep days at most.
-- Unique keys never contain PK_READER in their names: the error report reads
-- that as a duplicate card or reader number.
create table reader_type (
    redr_type_code       text collate "C" not null,
    redr_type_name       text,
    chk_validity_period  char(1) collate "C" not null default '1'
        constraint ck_reader_type_validity check (chk_validity_period in ('0', '1')),
    max_lend_qty         integer not null default 0,
    max_debt_amt         numeric(12,2) not null default 0,
    max_preg_qty         integer not null default 0,
    max_preg_days        integer not null default 0,
    redr_attr_1          text,
    redr_attr_2          text,
    redr_attr_3          text,
    remark               text,
    code_use_flag        char(1) collate "C" not null default '1'
        constraint ck_reader_type_use check (code_use_flag in ('0', '1')),
    constraint pk_redr_type primary key (redr_type_code),
    constraint ck_reader_type_limits check (max_lend_qty >= 0 and max_debt_amt >= 0
        and max_preg_qty >= 0 and max_preg_days >= 0)
);

-- Lending grades; remark is the grade's name.
create table lend_grd (
    lend_grd       text collate "C" not null,
    remark         text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_lend_grd_use check (code_use_flag in ('0', '1')),
    constraint pk_lend_grd primary key (lend_grd)
);

create table violate_code (
    volt_code      text collate "C" not null,
    volt_name      text,
    code_use_flag  char(1) collate "C" not null default '1'
        constraint ck_violate_use check (code_use_flag in ('0', '1')),
    constraint pk_violate_code primary key (volt_code)
);

create table department (
    dep_id    text collate "C" not null,
    dep_name  text,
    use_flag  char(1) collate "C" not null default '1'
        constraint ck_department_use check (use_flag in ('0', '1')),
    constraint pk_department primary key (dep_id)
);

create table limit_type (
    limit_type_code  text collate "C" not null,
    limit_type_name  text,
    limit_use_flag   char(1) collate "C" not null default '1'
        constraint ck_limit_type_use check (limit_use_flag in ('0', '1')),
    constraint pk_limit_type primary key (limit_type_code)
);

-- ---------------------------------------------------------------------------
-- Reader portraits (the reader tables have their own owner; no key to them)

create table reader_portrait (
    p_cert_id         text collate "C" not null,
    rearder_portrait  bytea,
    constraint pk_redr_portrait primary key (p_cert_id)
);

-- ---------------------------------------------------------------------------
-- Staff: workers, their workstations, rights and locations

-- Workers, numbers upper case ("SUPR" is the built-in superuser).
-- wkr_flag '0' marks a cancelled worker.
create table lib_worker (
    wkr_no     varchar(4) collate "C" not null
        constraint ck_lib_worker_upper check (wkr_no = upper(wkr_no)),
    wkr_name   text,
    password   text,
    wkr_flag   char(1) collate "C" not null default '1'
        constraint ck_lib_worker_flag check (wkr_flag in ('0', '1')),
    code2      text,
    wkr_email  text,
    wkr_tele   text,
    constraint pk_lib_worker primary key (wkr_no)
);

-- The computers at which a worker may work.
create table user_comp_lst (
    wkr_no     varchar(4) collate "C" not null,
    comp_name  text collate "C" not null,
    constraint pk_user_comp_lst primary key (wkr_no, comp_name),
    constraint fk_user_comp_lst_worker foreign key (wkr_no) references lib_worker (wkr_no) on delete cascade
);

-- The location each computer belongs to; computer names are stored upper case.
create table loca_comp_lst (
    comp_name  text collate "C" not null
        constraint ck_loca_comp_upper check (comp_name = upper(comp_name)),
    location   text collate "C" not null,
    constraint pk_loca_comp_lst primary key (comp_name),
    constraint fk_loca_comp_lst_location foreign key (location) references location_lst (location)
);

-- Module rights: 4005, 4024, 4025 (use of the program), 4026 request desk,
-- 4027 lending, 4028 return, 4029 find desk, 4030 return management,
-- 4031 request management, 4032 found-copy management.
create table user_auth_lst (
    wkr_no     varchar(4) collate "C" not null,
    modu_code  varchar(4) collate "C" not null,
    constraint pk_user_auth_lst primary key (wkr_no, modu_code),
    constraint fk_user_auth_lst_worker foreign key (wkr_no) references lib_worker (wkr_no) on delete cascade
);

-- The locations assigned to a worker.
create table user_location (
    wkr_no    varchar(4) collate "C" not null,
    location  text collate "C" not null,
    constraint pk_user_location primary key (wkr_no, location),
    constraint fk_user_location_worker foreign key (wkr_no) references lib_worker (wkr_no) on delete cascade
);
