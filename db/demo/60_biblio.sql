-- Demo rows of the bibliographic look-up: record 0000000006 (植物学基础) with two
-- call numbers and copies at two locations and one location the code table does
-- not know (C9), and every kind of row its information tabs show. Readers BZ01 and
-- BZ02 are its borrowers; BZ99 is a borrower no longer in the reader table.
-- Dates of holds and consignments are relative to the server's date; loan history
-- and fines sit at fixed dates in 2024.
--
--   Q94/Z53   A1: P6001 (41, on the shelf), P60010 (41, found for BZ01: on loan to a consignment),
--                 P6003 (34), P6009 (41, register only: no circulating copy)
--             B1: P6001B (41, collected by BZ01: on loan), P6002 (42)
--             C9: P6004 (41, found for BZ02 and handed over: on loan to a consignment)
-- A found copy not yet collected is lent to its requester (flag 3), a collected one
-- is an ordinary loan (flag 1); BZ01 owes the one open fine of 1.50.
--   Q94/Z53A  A1: P6011 .. P6017, statuses 11 to 17 (being received)
--   Q94/Z53B  no copies

insert into reader (cert_id, redr_type_code, lend_grd, r_dep_id, name, sex, dept, occupation, redr_reg_day,
                    debt_flag)
values ('BZ01', 'T1', '1', 'D01', '林书', 'F', '生命科学学院', '学生', '2023-09-01', 1.50),
       ('BZ02', 'T2', '2', 'D02', '高阅', 'M', '文学院', '教师', '2020-09-01', 0);

insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd, cls_id, year_circ_times, total_circ_times,
                         year_read_times, total_read_times, year_preg_times, total_preg_times) values
    ('Q94/Z53', '0000000006', '01', '1', 'Q94', 3, 25, 1, 4, 2, 5),
    ('Q94/Z53A', '0000000006', '02', '1', 'Q94', 0, 0, 0, 0, 0, 0),
    ('Q94/Z53B', '0000000006', '01', '1', 'Q94', 0, 0, 0, 0, 0, 0);

insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, year_circ_times,
                  total_circ_times, fst_use_date, last_use_date, year, vol_peri, price, carrier_code, attachment,
                  in_date, rec_flag_upt_date, resp_wkr) values
    ('P6001', 'B6001', 'Q94/Z53', '0000000006', 'A1', '41', '0', 4, 10, '2019-03-01', '2024-02-20', '2008', '12',
     '32.00', '01', null, '2018-10-01', '2018-10-02', '0001'),
    ('P60010', 'B60010', 'Q94/Z53', '0000000006', 'A1', '41', '3', 3, 8, '2019-04-01', '2024-03-01', '2008', null,
     '32.00', '01', null, '2018-10-01', '2018-10-02', '0001'),
    ('P6003', 'B6003', 'Q94/Z53', '0000000006', 'A1', '34', '0', 0, 2, '2019-05-01', '2020-01-01', null, null,
     '32.00', '01', null, '2018-10-01', '2023-06-01', '0002'),
    ('P6001B', 'B6001B', 'Q94/Z53', '0000000006', 'B1', '41', '1', 0, 3, '2020-01-01', '2024-02-20', null, '12',
     '32.00', '01', null, '2018-10-01', '2018-10-02', '0001'),
    ('P6002', 'B6002', 'Q94/Z53', '0000000006', 'B1', '42', '0', 0, 0, null, null, null, null,
     '32.00', '02', '光盘1张', '2018-10-01', '2018-10-02', '0001'),
    ('P6004', 'B6004', 'Q94/Z53', '0000000006', 'C9', '41', '3', 1, 1, '2024-01-01', '2024-01-01', null, null,
     '32.00', '01', null, '2018-10-01', '2018-10-02', '0001');
insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, year, vol_peri,
                  price, carrier_code, attachment, in_date, rec_flag_upt_date, resp_wkr)
select 'P601' || n, 'B601' || n, 'Q94/Z53A', '0000000006', 'A1', (10 + n)::text, '0', '2024', n::text, '45.00', '01',
       case when n = 1 then '附图' end, '2024-05-0' || n, '2024-05-1' || n, '0002'
