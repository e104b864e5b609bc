-- Demo library for the consignment desk: titles with copies at several
-- locations, loans, violations, waiting requests and an arrived copy, and
-- readers in every standing the desk's reader load tells apart.
--
-- Builds on the locations, rules and reader types of 10_common.sql: holding
-- locations A1 (group 01) and B1 (group 05), desks D1 (01) and D2 (05).
--
--   Titles (call number, record of the MARC demo, circulation type, lending grade)
--     TP311.12/W23   0000000001  01  1   A1 x3, B1 x2 (one on loan), A2 x1 not lendable (42)
--     TP393/S91    0000000004  01  1   A1 x2 (one on loan), B1 x1; second call number TP393/S91A at B1 x1
--     G250/L78      0000000003  02  1   A1 x1 (hour rule)
--     H164/Y92     0000000005  03  1   A1 x2 (no rule applies: never listed)
--     QA76.6/C37     0000000007  01  3   A1 x1 (lending grade 3)
--     K220/C41     0000000002  01  1   A1 x1, status 42 only
--   Copies: property numbers P5xxxxx, bar codes B5xxxxx.
--
--   Readers (cert_id / card), type T1 unless said otherwise
--     DR01 / DC01  good standing, one loan (B1) not yet due
--     DR02 / DC02  good standing, nothing on loan
--     DR03 / DC03  reader cancelled
--     DR04 / DC04  card cancelled
--     DR05 / DC05  card lost (loss in force)
--     DR06 / DC06  card expired yesterday, no loans
--     DR07 / DC07  suspension that ended yesterday (ends at the next load)
--     DR08 / DC08  fine and suspension, suspension ended yesterday: the fine stays open
--     DR09 / DC09  unpaid fines 12.00 (limit 10.00); waiting request no 1 for TP311.12/W23 at A1
--     DR10 / DC10  an overdue loan
--     DR11 / DC11  a loan of a copy whose status is not lendable
--     DR12 / DC12  ten loans (the most a student may have)
--     DR13 / DC13  an arrived consignment copy of TP311.12/W23 waiting at D2 (its request served)
--     DR14 / DC14  teacher (T2), one loan due today
--     DR15 / DC15  unpaid fines 0.50 (below the limit); waiting requests no 2 for TP311.12/W23 and
--                  no 1 (expired) for TP393/S91, both at A1

insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd) values
    ('TP311.12/W23', '0000000001', '01', '1'),
    ('TP393/S91', '0000000004', '01', '1'),
    ('TP393/S91A', '0000000004', '01', '1'),
    ('G250/L78', '0000000003', '02', '1'),
    ('H164/Y92', '0000000005', '03', '1'),
    ('QA76.6/C37', '0000000007', '01', '3'),
    ('K220/C41', '0000000002', '01', '1');

insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag,
                  price, attachment, in_date) values
    ('P500001', 'B500001', 'TP311.12/W23', '0000000001', 'A1', '41', '0', '25.00', null, '2025-09-01'),
    ('P500002', 'B500002', 'TP311.12/W23', '0000000001', 'A1', '41', '0', '25.00', null, '2025-09-01'),
    ('P500003', 'B500003', 'TP311.12/W23', '0000000001', 'A1', '41', '0', '25.00', '光盘1张', '2025-09-01'),
    ('P500004', 'B500004', 'TP311.12/W23', '0000000001', 'B1', '41', '0', '25.00', null, '2025-09-01'),
    ('P500005', 'B500005', 'TP311.12/W23', '0000000001', 'B1', '41', '1', '25.00', null, '2025-09-01'),
    ('P500006', 'B500006', 'TP311.12/W23', '0000000001', 'A2', '42', '0', '25.00', null, '2025-09-01'),
    ('P500011', 'B500011', 'TP393/S91', '0000000004', 'A1', '41', '0', '39.50', null, '2025-10-01'),
    ('P500012', 'B500012', 'TP393/S91', '0000000004', 'A1', '41', '1', '39.50', null, '2025-10-01'),
    ('P500013', 'B500013', 'TP393/S91', '0000000004', 'B1', '41', '0', '39.50', null, '2025-10-01'),
    ('P500014', 'B500014', 'TP393/S91A', '0000000004', 'B1', '41', '0', '39.50', null, '2025-10-01'),
    ('P500021', 'B500021', 'G250/L78', '0000000003', 'A1', '41', '0', '45.00', null, '2025-10-01'),
    ('P500031', 'B500031', 'H164/Y92', '0000000005', 'A1', '41', '0', '300.00', null, '2025-10-01'),
    ('P500032', 'B500032', 'H164/Y92', '0000000005', 'A1', '41', '0', '300.00', null, '2025-10-01'),
    ('P500041', 'B500041', 'QA76.6/C37', '0000000007', 'A1', '41', '0', '150.00', null, '2025-10-01'),
    ('P500051', 'B500051', 'K220/C41', '0000000002', 'A1', '42', '0', '60.00', null, '2025-10-01'),
    ('P500061', 'B500061', 'TP311.12/W23', '0000000001', 'A1', '43', '1', '25.00', null, '2025-09-01');

