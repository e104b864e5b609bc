-- Demo readers in every standing, with cards, losses, history, fines,
-- compensations and the money journal. Dates are relative to the server's date.
--
-- Readers (cert_id, name, type, standing):
--   DZ0001 张三 T1  good standing, valid card 88000001, e-mail, loans in history
--   DZ0002 李四 T2  open fines at A1 (1.00, 2.00, 3.00) and at B1 (2.00); unpaid 8.00;
--                   prepaid balance 20.00; cards 88000002 valid and 88000012 lost
--   DZ0003 王五 T1  prepaid 10.00, open fine 12.00 at A1: too little to pay from the balance
--   DZ0004 赵六 T1  cancelled reader (redr_flag '0'), cancelled card 88000004
--   DZ0005 钱七 T2  lost card 88000005 (loss in force), new valid card 88000015
--   DZ0006 孙八 T3  open fines only at the branch B1 (0.50, 0.75): refused at D1, payable at D2
--   DZ0007 周九 T1  stored unpaid total 5.00 but open fines of 3.00 (the window corrects it)
--   DZ0008 吴十 T2  prepaid 50.00, an hour-based fine 4.50 at A2; one fine settled earlier
--   DZ0009 郑一 T1  suspended card 88000009, no fines
--   DZ0010 冯二 T9  a reader type no longer in use; no card at all
-- Fines at A1 and A2 are settled at desk D1, fines at B1 at desk D2. The copies are those of
-- the desk demo (P5xxxxx); X9000001 is a copy no longer in the catalogue.
-- Bill number 20250101000001 is already in the journal.

with d as (select desk_now()::date as today)
insert into reader (cert_id, redr_type_code, lend_grd, r_dep_id, name, sex, birthday, id_card, education,
                    occupation, duty, position, dept, address, postcode, tele, mobile, volt_flag, debt_flag,
                    redr_reg_day, redr_del_day, redr_flag, email, code01, code02, remark, total_lend_qty,
                    year_lend_qty, deposit, obligate, password)
select v.cert_id, v.type, v.grd, v.dep, v.name, v.sex, v.birthday, v.id_card, v.edu, v.occ, null, null, v.dept,
       v.address, '100871', v.tele, v.mobile, 0, v.debt, to_char(d.today - v.reg_ago, 'YYYY-MM-DD'),
       case when v.flag = '0' then to_char(d.today - 30, 'YYYY-MM-DD') end, v.flag, v.email, v.code01, null,
       null, v.total_qty, v.year_qty, v.deposit, v.obligate, '123456'
  from d, (values
    ('DZ0001', 'T1', '1', 'D01', '张三', 'M', '2003-04-12', '110101200304120011', '本科', '学生', '计算机学院',
     '海淀区学院路1号', '010-62751001', '13800000001', 0.00, 400, '1', 'zhangsan@reader.example', '2023级',
     12, 5, 100.00, 0.00),
    ('DZ0002', 'T2', '2', 'D02', '李四', 'F', '1980-09-01', '110101198009010022', '博士', '教师', '文学院',
     '海淀区学院路2号', '010-62751002', '13800000002', 8.00, 2000, '1', 'lisi@reader.example', null,
     120, 18, 200.00, 20.00),
    ('DZ0003', 'T1', '1', 'D01', '王五', 'M', '2004-01-20', '110101200401200033', '本科', '学生', '计算机学院',
     '海淀区学院路3号', null, '13800000003', 12.00, 300, '1', null, '2022级', 30, 9, 100.00, 10.00),
    ('DZ0004', 'T1', '1', 'D02', '赵六', 'M', '2001-06-30', '110101200106300044', '硕士', '学生', '文学院',
     null, null, null, 0.00, 1500, '0', null, '2019级', 45, 0, 0.00, 0.00),
    ('DZ0005', 'T2', '2', 'D01', '钱七', 'F', '1975-12-08', '110101197512080055', '硕士', '教师', '计算机学院',
     '海淀区学院路5号', '010-62751005', '13800000005', 0.00, 3000, '1', 'qianqi@reader.example', null,
     80, 4, 200.00, 0.00),
    ('DZ0006', 'T3', '1', null, '孙八', 'M', '1990-03-15', '110101199003150066', '大专', '职员', '校外',
     null, null, '13800000006', 1.25, 60, '1', 'sunba@reader.example', null, 3, 3, 50.00, 0.00),
    ('DZ0007', 'T1', '1', 'D02', '周九', 'F', '2004-11-11', '110101200411110077', '本科', '学生', '文学院',
     null, null, '13800000007', 5.00, 200, '1', null, '2023级', 8, 8, 100.00, 0.00),
    ('DZ0008', 'T2', '2', 'D02', '吴十', 'M', '1968-02-29', '110101196802290088', '博士', '教师', '文学院',
     '海淀区学院路8号', '010-62751008', null, 4.50, 5000, '1', 'wushi@reader.example', null, 300, 22,
     200.00, 50.00),
    ('DZ0009', 'T1', '1', 'D01', '郑一', 'F', '2005-07-07', '110101200507070099', '本科', '学生', '计算机学院',
     null, null, null, 0.00, 100, '1', null, '2024级', 2, 2, 100.00, 0.00),
    ('DZ0010', 'T9', '1', null, '冯二', 'M', '1999-09-09', '110101199909090010', '高中', '职员', '校外',
     null, null, null, 0.00, 900, '1', null, null, 0, 0, 0.00, 0.00)
  ) as v(cert_id, type, grd, dep, name, sex, birthday, id_card, edu, occ, dept, address, tele, mobile, debt,
         reg_ago, flag, email, code01, total_qty, year_qty, deposit, obligate);