from generate_series(1, 7) as n;

-- The copy register: every circulating copy of the demo library, and one copy of
-- record 0000000006 that has no circulating row.
insert into indi_acct (prop_no, call_no, bar_code, dis_location, year, vol_peri, book_stat_code, price, carrier_code,
                       attachment, in_date, rec_flag_upt_date, resp_wkr, remark, marc_rec_no)
select prop_no, call_no, bar_code, location, year, vol_peri, book_stat_code, price, carrier_code, attachment, in_date,
       rec_flag_upt_date, resp_wkr, null, marc_rec_no
from item;
insert into indi_acct (prop_no, call_no, bar_code, dis_location, year, vol_peri, book_stat_code, price, carrier_code,
                       in_date, rec_flag_upt_date, resp_wkr, remark, marc_rec_no)
values ('P6009', 'Q94/Z53', 'B6009', 'A1', '2008', null, '41', '32.00', '01', '2018-10-01', '2018-10-02', '0001',
        '待补流通记录', '0000000006');

-- Open loans.
insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_date, renew_times, asback_times, rule_no_f,
                      location_f, attachment, resp_wkr)
select 'BZ01', 'P60010', to_char(d - 5, 'YYYY-MM-DD') || ' 10:00:00', to_char(d + 25, 'YYYY-MM-DD'), null, 0, 0, 'R1',
       'A1', null, '0001'
from (select desk_now()::date as d) t
union all
select 'BZ02', 'P6004', to_char(d - 3, 'YYYY-MM-DD') || ' 15:00:00', to_char(d + 27, 'YYYY-MM-DD'),
       to_char(d - 1, 'YYYY-MM-DD') || ' 09:00:00', 1, 0, 'R1', 'C9', null, '0002'
from (select desk_now()::date as d) t
union all
select 'BZ01', 'P6001B', to_char(d - 29, 'YYYY-MM-DD') || ' 11:00:00', to_char(d + 1, 'YYYY-MM-DD'), null, 0, 0,
       'R3', 'B1', null, '0002'
from (select desk_now()::date as d) t;

-- Closed loans at the edges of January 2024, one without a return date and one
-- whose reader is gone; three archived loans.
insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times, resp_wkr,
                       ret_wkr, marc_rec_no_f, cls_id, preg_flag, rele_flag, rule_no_f) values
    ('BZ01', 'P6001', '2024-01-01 08:00:00', '2024-01-31 23:59:59', 1, 0, 0, '0001', '0002', '0000000006', 'Q94',
     '0', '0', 'R1'),
    ('BZ02', 'P60010', '2024-01-31 23:59:59', '2024-02-01 00:00:00', 0, 1, 0, '0001', '0001', '0000000006', 'Q94',
     '0', '1', 'R1'),
    ('BZ01', 'P6001B', '2024-02-01 00:00:00', '2024-02-20 10:00:00', 0, 0, 0, '0002', '0002', '0000000006', 'Q94',
     '1', '0', 'R3'),
    ('BZ02', 'P6001', '2024-01-15 09:00:00', null, 0, 0, 0, '0001', null, '0000000006', 'Q94', '0', '0', 'R1'),
    ('BZ99', 'P6002', '2024-01-10 09:00:00', '2024-01-12 09:00:00', 0, 0, 0, '0001', '0001', '0000000006', 'Q94',
     '0', '0', 'R1');
insert into lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times, resp_wkr,
                           ret_wkr, marc_rec_no_f, cls_id, preg_flag, rele_flag, rule_no_f) values
    ('BZ01', 'P6001', '2023-05-01 09:00:00', '2023-05-20 10:00:00', 0, 0, 0, '0001', '0001', '0000000006', 'Q94',
     '0', '0', 'R1'),
    ('BZ02', 'P6002', '2023-06-01 09:00:00', '2023-06-15 16:00:00', 2, 0, 1, '0001', '0002', '0000000006', 'Q94',
     '0', '0', 'R1'),
    ('BZ01', 'P6001B', '2023-07-01 09:00:00', null, 0, 0, 0, '0002', null, '0000000006', 'Q94', '0', '0', 'R1');

