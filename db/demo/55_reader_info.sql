-- Demo readers of the reader information window: every page shows something
-- real for 孙页面 (DZ0020, card 88000020). Dates are relative to the server's
-- date d; card 88000020 was issued on d - 100.
--
--   DZ0020 孙页面  cards 88000020 valid, 88000021 lost (loss in force), 88000022 cancelled (loss released)
--                  loans: overdue, due today (date only), due today 18:00 stored without the blank, future;
--                  two copies held for its consignment requests (found, handed over)
--                  history across the year (the range's first day with and without the blank, one day
--                  before it, an overdue return, a loan without return date), archive rows
--                  violations of every state, with, without and with an unknown property number
--                  fines: days (open), hours (settled), without unit (settled)
--                  holds and consignment requests in queues with other readers; arrived holds;
--                  compensations of every type; found consignment copies of every state
--   DZ0021 孙页甲, DZ0022 孙页乙, DZ0023 孙页丙  the others in those queues (name prefix 孙页)
--   DZ0024 O'BRIEN_LEE  a Latin name with a quote and an underscore, card 88_00024
-- Copies P5800xx of the titles Q11/S91 and H319.4/B87 (records 0000000009 and 0000000008).

-- Record 0000000009 is a copy of 0000000006's record under a call number of its own, kept out of the search
-- keys, so the look-up's demo title keeps its copies and queues to itself.
create temporary table demo_marc as select * from marc where marc_rec_no = '0000000006';
update demo_marc set marc_rec_no = '0000000009', m_call_no = 'Q11/S91';
insert into marc select * from demo_marc;
drop table demo_marc;
create temporary table demo_marc_data as select * from marc_data where marc_rec_no = '0000000006';
update demo_marc_data set marc_rec_no = '0000000009',
    marc01 = replace(marc01, chr(30) || '0000000006' || chr(30), chr(30) || '0000000009' || chr(30));
insert into marc_data select * from demo_marc_data;
drop table demo_marc_data;

insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd) values
    ('Q11/S91', '0000000009', '01', '1'),
    ('H319.4/B87', '0000000008', '01', '1');

insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, price, in_date)
select 'P5800' || lpad(n::text, 2, '0'), 'B5800' || lpad(n::text, 2, '0'),
       case when n % 2 = 1 then 'Q11/S91' else 'H319.4/B87' end,
       case when n % 2 = 1 then '0000000009' else '0000000008' end,
       case when n <= 8 then 'A1' else 'B1' end, '41',
       case when n <= 4 then '1' when n = 5 then '2' when n in (7, 8) then '3' else '0' end, '30.00', '2025-10-01'
from generate_series(1, 12) as n;

insert into reader (cert_id, redr_type_code, lend_grd, r_dep_id, name, sex, birthday, id_card, education, occupation,
                    duty, position, dept, address, postcode, tele, mobile, volt_flag, debt_flag, redr_reg_day,
                    redr_flag, email, code01, code02, remark, total_lend_qty, year_lend_qty, deposit, obligate,
                    password)
select v.cert_id, v.type, '1', v.dep, v.name, v.sex, '1999-05-04', v.id_card, '本科', v.occ, '无', '无', v.dept,
       '海淀区学院路20号', '100871', '010-62751020', '13800000020', v.volt, v.debt, to_char(t.d - 400, 'YYYY-MM-DD'),
       '1', null, v.code01, v.code02, null, 40, 6, 100.00, 12.50, v.pwd
from (values
    ('DZ0020', 'T1', 'D01', '孙页面', 'F', '110101199905040020', '学生', '计算机学院', 3, 1.50, '2023级', 'G0020', 'abcd'),
    ('DZ0021', 'T1', 'D02', '孙页甲', 'M', '110101199905040021', '学生', '文学院', 0, 0.00, '2024级', null, null),
    ('DZ0022', 'T2', 'D01', '孙页乙', 'X', '110101199905040022', '教师', '计算机学院', 0, 0.00, null, null, null),
    ('DZ0023', 'T1', 'D02', '孙页丙', null, '110101199905040023', '学生', '文学院', 0, 0.00, '2022级', null, null),
    ('DZ0024', 'T3', null, 'O''BRIEN_LEE', 'M', 'P1234567', '访问学者', '校外', 0, 0.00, null, null, null)
) as v(cert_id, type, dep, name, sex, id_card, occ, dept, volt, debt, code01, code02, pwd),
     (select desk_now()::date as d) t;