with d as (select desk_now()::date as today)
insert into reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, charge, resp_wkr)
select v.card, v.cert_id, v.flag, to_char(d.today - v.issued, 'YYYY-MM-DD'), to_char(d.today - v.issued, 'YYYY-MM-DD'),
       to_char(d.today + v.valid_for, 'YYYY-MM-DD'), 10.00, '0001'
  from d, (values
    ('88000001', 'DZ0001', '1', 400, 1000),
    ('88000002', 'DZ0002', '1', 300, 1000),
    ('88000012', 'DZ0002', '2', 2000, 500),
    ('88000003', 'DZ0003', '1', 300, 1000),
    ('88000004', 'DZ0004', '0', 1500, -30),
    ('88000005', 'DZ0005', '2', 3000, 700),
    ('88000015', 'DZ0005', '1', 20, 1400),
    ('88000006', 'DZ0006', '1', 60, 300),
    ('88000007', 'DZ0007', '1', 200, 1000),
    ('88000008', 'DZ0008', '1', 5000, 2000),
    ('88000009', 'DZ0009', '3', 100, 1000)
  ) as v(card, cert_id, flag, issued, valid_for);

with d as (select desk_now()::date as today)
insert into cert_loss (redr_cert_id, lose_date, solv_date, cert_lose_flag, resp_wkr, remark)
select v.card, to_char(d.today - v.lost_ago, 'YYYY-MM-DD'),
       case when v.flag = '1' then null else to_char(d.today - v.lost_ago + 3, 'YYYY-MM-DD') end,
       v.flag, '0001', v.remark
  from d, (values
    ('88000005', 20, '1', '读者电话挂失'),
    ('88000012', 400, '0', '找回后解挂')
  ) as v(card, lost_ago, flag, remark);

-- Overdue fines: open ones for the standings above, settled ones as history.
with d as (select desk_now()::date as today)
insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt, renew_date,
                             renew_times, asback_date, asback_times, real_fine_amt, bill_no, fine_date,
                             debt_deal_flag, resp_wkr, remark, location_f, rule_no_f)
select v.prop_no, v.cert_id,
       to_char(d.today - v.lent_ago, 'YYYY-MM-DD') || ' 10:15:00',
       case when v.unit = 'H' then to_char(d.today - v.due_ago, 'YYYY-MM-DD') || '14:15:00'
            else to_char(d.today - v.due_ago, 'YYYY-MM-DD') || ' 10:15:00' end,
       to_char(d.today - v.ret_ago, 'YYYY-MM-DD') || ' 16:40:00',
       v.unit, v.fine, null, 0, null, 0, v.real, v.bill,
       case when v.flag = '1' then to_char(d.today - v.ret_ago, 'YYYY-MM-DD') || ' 16:45:00' end,
       v.flag, case when v.flag = '1' then '0001' end, v.remark, v.loc, v.rule
  from d, (values
    ('P500001', 'DZ0002', 60, 30, 20, 'D', 1.00, 0.00, null, '0', '超期10天', 'A1', 'R1'),
    ('P500002', 'DZ0002', 70, 40, 20, 'D', 2.00, 0.00, null, '0', '超期20天', 'A1', 'R1'),
    ('P500006', 'DZ0002', 80, 50, 20, 'D', 3.00, 0.00, null, '0', '超期30天', 'A2', 'R1'),
    ('P500004', 'DZ0002', 40, 26, 6, 'D', 2.00, 0.00, null, '0', '超期20天', 'B1', 'R3'),
    ('P500011', 'DZ0003', 150, 120, 5, 'D', 12.00, 0.00, null, '0', '超期115天', 'A1', 'R1'),
    ('P500013', 'DZ0006', 30, 16, 11, 'D', 0.50, 0.00, null, '0', '超期5天', 'B1', 'R3'),
    ('P500014', 'DZ0006', 35, 21, 11, 'D', 0.75, 0.00, null, '0', '超期10天', 'B1', 'R3'),
    ('P500021', 'DZ0007', 50, 20, 5, 'D', 1.50, 0.00, null, '0', '超期15天', 'A1', 'R1'),
    ('X9000001', 'DZ0007', 52, 22, 7, 'D', 1.50, 0.00, null, '0', '超期15天', 'A1', 'R1'),
    ('P500006', 'DZ0008', 3, 3, 2, 'H', 4.50, 0.00, null, '0', '超期9小时', 'A2', 'R2'),
    ('P500032', 'DZ0008', 200, 170, 160, 'D', 1.00, 1.00, '20250101000001', '1', '超期10天', 'A1', 'R1'),
    ('P500041', 'DZ0001', 300, 270, 268, 'D', 0.20, 0.00, '20250101000002', '1', '超期2天', 'A1', 'R1')
  ) as v(prop_no, cert_id, lent_ago, due_ago, ret_ago, unit, fine, real, bill, flag, remark, loc, rule);

