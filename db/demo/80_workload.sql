-- Workload figures of the demo workers, so that the work statistics window
-- (统计查询 → 工作量统计) shows something on a fresh demo: today, the days
-- before, earlier in the month or year and a year ago. Dates are relative to
-- the server's date d. Lending and returns count copies only (kind 0), as the
-- desk writes them; fine payments and waivers count fines and their sum.
--
--   0001 张明  today: 12 lent, 9 returned, 2 fines paid (3.50), 1 waived (0.50)
--   0002 李芳  today: 5 lent, 4 returned
--   SUPR       two days ago: 1 lent

insert into wkr_job_qty (wkr_no_f, job_type, oper_date, kind, volume, amount)
select w.wkr_no, w.job_type, to_char(t.d - w.ago, 'YYYY-MM-DD'), w.kind, w.volume, w.amount
from (values
    ('0001', '401', 0, 0, 12, 0.00),
    ('0001', '402', 0, 0, 9, 0.00),
    ('0001', '415', 0, 2, 2, 3.50),
    ('0001', '419', 0, 1, 1, 0.50),
    ('0001', '401', 1, 0, 8, 0.00),
    ('0001', '402', 1, 0, 11, 0.00),
    ('0001', '415', 1, 1, 1, 1.20),
    ('0001', '401', 5, 0, 15, 0.00),
    ('0001', '402', 5, 0, 7, 0.00),
    ('0001', '401', 40, 0, 20, 0.00),
    ('0001', '402', 40, 0, 18, 0.00),
    ('0001', '415', 40, 3, 3, 6.00),
    ('0001', '401', 400, 0, 30, 0.00),
    ('0001', '402', 400, 0, 28, 0.00),
    ('0002', '401', 0, 0, 5, 0.00),
    ('0002', '402', 0, 0, 4, 0.00),
    ('0002', '401', 1, 0, 7, 0.00),
    ('0002', '402', 1, 0, 6, 0.00),
    ('0002', '401', 3, 0, 3, 0.00),
    ('0002', '402', 3, 0, 2, 0.00),
    ('SUPR', '401', 2, 0, 1, 0.00)
) as w(wkr_no, job_type, ago, kind, volume, amount),
     (select desk_now()::date as d) t
on conflict (wkr_no_f, job_type, oper_date) do nothing;
