-- Demo library: locations, desks, calendars, rules, reader and circulation
-- types, workers with their workstations and rights.
--
-- Codes used here (later demo files build on them):
--
--   Location groups   01 总馆 (main library)          05 分馆 (branch)
--   Locations         A1 总馆书库   stacks, group 01: lent and returned at D1 only
--                     A2 总馆期刊库 periodicals, group 01: lent only at RR, returned at D1 or RR
--                     D1 总馆借还台 circulation desk, group 01; settles fines of D1, A1, A2, RR
--                     D2 分馆借还台 circulation desk, group 05 (pick-up desk of the other group);
--                                   settles fines of D2, B1
--                     B1 分馆书库   stacks, group 05: lent and returned at D2
--                     RR 总馆阅览室 reading room, group 01, not a circulation location
--   Circulation locations (location_sort oper_type '3'): D1, D2, A1, A2, B1
--   Workstations      DESK01 -> D1, DESK02 -> D2, DESK03 -> RR (not a circulation desk)
--                     Run the program with the workstation name set to DESK01 (or DESK02):
--                     CONSIGN_COMPUTER=DESK01.
--   Circulation types 01 普通图书, 02 短期借阅, 03 参考书 (no rule: "no rule applies"), 09 not in use
--   Reader types      T1 学生, T2 教师, T3 临时读者 (only branch rules), T9 not in use
--   Departments       D01 计算机学院, D02 文学院, D09 not in use
--   Rules             R1  day rule: 30 days, limit 5, at most 10 on loan, keep 7 days
--                     R2  hour rule: 4 hours, limit 2, at most 10 on loan
--                     R3  day rule: 14 days (branch stacks)
--                     R4  day rule: 60 days (teachers)
--   Rule assignments  (no, location, circulation type, reader type -> rule), first match in descending no:
--                     50  A*      02     *      -> R2
--                     40  A1,A2   01     T2     -> R4
--                     30  B1      01*    *      -> R3
--                     20  *       01     T1,T2  -> R1
--                     10  D*      01,02  T1     -> R1
--   Calendars         A1: closed from today+28 to today+32 (2 extra days); Sundays closed
--                     B1: closed from today+10 to today+11; Saturdays and Sundays closed
--                     A2: open every day
--   Workers           SUPR 超级用户 password SUPR (every right, no workstation needed)
--                     0001 张明  password ABC   rights 4005, 4024-4032, workstations DESK01 DESK02 DESK03
--                     0002 李芳  password 1234  rights 4025-4028, workstations DESK01 DESK02
--                     0003 王强  password 0003  cancelled (wkr_flag '0'), workstation DESK01
--                     0004 赵丽  password 0004  rights 4026-4032 but not 4025, workstation DESK01

insert into loca_group (group_id, group_name, use_flag) values
    ('01', '总馆', '1'),
    ('05', '分馆', '1'),
    ('09', '已撤销分馆', '0');

insert into location_lst (location, location_name, location_property, short_loca_name,
                          lend_location, ret_location, fine_location, group_id, location_dept) values
    ('A1', '总馆书库', '01', '书库', 'D1', 'D1', 'D1', '01', '总馆'),
    ('A2', '总馆期刊库', '01', '期刊', 'RR', 'D1,RR', null, '01', '总馆'),
    ('D1', '总馆借还台', '01', '总台', null, null, 'D1,A1,A2,RR', '01', '总馆'),
    ('D2', '分馆借还台', '05', '分台', null, null, 'D2,B1', '05', '分馆'),
    ('B1', '分馆书库', '05', '分库', 'D2', 'D2', 'D2', '05', '分馆'),
    ('RR', '总馆阅览室', '01', '阅览', null, null, null, '01', '总馆');

insert into location_sort (location, oper_type, sequence) values
    ('D1', '3', 1),
    ('D2', '3', 2),
    ('A1', '3', 3),
    ('A2', '3', 4),
    ('B1', '3', 5),
    ('RR', '1', 6);