-- Ten copies of one title at B1 for the reader at the loan limit.
insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd) values ('TP393/S91B', '0000000004', '01', '1');
insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, price, in_date)
select 'P5001' || lpad(n::text, 2, '0'), 'B5001' || lpad(n::text, 2, '0'), 'TP393/S91B', '0000000004', 'B1', '41', '1',
       '20.00', '2025-10-01'
from generate_series(1, 10) as n;

-- Readers of the desk road (the reader demo may hold others).
insert into reader (cert_id, redr_type_code, lend_grd, r_dep_id, name, sex, dept, id_card, volt_flag, debt_flag,
                    redr_reg_day, redr_del_day, redr_flag, total_lend_qty, year_lend_qty)
select r.cert_id, r.type, r.grd, 'D01', r.name, r.sex, '计算机学院', '11010119900101' || right(r.cert_id, 4),
       r.volt, r.debt, '2024-09-01', r.del_day, r.flag, r.total, r.yr
from (values
    ('DR01', 'T1', '1', '王小明', 'M', 0, 0.00, null, '1', 12, 3),
    ('DR02', 'T1', '1', '李小红', 'F', 0, 0.00, null, '1', 5, 1),
    ('DR03', 'T1', '1', '赵注销', 'M', 0, 0.00, '2026-06-30', '0', 40, 0),
    ('DR04', 'T1', '1', '钱废证', 'F', 0, 0.00, null, '1', 2, 0),
    ('DR05', 'T1', '1', '孙挂失', 'M', 0, 0.00, null, '1', 8, 2),
    ('DR06', 'T1', '1', '周过期', 'F', 0, 0.00, null, '1', 30, 0),
    ('DR07', 'T1', '1', '吴停借', 'M', 1, 0.00, null, '1', 21, 4),
    ('DR08', 'T1', '1', '郑罚停', 'F', 1, 0.00, null, '1', 17, 4),
    ('DR09', 'T1', '1', '冯欠款', 'M', 0, 12.00, null, '1', 33, 5),
    ('DR10', 'T1', '1', '陈超期', 'F', 0, 0.00, null, '1', 9, 2),
    ('DR11', 'T1', '1', '褚异常', 'M', 0, 0.00, null, '1', 6, 1),
    ('DR12', 'T1', '1', '卫满额', 'F', 0, 0.00, null, '1', 50, 10),
    ('DR13', 'T1', '1', '蒋到书', 'M', 0, 0.00, null, '1', 14, 3),
    ('DR14', 'T2', '3', '沈教师', 'F', 0, 0.00, null, '1', 80, 12),
    ('DR15', 'T1', '1', '韩小欠', 'M', 0, 0.50, null, '1', 4, 1)
) as r(cert_id, type, grd, name, sex, volt, debt, del_day, flag, total, yr)
on conflict do nothing;

insert into reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, resp_wkr)
select c.card, c.cert_id, c.flag, '2024-09-01', to_char(t.d - 400, 'YYYY-MM-DD'),
       to_char(t.d + c.days_left, 'YYYY-MM-DD'), '0001'
from (values
    ('DC01', 'DR01', '1', 700), ('DC02', 'DR02', '1', 700), ('DC03', 'DR03', '1', 700),
    ('DC04', 'DR04', '0', 700), ('DC05', 'DR05', '2', 700), ('DC06', 'DR06', '1', -1),
    ('DC07', 'DR07', '1', 700), ('DC08', 'DR08', '1', 700), ('DC09', 'DR09', '1', 700),
    ('DC10', 'DR10', '1', 700), ('DC11', 'DR11', '1', 700), ('DC12', 'DR12', '1', 700),
    ('DC13', 'DR13', '1', 700), ('DC14', 'DR14', '1', 700), ('DC15', 'DR15', '1', 700)
) as c(card, cert_id, flag, days_left), (select desk_now()::date as d) t
on conflict do nothing;

insert into cert_loss (redr_cert_id, lose_date, cert_lose_flag, resp_wkr, remark)
select 'DC05', to_char(desk_now()::date - 3, 'YYYY-MM-DD'), '1', '0001', '读者电话挂失';

-- Open violations: suspensions that ended yesterday.
insert into reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, froz_end_date,
                             volt_deal_flag, resp_wkr, remark)
select v.cert_id, to_char(t.d - 30, 'YYYY-MM-DD'), v.code, v.prop_no, 'A1', v.amt, to_char(t.d - 1, 'YYYY-MM-DD'),
       v.flag, '0001', v.remark