-- Holds: ended yesterday, today, tomorrow and never, in every state.
insert into preg_lst (cert_id, call_no, location, preg_date, preg_end_date, preg_keep_days, preg_no, take_location,
                      preg_flag)
select v.cert_id, v.call_no, v.loca, to_char(d - v.ago, 'YYYY-MM-DD'),
       case when v.ends is not null then to_char(d + v.ends, 'YYYY-MM-DD') end, 5, v.no, v.take, v.flag
from (select desk_now()::date as d) t, (values
    ('BZ01', 'Q94/Z53', 'A1', 10, -1, 1, 'D1', '0'),
    ('BZ02', 'Q94/Z53', 'A1', 8, 0, 2, 'D1', '0'),
    ('BZ01', 'Q94/Z53A', 'A1', 9, -1, 1, 'D2', '1'),
    ('BZ02', 'Q94/Z53A', 'B1', 7, null, 1, 'D2', '2'),
    ('BZ01', 'Q94/Z53', 'B1', 6, 1, 1, 'D1', '9')
) as v(cert_id, call_no, loca, ago, ends, no, take, flag);
insert into preg_arri_lst (cert_id, prop_no, call_no_f, preg_arri_date, noti_send_date, keep_end_date, preg_keep_days,
                           resp_wkr, take_location, pregarri_deal_flag)
select v.cert_id, v.prop_no, 'Q94/Z53', to_char(d - 6, 'YYYY-MM-DD') || ' 10:00:00',
       to_char(d - 6, 'YYYY-MM-DD') || ' 11:00:00', to_char(d + v.ends, 'YYYY-MM-DD'), 5, '0001', 'D1', v.flag
from (select desk_now()::date as d) t, (values
    ('BZ01', 'P6001', -1, '0'),
    ('BZ02', 'P6001B', 0, '1'),
    ('BZ01', 'P60010', 1, '2')
) as v(cert_id, prop_no, ends, flag);

-- Consignment requests of Q94/Z53 and its found copies in every state.
insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days,
                          relegate_end_date, relegate_location, wkr_no, relegate_flag)
select v.cert_id, 'Q94/Z53', v.loca, v.no, to_char(d - v.ago, 'YYYY-MM-DD'), 7, to_char(d + v.ends, 'YYYY-MM-DD'),
       v.pick, '0001', v.flag
from (select desk_now()::date as d) t, (values
    ('BZ01', 'A1', 1, 8, -1, 'D2', '0'),
    ('BZ02', 'A1', 2, 7, 0, 'D1', '0'),
    ('BZ01', 'B1', 0, 6, 1, 'D2', '1'),
    ('BZ02', 'B1', 0, 10, -3, 'D1', '2')
) as v(cert_id, loca, no, ago, ends, pick, flag);
insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_noti_date, relegate_keep_days,
                               relegate_keep_end_date, relegate_lend_date, relegate_ret_date, relegate_location,
                               relegate_find_location, relegate_ret_location, relegate_end_flag, resp_wkr,
                               relegate_date)
select v.cert_id, v.prop_no, 'Q94/Z53', to_char(d - v.ago, 'YYYY-MM-DD'), to_char(d - v.ago, 'YYYY-MM-DD'), 7,
       to_char(d - v.ago + 7, 'YYYY-MM-DD'), case when v.flag >= '3' then to_char(d - v.ago + 1, 'YYYY-MM-DD') end,
       case when v.flag in ('4', '5') then to_char(d - v.ago + 5, 'YYYY-MM-DD') end, 'D2', 'D1',
       case when v.flag in ('4', '5') then 'D1' end, v.flag, '0001', to_char(d - v.ago - 2, 'YYYY-MM-DD')
from (select desk_now()::date as d) t, (values
    ('BZ01', 'P60010', 8, '1'),
    ('BZ02', 'P6004', 7, '2'),
    ('BZ01', 'P6001B', 30, '3'),
    ('BZ02', 'P6002', 40, '4'),
    ('BZ01', 'P6003', 50, '5'),
    ('BZ02', 'P6001', 3, '6')
) as v(cert_id, prop_no, ago, flag);