-- Closing periods, relative to the server's date so the demo never ages.
insert into close_day (close_bgn_day, close_end_day, ext_days, location)
select to_char(d + 28, 'YYYY-MM-DD'), to_char(d + 32, 'YYYY-MM-DD'), 2, 'A1' from (select desk_now()::date as d) t
union all
select to_char(d + 10, 'YYYY-MM-DD'), to_char(d + 11, 'YYYY-MM-DD'), 0, 'B1' from (select desk_now()::date as d) t
union all
select to_char(d - 60, 'YYYY-MM-DD'), to_char(d - 50, 'YYYY-MM-DD'), 1, 'B1' from (select desk_now()::date as d) t;

insert into open_time (morn_open_time, aftn_open_time, even_open_time, week, location) values
    ('08:00', '14:00', '19:00', 'MON', 'A1'),
    ('08:00', '14:00', '19:00', 'TUE', 'A1'),
    ('08:00', '14:00', '19:00', 'WED', 'A1'),
    ('08:00', '14:00', '19:00', 'THU', 'A1'),
    ('08:00', '14:00', '00:00', 'FRI', 'A1'),
    ('09:00', '14:00', '00:00', 'SAT', 'A1'),
    ('00:00', '00:00', '00:00', 'SUN', 'A1'),
    ('08:00', '14:00', '00:00', 'MON', 'B1'),
    ('08:00', '14:00', '00:00', 'TUE', 'B1'),
    ('08:00', '14:00', '00:00', 'WED', 'B1'),
    ('08:00', '14:00', '00:00', 'THU', 'B1'),
    ('08:00', '14:00', '00:00', 'FRI', 'B1'),
    ('00:00', '00:00', '00:00', 'SAT', 'B1'),
    ('00:00', '00:00', '00:00', 'SUN', 'B1'),
    ('08:00', '14:00', '19:00', 'MON', 'A2'),
    ('08:00', '14:00', '19:00', 'TUE', 'A2'),
    ('08:00', '14:00', '19:00', 'WED', 'A2'),
    ('08:00', '14:00', '19:00', 'THU', 'A2'),
    ('08:00', '14:00', '19:00', 'FRI', 'A2'),
    ('08:00', '14:00', '19:00', 'SAT', 'A2'),
    ('08:00', '14:00', '19:00', 'SUN', 'A2');

insert into circ_type_code (circ_type_code, circ_type_name, remark, code_use_flag) values
    ('01', '普通图书', '可外借', '1'),
    ('02', '短期借阅', '按小时借阅', '1'),
    ('03', '参考书', '仅供阅览', '1'),
    ('09', '停用类型', null, '0');

insert into circ_type_sort (cls_id, circ_type_code, class) values
    ('I', '01', '文学'),
    ('T', '01', '工业技术'),
    ('Z', '03', '综合性图书');

insert into reader_type (redr_type_code, redr_type_name, chk_validity_period, max_lend_qty, max_debt_amt,
                         max_preg_qty, max_preg_days, remark, code_use_flag) values
    ('T1', '学生', '1', 10, 10.00, 5, 7, '本科生与研究生', '1'),
    ('T2', '教师', '1', 20, 50.00, 10, 14, '在职教师', '1'),
    ('T3', '临时读者', '1', 2, 0.00, 1, 3, '只适用分馆规则', '1'),
    ('T9', '停用类型', '0', 0, 0.00, 0, 0, null, '0');

insert into department (dep_id, dep_name, use_flag) values
    ('D01', '计算机学院', '1'),
    ('D02', '文学院', '1'),
    ('D09', '已撤销学院', '0');

insert into group_rule_comp (r_group_id, redr_type_code_r, max_lend_qty, circ_type_code_r) values
    ('01', 'T1', 10, '01'),
    ('01', 'T2', 20, '01'),
    ('05', 'T1', 5, '01');

insert into stat_template (template_no, template_name, cls_id) values
    ('1', '分类统计表', 'A'),
    ('1', '分类统计表', 'A'),
    ('2', '文学类统计表', 'I');

