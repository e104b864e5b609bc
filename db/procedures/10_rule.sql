-- The circulation rule writer: one row of circ_rule per rule code. A new code
-- is inserted with its registration day, an existing code is updated with its
-- update day; both days come from the server clock.
create or replace procedure lt_circ_rule(
    p_rule_no varchar, p_rule_name varchar, p_time_unit varchar, p_norm_term integer, p_limt_lend_qty integer,
    p_max_lend_qty integer, p_perg_ysno varchar, p_renew_ysno varchar, p_max_renew_times integer,
    p_renew_bef_exp_days integer, p_fst_renew_days integer, p_add_renew_days integer, p_preg_keep_days integer,
    p_min_use_days integer, p_use_bef_exp_days integer, p_use_aft_asback_days integer, p_max_excd_times integer,
    p_fst_notice integer, p_snd_notice integer, p_thd_notice integer, p_unfine_ext_days integer,
    p_fst_fine_days integer, p_fst_fine_price numeric, p_other_fine_price numeric, p_tech_fee numeric,
    p_serv_fee numeric, p_fst_notice_no varchar, p_snd_notice_no varchar, p_thd_notice_no varchar,
    p_preg_notice_no varchar, p_keep_book_qty integer, p_renew_calc_flag varchar, p_rule_flag varchar,
    p_resp_wkr varchar)
language plpgsql as $$
declare
    v_day text := to_char(desk_now(), 'YYYY-MM-DD');
begin
    if p_rule_no is null or btrim(p_rule_no) = '' then
        raise exception 'ORA-20001: a circulation rule needs its code';
    end if;
    insert into circ_rule (rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty, perg_ysno,
                           renew_ysno, max_renew_times, renew_bef_exp_days, fst_renew_days, add_renew_days,
                           preg_keep_days, min_use_days, use_bef_exp_days, use_aft_asback_days, max_excd_times,
                           fst_notice, snd_notice, thd_notice, unfine_ext_days, fst_fine_days, fst_fine_price,
                           other_fine_price, tech_fee, serv_fee, fst_notice_no, snd_notice_no, thd_notice_no,
                           preg_notice_no, keep_book_qty, renew_calc_flag, rule_flag, reg_day, upt_day, resp_wkr)
    values (p_rule_no, p_rule_name, coalesce(p_time_unit, 'D'), coalesce(p_norm_term, 0),
            coalesce(p_limt_lend_qty, 0), coalesce(p_max_lend_qty, 0), coalesce(p_perg_ysno, '0'),
            coalesce(p_renew_ysno, '0'), coalesce(p_max_renew_times, 0), coalesce(p_renew_bef_exp_days, 0),
            coalesce(p_fst_renew_days, 0), coalesce(p_add_renew_days, 0), coalesce(p_preg_keep_days, 0),
            coalesce(p_min_use_days, 0), coalesce(p_use_bef_exp_days, 0), coalesce(p_use_aft_asback_days, 0),
            coalesce(p_max_excd_times, 0), coalesce(p_fst_notice, 0), coalesce(p_snd_notice, 0),
            coalesce(p_thd_notice, 0), coalesce(p_unfine_ext_days, 0), coalesce(p_fst_fine_days, 0),
            coalesce(p_fst_fine_price, 0), coalesce(p_other_fine_price, 0), coalesce(p_tech_fee, 0),
            coalesce(p_serv_fee, 0), p_fst_notice_no, p_snd_notice_no, p_thd_notice_no, p_preg_notice_no,
            coalesce(p_keep_book_qty, 0), coalesce(p_renew_calc_flag, '0'), coalesce(p_rule_flag, '0'), v_day,
            null, p_resp_wkr)
    on conflict (rule_no) do update
       set rule_name = excluded.rule_name, time_unit = excluded.time_unit, norm_term = excluded.norm_term,
           limt_lend_qty = excluded.limt_lend_qty, max_lend_qty = excluded.max_lend_qty,
           perg_ysno = excluded.perg_ysno, renew_ysno = excluded.renew_ysno,
           max_renew_times = excluded.max_renew_times, renew_bef_exp_days = excluded.renew_bef_exp_days,
           fst_renew_days = excluded.fst_renew_days, add_renew_days = excluded.add_renew_days,
           preg_keep_days = excluded.preg_keep_days, min_use_days = excluded.min_use_days,
           use_bef_exp_days = excluded.use_bef_exp_days, use_aft_asback_days = excluded.use_aft_asback_days,
           max_excd_times = excluded.max_excd_times, fst_notice = excluded.fst_notice,
           snd_notice = excluded.snd_notice, thd_notice = excluded.thd_notice,
           unfine_ext_days = excluded.unfine_ext_days, fst_fine_days = excluded.fst_fine_days,
           fst_fine_price = excluded.fst_fine_price, other_fine_price = excluded.other_fine_price,
           tech_fee = excluded.tech_fee, serv_fee = excluded.serv_fee, fst_notice_no = excluded.fst_notice_no,
           snd_notice_no = excluded.snd_notice_no, thd_notice_no = excluded.thd_notice_no,
           preg_notice_no = excluded.preg_notice_no, keep_book_qty = excluded.keep_book_qty,
           renew_calc_flag = excluded.renew_calc_flag, rule_flag = excluded.rule_flag, upt_day = v_day,
           resp_wkr = excluded.resp_wkr;
end
$$;