from (values
    ('DR07', '02', 'P500001', 0.00, '1', '污损停借30天'),
    ('DR08', '01', 'P500002', 3.00, '3', '超期罚款并停借')
) as v(cert_id, code, prop_no, amt, flag, remark), (select desk_now()::date as d) t;
insert into reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, volt_deal_flag,
                             resp_wkr, remark)
select 'DR07', to_char(desk_now()::date - 200, 'YYYY-MM-DD'), '01', 'P500011', 'A1', 1.00, '0', '0001', '已处理';

-- Loans. Due dates relative to today.
insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f, location_f,
                      resp_wkr)
select l.cert_id, l.prop_no, to_char(t.d - l.lent_ago, 'YYYY-MM-DD') || ' 10:00:00',
       to_char(t.d - l.lent_ago + l.term, 'YYYY-MM-DD'), 0, 0, l.rule_no, l.loca, '0001'
from (values
    ('DR01', 'P500005', 10, 14, 'R3', 'B1'),
    ('DR10', 'P500012', 40, 30, 'R1', 'A1'),
    ('DR11', 'P500061', 5, 30, 'R1', 'A1'),
    ('DR14', 'P500013', 60, 60, 'R4', 'B1')
) as l(cert_id, prop_no, lent_ago, term, rule_no, loca), (select desk_now()::date as d) t;
update item set book_lend_flag = '1' where prop_no = 'P500013';
insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f, location_f,
                      resp_wkr)
select 'DR12', prop_no, to_char(desk_now()::date - 3, 'YYYY-MM-DD') || ' 09:00:00',
       to_char(desk_now()::date + 11, 'YYYY-MM-DD'), 0, 0, 'R3', 'B1', '0001'
from item where call_no = 'TP393/S91B';

-- Waiting requests for TP311.12/W23 at A1: DR09 first (a requester the find desk
-- passes over: fines), DR15 second; DR13's served request; an expired waiting
-- and a cancelled one for TP393/S91 at A1.
insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days,
                          relegate_end_date, relegate_location, wkr_no, relegate_flag)
select r.cert_id, r.call_no, 'A1', r.no, to_char(t.d - r.ago, 'YYYY-MM-DD'), r.days,
       to_char(t.d - r.ago + r.days, 'YYYY-MM-DD'), 'D2', '0001', r.flag
from (values
    ('DR09', 'TP311.12/W23', 1, 3, 7, '0'),
    ('DR15', 'TP311.12/W23', 2, 2, 7, '0'),
    ('DR13', 'TP311.12/W23', 0, 9, 7, '1'),
    ('DR15', 'TP393/S91', 1, 20, 7, '0'),
    ('DR02', 'TP393/S91', 0, 30, 7, '2')
) as r(cert_id, call_no, no, ago, days, flag), (select desk_now()::date as d) t;

-- An arrived consignment copy for DR13 (found at A1, handed over, waiting at D2),
-- on loan to the consignment.
update item set book_lend_flag = '3' where prop_no = 'P500003';
insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f, location_f,
                      attachment, resp_wkr)
select 'DR13', 'P500003', to_char(desk_now()::date - 2, 'YYYY-MM-DD') || ' 11:00:00',
       to_char(desk_now()::date + 28, 'YYYY-MM-DD'), 0, 0, 'R1', 'A1', '光盘1张', '0001';
insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_noti_date, relegate_keep_days,
                               relegate_keep_end_date, relegate_location, relegate_find_location, relegate_end_flag,
                               resp_wkr, relegate_date)
select 'DR13', 'P500003', 'TP311.12/W23', to_char(t.d - 2, 'YYYY-MM-DD'), to_char(t.d - 2, 'YYYY-MM-DD'), 7,
       to_char(t.d + 5, 'YYYY-MM-DD'), 'D2', 'D1', '2', '0001', to_char(t.d - 9, 'YYYY-MM-DD')
from (select desk_now()::date as d) t;

-- A fine row behind DR09's and DR15's unpaid totals.
insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt,
                             debt_deal_flag, remark, location_f, rule_no_f)
values
    ('P500011', 'DR09', '2026-01-05 10:00:00', '2026-02-04', '2026-04-05 15:00:00', 'D', 12.00, '0', '超期60天', 'A1', 'R1'),
    ('P500021', 'DR15', '2026-03-01 10:00:00', '2026-03-31', '2026-04-05 15:00:00', 'D', 0.50, '0', '超期5天', 'A1', 'R1');

-- A waiting hold of DR14 on G250/L78 at A1: a copy of it returned at A1 becomes
-- the reserved copy.
insert into preg_lst (cert_id, call_no, location, preg_date, preg_end_date, preg_keep_days, preg_no, take_location,
                      preg_flag)
select 'DR14', 'G250/L78', 'A1', to_char(d - 2, 'YYYY-MM-DD'), to_char(d + 12, 'YYYY-MM-DD'), 5, 1, 'D1', '0'
from (select desk_now()::date as d) t;
