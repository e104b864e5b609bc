-- A large library for the desk benchmark, generated set-based on top of the
-- demo library: 300,000 titles, 1,000,000 copies, 200,000 readers with cards,
-- 150,000 loans, 100,000 waiting requests. Idempotent: does nothing when the
-- generated titles are there already.

do $$
begin
    if exists (select 1 from call_no_lst where call_no = 'G000001') then
        raise notice 'large library present';
        return;
    end if;

    -- Titles: call numbers G000001.., records GM000001.., ISBN keys 978-7-<n>-.
    insert into marc (marc_rec_no, marc_type, marc_use_flag, m_call_no, m_title, m_author, m_publisher, m_isbn)
    select 'GM' || lpad(n::text, 6, '0'), '0', '1', 'G' || lpad(n::text, 6, '0'),
           '书名' || n, '作者' || (n % 5000), '出版社' || (n % 300), '978-7-' || lpad(n::text, 6, '0') || '-1'
      from generate_series(1, 300000) n;
    insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont)
    select 'GM' || lpad(n::text, 6, '0'), g.grp,
           case g.grp when '02' then 'TITLE' || lpad(n::text, 6, '0')
                      when '03' then 'AUTHOR' || lpad((n % 5000)::text, 4, '0')
                      when '05' then '978-7-' || lpad(n::text, 6, '0') || '-'
                      else 'PRESS' || lpad((n % 300)::text, 3, '0') end
      from generate_series(1, 300000) n,
           (values ('02'), ('03'), ('05'), ('09')) g(grp);
    -- Records of the first 20,000 titles (the pieces of the first demo record),
    -- read by the searches by a call-number prefix.
    insert into marc_data (marc_rec_no, data_serial, marc01, marc02, marc03)
    select 'GM' || lpad(n::text, 6, '0'), d.data_serial, d.marc01, d.marc02, d.marc03
      from generate_series(1, 20000) n, marc_data d
     where d.marc_rec_no = '0000000001';
    insert into call_no_lst (call_no, marc_rec_no, circ_type_code, lend_grd)
    select 'G' || lpad(n::text, 6, '0'), 'GM' || lpad(n::text, 6, '0'),
           case when n % 10 = 0 then '02' else '01' end, '1'
      from generate_series(1, 300000) n;

    -- Copies: 1,000,000 spread over A1, B1, A2; title of copy k is (k % 300000) + 1.
    insert into item (prop_no, bar_code, call_no, marc_rec_no, location, book_stat_code, book_lend_flag, price, in_date)
    select 'GP' || lpad(k::text, 7, '0'), 'GB' || lpad(k::text, 7, '0'),
           'G' || lpad(((k % 300000) + 1)::text, 6, '0'), 'GM' || lpad(((k % 300000) + 1)::text, 6, '0'),
           (array['A1', 'B1', 'A2'])[(k / 300000) % 3 + 1],
           case when k % 97 = 0 then '42' else '41' end, '0', '30.00', '2024-01-01'
      from generate_series(1, 1000000) k;

    -- Readers and cards: GR000001.. with cards GC000001..; every 50th has unpaid fines,
    -- every 100th an open fine violation.
    insert into reader (cert_id, redr_type_code, lend_grd, r_dep_id, name, sex, dept, volt_flag, debt_flag,
                        redr_reg_day, redr_flag, total_lend_qty, year_lend_qty)
    select 'GR' || lpad(n::text, 6, '0'), case when n % 10 = 0 then 'T2' else 'T1' end,
           case when n % 10 = 0 then '3' else '1' end, 'D01', '读者' || n,
           case when n % 2 = 0 then 'F' else 'M' end, '计算机学院',
           case when n % 100 = 0 then 1 else 0 end, case when n % 50 = 0 then 1.50 else 0 end,
           '2024-09-01', '1', n % 40, n % 7
      from generate_series(1, 200000) n;
    insert into reader_cert (redr_cert_id, cert_id, cert_flag, oper_date, bgn_date, end_date, resp_wkr)
    select 'GC' || lpad(n::text, 6, '0'), 'GR' || lpad(n::text, 6, '0'), '1', '2024-09-01',
           to_char(desk_now()::date - 400, 'YYYY-MM-DD'), to_char(desk_now()::date + 700, 'YYYY-MM-DD'), '0001'
      from generate_series(1, 200000) n;
    insert into reader_volt_lst (cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, volt_deal_flag,
                                 resp_wkr)
    select 'GR' || lpad(n::text, 6, '0'), '2025-06-01', '01', 'GP0000001', 'A1', 2.00, '2', '0001'
      from generate_series(100, 200000, 100) n;

    -- Loans: reader n (n <= 150,000) has copy 300,000 + n, due in two weeks.
    insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f,
                          location_f, resp_wkr)
    select 'GR' || lpad(n::text, 6, '0'), 'GP' || lpad((300000 + n)::text, 7, '0'),
           to_char(desk_now()::date - 16, 'YYYY-MM-DD') || ' 10:00:00', to_char(desk_now()::date + 14, 'YYYY-MM-DD'),
           0, 0, 'R1', 'B1', '0001'
      from generate_series(1, 150000) n;
    update item set book_lend_flag = '1' where prop_no in (select prop_no from lend_lst where cert_id like 'GR%');

    -- Waiting requests: the first 50,000 titles each have a queue of two at A1,
    -- by readers 100,001.. (one request per reader).
    insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days,
                              relegate_end_date, relegate_location, wkr_no, relegate_flag)
    select 'GR' || lpad((100000 + n)::text, 6, '0'), 'G' || lpad((((n - 1) % 50000) + 1)::text, 6, '0'), 'A1',
           (n - 1) / 50000 + 1, to_char(desk_now()::date - 1, 'YYYY-MM-DD'), 7,
           to_char(desk_now()::date + 6, 'YYYY-MM-DD'), 'D2', '0001', '0'
      from generate_series(1, 100000) n;

    -- Found copies: 20,000 copies found for readers 120,001.. (open, handed over).
    insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_noti_date,
                                   relegate_keep_days, relegate_keep_end_date, relegate_location,
                                   relegate_find_location, relegate_end_flag, resp_wkr, relegate_date)
    select 'GR' || lpad((120000 + n)::text, 6, '0'), 'GP' || lpad((600000 + n)::text, 7, '0'),
           'G' || lpad(((600000 + n) % 300000 + 1)::text, 6, '0'),
           to_char(desk_now()::date - 1, 'YYYY-MM-DD'), to_char(desk_now()::date - 1, 'YYYY-MM-DD'), 7,
           to_char(desk_now()::date + 6, 'YYYY-MM-DD'), 'D2', 'D1', '2', '0001',
           to_char(desk_now()::date - 5, 'YYYY-MM-DD')
      from generate_series(1, 20000) n;
end $$;

analyze;
