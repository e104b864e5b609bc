-- The large library of desk_large_library.sql grown for the look-up benchmark:
-- the copy register of every copy, a second title key per title whose first four
-- characters pick 100 titles, 200,000 closed loans, and record GM900001 with 20
-- copies, 100 closed loans, 20 archived loans and a few rows on every other tab.
-- Idempotent.

do $$
begin
    if exists (select 1 from call_no_lst where call_no = 'G900001') then
        raise notice 'look-up rows present';
        return;
    end if;

    insert into indi_acct (prop_no, call_no, bar_code, dis_location, year, vol_peri, book_stat_code, price,
                           carrier_code, in_date, rec_flag_upt_date, resp_wkr, marc_rec_no)
    select prop_no, call_no, bar_code, location, '2024', null, book_stat_code, price, '01', in_date, in_date, '0001',
           marc_rec_no
      from item where prop_no like 'GP%';

    insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont)
    select 'GM' || lpad(n::text, 6, '0'), '02', lpad((n % 3000)::text, 4, '0') || '号书名'
      from generate_series(1, 300000) n;

    insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times, resp_wkr,
                           ret_wkr, marc_rec_no_f, rule_no_f)
    select 'GR' || lpad((n % 200000 + 1)::text, 6, '0'), 'GP' || lpad((n * 5 % 1000000 + 1)::text, 7, '0'),
           to_char(date '2024-01-01' + n % 600, 'YYYY-MM-DD') || ' 10:00:00',
           to_char(date '2024-01-01' + n % 600 + 20, 'YYYY-MM-DD') || ' 16:00:00', 0, 0, 0, '0001', '0001',
           null, 'R1'
      from generate_series(1, 200000) n;

    -- The record of the tab benchmark.
    insert into marc (marc_rec_no, marc_type, marc_use_flag, m_call_no, m_title, m_author, m_publisher, m_isbn)
    values ('GM900001', 'C', '1', 'G900001', '二十复本书', '作者', '出版社', '978-7-900001-1');
    insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd) values ('G900001', 'GM900001', '01', '1');
    insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, price, in_date)
    select 'GQ' || lpad(k::text, 5, '0'), 'GQB' || lpad(k::text, 5, '0'), 'G900001', 'GM900001',
           (array['A1', 'B1'])[k % 2 + 1], case when k > 18 then '12' else '41' end, '0', '30.00', '2024-01-01'
      from generate_series(1, 20) k;
    insert into indi_acct (prop_no, call_no, bar_code, dis_location, year, book_stat_code, price, carrier_code, in_date,
                           marc_rec_no)
    select prop_no, call_no, bar_code, location, '2024', book_stat_code, price, '01', in_date, marc_rec_no
      from item where marc_rec_no = 'GM900001';
    insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f, location_f,
                          resp_wkr)
    select 'GR' || lpad((190000 + k)::text, 6, '0'), 'GQ' || lpad(k::text, 5, '0'),
           to_char(desk_now()::date - 3, 'YYYY-MM-DD') || ' 10:00:00', to_char(desk_now()::date + 27, 'YYYY-MM-DD'),
           0, 0, 'R1', 'A1', '0001'
      from generate_series(1, 5) k;
    insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times, resp_wkr,
                           ret_wkr, marc_rec_no_f, rule_no_f)
    select 'GR' || lpad((n + 1000)::text, 6, '0'), 'GQ' || lpad((n % 20 + 1)::text, 5, '0'),
           to_char(date '2024-01-01' + n * 3, 'YYYY-MM-DD') || ' 10:00:00',
           to_char(date '2024-01-01' + n * 3 + 10, 'YYYY-MM-DD') || ' 16:00:00', 0, 0, 0, '0001', '0001',
           'GM900001', 'R1'
      from generate_series(1, 100) n;
    insert into lend_hist_bak (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times,
                               resp_wkr, ret_wkr, marc_rec_no_f, rule_no_f)
    select 'GR' || lpad((n + 2000)::text, 6, '0'), 'GQ' || lpad((n % 20 + 1)::text, 5, '0'),
           to_char(date '2023-01-01' + n * 3, 'YYYY-MM-DD') || ' 10:00:00',
           to_char(date '2023-01-01' + n * 3 + 10, 'YYYY-MM-DD') || ' 16:00:00', 0, 0, 0, '0001', '0001',
           'GM900001', 'R1'
      from generate_series(1, 20) n;
    insert into preg_lst (cert_id, call_no, location, preg_date, preg_end_date, preg_keep_days, preg_no, take_location,
                          preg_flag)
    select 'GR' || lpad((3000 + n)::text, 6, '0'), 'G900001', 'A1', '2024-05-01', '2024-05-20', 5, n, 'D1', '0'
      from generate_series(1, 5) n;
    insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days,
                              relegate_end_date, relegate_location, wkr_no, relegate_flag)
    select 'GR' || lpad((4000 + n)::text, 6, '0'), 'G900001', 'A1', n, '2024-05-01', 7, '2024-05-08', 'D2', '0001', '0'
      from generate_series(1, 5) n;
    insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt,
                                 debt_deal_flag)
    select 'GQ' || lpad(n::text, 5, '0'), 'GR' || lpad((5000 + n)::text, 6, '0'), '2024-02-01 10:00:00',
           '2024-03-01', '2024-03-05 10:00:00', 'D', 0.40, '1'
      from generate_series(1, 5) n;
    insert into deal_batch_lst (deal_batch_no, deal_stat_flag) values ('GDB1', '1');
    insert into deal_log (prop_no, deal_batch_no, deal_type_code, log_date, source_state, fee)
    select 'GQ' || lpad(n::text, 5, '0'), 'GDB1', '01', '2024-04-01', '41', 0 from generate_series(1, 5) n;
    insert into alloc_record (prop_no, alloc_date, alloc_no, alloc_src, alloc_target, alloc_wkr)
    select 'GQ' || lpad(n::text, 5, '0'), '2024-04-01', 'GAL1', 'A1', 'B1', '0001' from generate_series(1, 5) n;
end $$;

analyze;