insert into reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, charge, resp_wkr)
select c.card, c.cert_id, c.flag, to_char(t.d - c.issued, 'YYYY-MM-DD'), to_char(t.d - c.issued, 'YYYY-MM-DD'),
       to_char(t.d - c.issued + 1000, 'YYYY-MM-DD'), c.charge, '0001'
from (values
    ('88000020', 'DZ0020', '1', 100, 0.00),
    ('88000021', 'DZ0020', '2', 400, 0.50),
    ('88000022', 'DZ0020', '0', 800, 12.00),
    ('88000031', 'DZ0021', '1', 50, 10.00),
    ('88000032', 'DZ0022', '1', 50, 10.00),
    ('88000033', 'DZ0023', '3', 50, 10.00),
    ('88_00024', 'DZ0024', '1', 10, 10.00)
) as c(card, cert_id, flag, issued, charge), (select desk_now()::date as d) t;

insert into cert_loss (redr_cert_id, lose_date, solv_date, cert_lose_flag, resp_wkr, remark)
select l.card, to_char(t.d - l.ago, 'YYYY-MM-DD') || ' 09:10:00', l.solved, l.flag, '0001', l.remark
from (values
    ('88000021', 101, null, '1', '卡丢失'),
    ('88000022', 500, '2020-01-03 10:00:00', '0', '找回')
) as l(card, ago, solved, flag, remark), (select desk_now()::date as d) t;

-- Loans: overdue, due today (date only, and an hour loan due today at 18:00
-- stored without the blank), due later, and the two found consignment copies.
insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_date, renew_times, asback_date, asback_times,
                      rule_no_f, location_f, attachment, resp_wkr)
select 'DZ0020', l.prop_no, to_char(t.d - l.lent_ago, 'YYYY-MM-DD') || ' 10:00:00',
       to_char(t.d + l.due_in, 'YYYY-MM-DD') || l.due_time, l.renew, l.renews, l.asback, l.asbacks, l.rule, 'A1',
       l.attachment, '0001'
from (values
    ('P580001', 40, -10, '', '2026-01-02 08:00:00', 1, '2026-01-03', 1, 'R1', '光盘1张'),
    ('P580002', 1, 0, '18:00:00', null, 0, null, 0, 'R2', null),
    ('P580003', 30, 0, '', null, 0, null, 0, 'R1', null),
    ('P580004', 5, 25, '', null, 0, null, 0, 'R1', null),
    ('P580007', 2, 28, '', null, 0, null, 0, 'R1', null),
    ('P580008', 3, 27, '', null, 0, null, 0, 'R1', null)
) as l(prop_no, lent_ago, due_in, due_time, renew, renews, asback, asbacks, rule, attachment),
     (select desk_now()::date as d) t;

-- History: the default range runs from d - 365 to d.
insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_date, renew_times, asback_date,
                       asback_times, resp_wkr, ret_wkr, marc_rec_no_f, cls_id, attachment, preg_flag, rele_flag,
                       rule_no_f)
select 'DZ0020', h.prop_no, to_char(t.d - h.lent_ago, 'YYYY-MM-DD') || h.lent_sep || '09:00:00',
       case when h.ret_ago is null then null else to_char(t.d - h.ret_ago, 'YYYY-MM-DD') || ' 17:00:00' end,
       h.excd, null, 0, null, 0, '0001', '0002', null, 'Q', null, h.preg, h.rele, 'R1'
from (values
    ('P580009', 365, ' ', 350, 0, '0', '0'),
    ('P580010', 365, '', 340, 0, '1', '0'),
    ('P580011', 366, ' ', 330, 0, '0', '0'),
    ('P580012', 200, ' ', 170, 5, '0', '1'),
    ('P580005', 0, ' ', 0, 0, '0', '0'),
    ('P580006', 20, ' ', null, 0, '0', '0')
) as h(prop_no, lent_ago, lent_sep, ret_ago, excd, preg, rele), (select desk_now()::date as d) t;

insert into lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times,
                           resp_wkr, ret_wkr, preg_flag, rele_flag, rule_no_f)