insert into circ_rule (rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty, perg_ysno, renew_ysno,
                       max_renew_times, renew_bef_exp_days, fst_renew_days, add_renew_days, preg_keep_days,
                       min_use_days, use_bef_exp_days, use_aft_asback_days, max_excd_times, fst_notice, snd_notice,
                       thd_notice, unfine_ext_days, fst_fine_days, fst_fine_price, other_fine_price, tech_fee,
                       serv_fee, fst_notice_no, snd_notice_no, thd_notice_no, preg_notice_no, keep_book_qty,
                       renew_calc_flag, rule_flag, reg_day, upt_day, resp_wkr) values
    ('R1', '普通图书借阅规则', 'D', 30, 5, 10, '1', '1', 1, 7, 30, 15, 7, 0, 3, 7, 3, 3, 10, 20, 3, 20, 0.10,
     0.20, 5.00, 2.00, 'N1', 'N2', 'N3', 'P1', 0, '1', '1', '2026-01-05', '2026-03-01', '0001'),
    ('R2', '短期借阅规则', 'H', 4, 2, 10, '0', '0', 0, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 24, 0.50, 1.00, 5.00,
     2.00, null, null, null, null, 0, '0', '1', '2026-01-05', null, '0001'),
    ('R3', '分馆借阅规则', 'D', 14, 3, 5, '1', '1', 1, 3, 14, 7, 5, 0, 2, 5, 2, 3, 7, 14, 2, 15, 0.10, 0.20,
     5.00, 2.00, 'N1', 'N2', 'N3', 'P1', 0, '0', '1', '2026-01-05', null, '0001'),
    ('R4', '教师借阅规则', 'D', 60, 10, 20, '1', '1', 2, 7, 60, 30, 14, 0, 7, 14, 5, 7, 14, 28, 7, 30, 0.05,
     0.10, 5.00, 2.00, 'N1', 'N2', 'N3', 'P1', 1, '1', '1', '2026-01-05', null, 'SUPR');

insert into rule_comp (no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c, r_dep_id) values
    (50, 'R2', 'A*', '02', '*', null),
    (40, 'R4', 'A1,A2', '01', 'T2', null),
    (30, 'R3', 'B1', '01*', '*', null),
    (20, 'R1', '*', '01', 'T1,T2', null),
    (10, 'R1', 'D*', '01,02', 'T1', null);

-- Workers. Passwords are compared without regard to letter case.
insert into lib_worker (wkr_no, wkr_name, password, wkr_flag, code2, wkr_email, wkr_tele) values
    ('SUPR', '超级用户', 'SUPR', '1', null, null, null),
    ('0001', '张明', 'ABC', '1', null, 'zhangming@library.example', '010-62750001'),
    ('0002', '李芳', '1234', '1', null, 'lifang@library.example', '010-62750002'),
    ('0003', '王强', '0003', '0', null, null, null),
    ('0004', '赵丽', '0004', '1', null, null, null);

insert into loca_comp_lst (comp_name, location) values
    ('DESK01', 'D1'),
    ('DESK02', 'D2'),
    ('DESK03', 'RR');

insert into user_comp_lst (wkr_no, comp_name) values
    ('0001', 'DESK01'),
    ('0001', 'DESK02'),
    ('0001', 'DESK03'),
    ('0002', 'DESK01'),
    ('0002', 'DESK02'),
    ('0003', 'DESK01'),
    ('0004', 'DESK01');

insert into user_auth_lst (wkr_no, modu_code)
select '0001', code from unnest(array['4005', '4024', '4025', '4026', '4027', '4028', '4029', '4030', '4031',
                                      '4032']) as code
union all
select '0002', code from unnest(array['4025', '4026', '4027', '4028']) as code
union all
select '0003', code from unnest(array['4025', '4026']) as code
union all
select '0004', code from unnest(array['4026', '4027', '4028', '4029', '4030', '4031', '4032']) as code;

insert into user_location (wkr_no, location) values
    ('0001', 'D1'),
    ('0001', 'D2'),
    ('0002', 'D1'),
    ('0002', 'D2'),
    ('0004', 'D1');
