-- Rules no assignment and no loan uses yet: a rule for lending photocopies and
-- a rule kept for later, out of use.
insert into circ_rule (rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty, perg_ysno, renew_ysno,
                       max_renew_times, renew_bef_exp_days, fst_renew_days, add_renew_days, preg_keep_days,
                       min_use_days, use_bef_exp_days, use_aft_asback_days, max_excd_times, fst_notice, snd_notice,
                       thd_notice, unfine_ext_days, fst_fine_days, fst_fine_price, other_fine_price, tech_fee,
                       serv_fee, fst_notice_no, snd_notice_no, thd_notice_no, preg_notice_no, keep_book_qty,
                       renew_calc_flag, rule_flag, reg_day, upt_day, resp_wkr) values
    ('COPY000001', '复印件外借规则', 'D', 7, 5, 5, '0', '0', 0, 0, 0, 0, 3, 0, 1, 3, 1, 1, 3, 5, 3, 7, 0.20, 0.50,
     1.00, 0.50, null, null, null, null, 0, '0', '1', '2026-01-05', null, '0001'),
    ('R9', '暂停使用的借阅规则', 'D', 21, 3, 6, '1', '0', 0, 0, 0, 0, 5, 0, 2, 5, 2, 3, 7, 14, 2, 15, 0.10, 0.20,
     5.00, 2.00, 'N1', 'N2', 'N3', 'P1', 0, '0', '0', '2026-01-05', null, '0001');