with d as (select desk_now()::date as today)
insert into deposit_account_lst (cert_id, rec_type, pay_mode, rec_flag, oper_date, bill_no, resp_wkr, amount)
select v.cert_id, v.rec_type, v.mode, '1', to_char(d.today - v.ago, 'YYYY-MM-DD') || ' 16:45:00', v.bill, '0001', v.amount
  from d, (values
    ('DZ0008', '5', '0', 160, '20250101000001', 1.00),
    ('DZ0001', '6', '0', 268, '20250101000002', 0.20)
  ) as v(cert_id, rec_type, mode, ago, bill, amount);

-- Closed loans, one of them overdue, and one older loan in the archive.
with d as (select desk_now()::date as today)
insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_date, renew_times, asback_date,
                       asback_times, resp_wkr, ret_wkr, marc_rec_no_f, cls_id, attachment, preg_flag, rele_flag,
                       rule_no_f)
select v.cert_id, v.prop_no, to_char(d.today - v.lent_ago, 'YYYY-MM-DD') || ' 09:30:00',
       to_char(d.today - v.ret_ago, 'YYYY-MM-DD') || ' 17:05:00', v.excd, null, v.renews, null, 0, '0001', '0002',
       null, null, null, '0', v.rele, v.rule
  from d, (values
    ('DZ0001', 'P500001', 90, 70, 0, 0, '0', 'R1'),
    ('DZ0001', 'P500002', 60, 20, 10, 1, '0', 'R1'),
    ('DZ0002', 'P500004', 50, 45, 0, 0, '1', 'R3'),
    ('DZ0008', 'P500032', 200, 160, 10, 0, '0', 'R1')
  ) as v(cert_id, prop_no, lent_ago, ret_ago, excd, renews, rele, rule);

with d as (select desk_now()::date as today)
insert into lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times,
                           resp_wkr, ret_wkr, preg_flag, rele_flag, rule_no_f)
select 'DZ0001', 'P500011', to_char(d.today - 800, 'YYYY-MM-DD') || ' 09:00:00',
       to_char(d.today - 780, 'YYYY-MM-DD') || ' 11:00:00', 0, 0, 0, '0001', '0001', '0', '0', 'R1'
  from d;

with d as (select desk_now()::date as today)
insert into lost_recoup_lst (cert_id, prop_no, recoup_date, src_price, tech_fee, serv_fee, real_recoup_amt,
                             recoup_type, recoup_flag, bill_no, resp_wkr, remark)
select v.cert_id, v.prop_no, to_char(d.today - v.ago, 'YYYY-MM-DD') || ' 15:00:00', v.price, 5.00, 2.00, v.real,
       v.type, '1', v.bill, '0001', v.remark
  from d, (values
    ('DZ0002', 'P500051', 100, 35.00, 42.00, '2', '20250101000003', '丢失赔款'),
    ('DZ0005', 'P500061', 200, 28.50, 0.00, '1', null, '以同版书赔偿')
  ) as v(cert_id, prop_no, ago, price, real, type, bill, remark);

insert into tmp_itemlist (itemtype, itemcontent) values
    ('11', '2022级'), ('11', '2023级'), ('11', '2024级'),
    ('15', '计算机学院'), ('15', '文学院'), ('15', '校外');