select 'DZ0020', b.prop_no, to_char(t.d - b.lent_ago, 'YYYY-MM-DD') || ' 09:00:00',
       to_char(t.d - b.ret_ago, 'YYYY-MM-DD') || ' 11:00:00', b.excd, 0, 0, '0001', '0001', '0', '0', 'R1'
from (values ('P580001', 300, 280, 2), ('P580002', 250, 245, 0)) as b(prop_no, lent_ago, ret_ago, excd),
     (select desk_now()::date as d) t;

insert into reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, fine_date, bill_no,
                             froz_end_date, volt_deal_flag, resp_wkr, remark)
select 'DZ0020', to_char(t.d - v.ago, 'YYYY-MM-DD'), v.code, v.prop_no, v.loc, v.amt, v.fine_date, v.bill,
       v.froz, v.flag, '0001', v.remark
from (values
    (10, '01', 'P580001', 'A1', 2.50, '2026-01-05 10:00:00', 'B0001', null, '0', '已交款'),
    (20, '02', null, 'A1', 0.00, null, null, '2026-12-31', '1', '污损'),
    (30, '01', 'X9000001', 'B1', 1.00, null, null, null, '2', '遗失副本'),
    (40, '01', 'P580003', 'ZZ', 3.00, null, null, '2026-12-31', '3', null),
    (50, '03', 'P580005', 'A1', 0.00, null, null, null, '4', '预约未取'),
    (60, '04', '  ', 'A1', 0.00, null, null, null, '5', '委托未取')
) as v(ago, code, prop_no, loc, amt, fine_date, bill, froz, flag, remark), (select desk_now()::date as d) t;

-- Fines: days (open), hours (settled; due stored without the blank), no unit.
insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt, renew_date,
                             renew_times, asback_date, asback_times, real_fine_amt, bill_no, fine_date,
                             debt_deal_flag, resp_wkr, remark, location_f, rule_no_f)
values
    ('P580012', 'DZ0020', '2026-02-01 10:00:00', '2026-03-01', '2026-03-11 16:20:00', 'D', 1.50,
     '2026-02-15 09:00:00', 1, null, 0, 0.00, null, null, '0', null, '超期10天', 'A1', 'R1'),
    ('P580002', 'DZ0020', '2026-03-01 08:30:00', '2026-03-0110:30:00', '2026-03-01 14:10:00', 'H', 2.00, null, 0,
     '2026-03-01 12:00:00', 1, 2.00, 'B0002', '2026-03-01 14:20:00', '1', '0001', '超期4小时', 'A1', 'R2'),
    ('P580006', 'DZ0020', '2025-12-01 10:00:00', '2025-12-31', '2026-01-02 10:00:00', null, 0.00, null, 0, null, 0,
     0.00, null, null, '1', '0001', null, 'A1', 'R1');

-- Holds on Q11/S91 at A1: 孙页甲 first, 孙页乙 served, 孙页丙 expired, 孙页面
-- fourth (second among those still waiting); 孙页面's own expired, arrived
-- and deleted holds.
insert into preg_lst (cert_id, call_no, location, preg_date, preg_end_date, preg_keep_days, preg_notice_no, preg_no,
                      take_location, preg_flag)
select p.cert_id, p.call_no, 'A1', to_char(t.d - p.ago, 'YYYY-MM-DD') || ' 10:00:00',
       to_char(t.d + p.ends_in, 'YYYY-MM-DD'), 7, 'P1', p.no, 'D1', p.flag
from (values
    ('DZ0021', 'Q11/S91', 9, 5, 1, '0'),
    ('DZ0022', 'Q11/S91', 8, 5, 2, '1'),
    ('DZ0023', 'Q11/S91', 7, -1, 3, '0'),
    ('DZ0020', 'Q11/S91', 6, 0, 4, '0'),
    ('DZ0020', 'H319.4/B87', 5, -1, 1, '0'),
    ('DZ0020', 'H319.4/B87', 30, 5, 0, '1'),
    ('DZ0020', 'H319.4/B87', 40, -20, 0, '2')
) as p(cert_id, call_no, ago, ends_in, no, flag), (select desk_now()::date as d) t;