-- Compensations, violations, processing, transfers and fines of the copies.
insert into lost_recoup_lst (cert_id, prop_no, recoup_date, src_price, tech_fee, serv_fee, real_recoup_amt,
                             recoup_type, recoup_flag, bill_no, resp_wkr, remark) values
    ('BZ01', 'P6002', '2024-04-01 10:00:00', 32.00, 5.00, 2.50, 39.50, '1', '1', null, '0001', '以同版书赔偿'),
    ('BZ02', 'P6002', '2024-04-02 10:00:00', 32.00, 5.00, 2.00, 39.00, '2', '1', '20240402000001', '0001', '赔款'),
    ('BZ01', 'P6001B', '2024-04-03 10:00:00', 32.00, 0, 0, 10.00, '3', '0', null, '0002', '找回退款'),
    ('BZ02', 'P6001', '2024-04-04 10:00:00', 32.00, 0, 0, 0, '9', '0', null, '0002', null);
insert into reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, fine_date,
                             bill_no, froz_end_date, volt_deal_flag, resp_wkr, remark) values
    ('BZ01', '2024-03-01', '01', 'P6001', 'A1', 1.50, '2024-03-02', '20240302000001', null, '0', '0001', '已处理'),
    ('BZ01', '2024-03-05', '02', 'P6001', 'A1', 0, null, null, '2024-04-05', '1', '0001', '污损停借'),
    ('BZ02', '2024-03-06', '01', 'P6001B', 'B1', 2.00, null, null, null, '2', '0001', null),
    ('BZ02', '2024-03-07', '01', 'P6001B', 'B1', 3.00, null, null, '2024-04-07', '3', '0001', null),
    ('BZ01', '2024-03-08', '04', 'P60010', 'A1', 0, null, null, null, '4', '0001', null),
    ('BZ02', '2024-03-09', '07', 'P6002', 'B1', 0, null, null, null, '5', '0001', '代码表中没有的违章');
insert into deal_batch_lst (deal_batch_no, deal_stat_flag) values ('DB2024001', '1'), ('DB2024002', '0');
insert into deal_log (prop_no, deal_batch_no, deal_type_code, log_date, source_state, fee, book_target, resp_wkr,
                      remark) values
    ('P6003', 'DB2024001', '03', '2023-06-01', '41', 0, '剔旧库', '0002', '破损'),
    ('P6002', 'DB2024001', '01', '2023-07-01', '42', 12.50, '装订室', '0002', null),
    ('P6001', 'DB2024002', '06', '2023-08-01', '41', 0, null, '0001', '未知处理类型');
insert into alloc_record (prop_no, alloc_date, alloc_no, alloc_src, alloc_target, alloc_wkr, remark) values
    ('P6001B', '2023-03-01', 'AL2023001', 'A1', 'B1', '0001', '分馆补充'),
    ('P6002', '2023-03-01', 'AL2023001', 'A1', 'B1', '0001', null),
    ('P6004', '2023-09-01', 'AL2023002', 'B1', 'C9', '0002', '调往新馆');
insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt,
                             real_fine_amt, bill_no, fine_date, debt_deal_flag, resp_wkr, remark, location_f,
                             rule_no_f) values
    ('P6001', 'BZ01', '2024-02-01 00:00:00', '2024-03-01 18:00:00', '2024-03-04 09:00:00', 'D', 1.50, 1.00, null,
     null, '0', '0001', '超期3天', 'A1', 'R1'),
    ('P6001', 'BZ02', '2024-02-20 09:00:00', '2024-03-01 18:00:00', '2024-03-01 21:30:00', 'H', 3.00, 3.00,
     '20240302000002', '2024-03-02', '1', '0001', null, 'A1', 'R4'),
    ('P6001B', 'BZ01', '2024-02-25 09:00:00', '2024-03-01 18:00:00', '2024-03-02 18:00:00', 'H', 2.40, 0, null,
     '2024-03-03', '1', '0002', '免罚', 'B1', 'R4'),
    ('P60010', 'BZ02', '2024-01-01 09:00:00', '三月一日', '2024-03-02 10:00:00', 'D', 0, 0, null, null, '1', '0001',
     '应还日期无法识别', 'A1', 'R1');
