-- Grows the large library of desk_large_library.sql for the reader information
-- benchmark: 500,000 closed loans over the readers GR001001.., identity-card
-- numbers for every reader, and reader GR000500 with ten open loans and exactly
-- 100 closed loans in the last year. Idempotent.

do $$
begin
    if exists (select 1 from lend_hist where cert_id_f = 'GR000500') then
        raise notice 'reader history present';
        return;
    end if;

    update reader set id_card = 'ID' || substr(cert_id, 3) where cert_id like 'GR%';

    insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times,
                           resp_wkr, ret_wkr, preg_flag, rele_flag, rule_no_f)
    select 'GR' || lpad((k % 199000 + 1001)::text, 6, '0'), 'GP' || lpad((k % 1000000 + 1)::text, 7, '0'),
           to_char(desk_now()::date - (k % 700) - 20, 'YYYY-MM-DD') || ' 09:00:00',
           to_char(desk_now()::date - (k % 700), 'YYYY-MM-DD') || ' 17:00:00', k % 3, 0, 0, '0001', '0002', '0',
           '0', 'R1'
      from generate_series(1, 499900) k;
    insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days, renew_times, asback_times,
                           resp_wkr, ret_wkr, preg_flag, rele_flag, rule_no_f)
    select 'GR000500', 'GP' || lpad((k * 997 % 1000000 + 1)::text, 7, '0'),
           to_char(desk_now()::date - (k * 3) - 10, 'YYYY-MM-DD') || ' 09:00:00',
           to_char(desk_now()::date - (k * 3), 'YYYY-MM-DD') || ' 17:00:00', k % 2, 0, 0, '0001', '0002', '0', '0',
           'R1'
      from generate_series(1, 100) k;

    -- Nine more loans for GR000500 (it has one already), of copies nobody holds.
    insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, rule_no_f,
                          location_f, resp_wkr)
    select 'GR000500', 'GP' || lpad((850000 + n)::text, 7, '0'),
           to_char(desk_now()::date - n, 'YYYY-MM-DD') || ' 10:00:00', to_char(desk_now()::date + 20, 'YYYY-MM-DD'),
           0, 0, 'R1', 'A1', '0001'
      from generate_series(1, 9) n;
    update item set book_lend_flag = '1' where prop_no in (select prop_no from lend_lst where cert_id = 'GR000500');
end $$;

analyze;