insert into preg_arri_lst (cert_id, prop_no, call_no_f, preg_arri_date, noti_send_date, keep_end_date, preg_keep_days,
                           resp_wkr, take_location, pregarri_deal_flag)
select 'DZ0020', a.prop_no, a.call_no, to_char(t.d - a.ago, 'YYYY-MM-DD'), to_char(t.d - a.ago, 'YYYY-MM-DD'),
       to_char(t.d + a.ends_in, 'YYYY-MM-DD') || ' 18:00:00', 5, '0001', 'D1', a.flag
from (values
    ('P580005', 'Q11/S91', 3, 0, '0'),
    ('P580006', 'H319.4/B87', 10, -1, '1'),
    ('P580010', 'H319.4/B87', 20, -15, '2')
) as a(prop_no, call_no, ago, ends_in, flag), (select desk_now()::date as d) t;

insert into lost_recoup_lst (cert_id, prop_no, recoup_date, src_price, tech_fee, serv_fee, real_recoup_amt,
                             recoup_type, recoup_flag, bill_no, resp_wkr, remark)
select 'DZ0020', r.prop_no, to_char(t.d - r.ago, 'YYYY-MM-DD') || ' 15:00:00', 30.00, 5.00, 2.00, r.real, r.type,
       r.flag, null, '0001', r.remark
from (values
    ('P580009', 10, 0.00, '1', '1', '赔书'),
    ('P580010', 20, 37.50, '2', '1', '赔钱'),
    ('P580011', 30, 0.00, '3', '0', null),
    ('P580012', 40, 0.00, null, '0', null)
) as r(prop_no, ago, real, type, flag, remark), (select desk_now()::date as d) t;

-- Consignment requests for H319.4/B87 at A1: 孙页甲 first, 孙页乙 served,
-- 孙页面 second; 孙页面's cancelled and expired requests for Q11/S91.
insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days,
                          relegate_end_date, relegate_location, wkr_no, relegate_flag)
select r.cert_id, r.call_no, r.loca, r.no, to_char(t.d - r.ago, 'YYYY-MM-DD'), 7,
       to_char(t.d + r.ends_in, 'YYYY-MM-DD'), 'D2', '0001', r.flag
from (values
    ('DZ0021', 'H319.4/B87', 'A1', 1, 9, 5, '0'),
    ('DZ0022', 'H319.4/B87', 'A1', 0, 8, 5, '1'),
    ('DZ0020', 'H319.4/B87', 'A1', 2, 6, 0, '0'),
    ('DZ0020', 'Q11/S91', 'A1', 0, 20, 5, '2'),
    ('DZ0020', 'Q11/S91', 'B1', 1, 10, -1, '0')
) as r(cert_id, call_no, loca, no, ago, ends_in, flag), (select desk_now()::date as d) t;

insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_noti_date, relegate_keep_days,
                               relegate_keep_end_date, relegate_lend_date, relegate_ret_date, relegate_location,
                               relegate_find_location, relegate_ret_location, relegate_end_flag, resp_wkr,
                               relegate_date)
select 'DZ0020', f.prop_no, f.call_no, to_char(t.d - f.ago, 'YYYY-MM-DD'), to_char(t.d - f.ago, 'YYYY-MM-DD'), 7,
       to_char(t.d - f.ago + 7, 'YYYY-MM-DD'),
       case when f.flag >= '3' then to_char(t.d - f.ago + 1, 'YYYY-MM-DD') || ' 10:00:00' end,
       case when f.flag >= '4' then to_char(t.d - f.ago + 5, 'YYYY-MM-DD') || '11:00:00' end,
       'D2', 'A1', case when f.flag >= '4' then f.ret_loca end, f.flag, '0001', to_char(t.d - f.ago - 3, 'YYYY-MM-DD')
from (values
    ('P580007', 'Q11/S91', 2, '1', null),
    ('P580008', 'H319.4/B87', 3, '2', null),
    ('P580004', 'H319.4/B87', 6, '3', null),
    ('P580009', 'Q11/S91', 60, '4', 'D2'),
    ('P580010', 'H319.4/B87', 70, '5', 'D2'),
    ('P580011', 'Q11/S91', 80, '6', 'ZZ')
) as f(prop_no, call_no, ago, flag, ret_loca), (select desk_now()::date as d) t;
