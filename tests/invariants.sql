-- Invariants of the circulation and money records. Every row returned names a
-- broken invariant; none means the records are sound. The concurrency and
-- lost-connection tests run it after every test.

-- Waiting numbers of one queue (title at a location) are positive, each once.
-- (Cancelling the expired requests of a location leaves gaps behind.)
select 'queue ' || call_no || '@' || location || ' numbers ' || string_agg(relegate_no::text, ',' order by relegate_no)
  from relegate_lst where relegate_flag = '0'
 group by call_no, location
having count(distinct relegate_no) <> count(*) or min(relegate_no) < 1
union all
-- A reader waits once per title.
select 'reader ' || cert_id || ' waits ' || count(*) || ' times for ' || call_no
  from relegate_lst where relegate_flag = '0'
 group by cert_id, call_no having count(*) > 1
union all
-- The waiting, still valid requests of a queue stay within the limit (a
-- negative setting is the number itself, a positive one per lendable copy).
select 'queue ' || w.call_no || '@' || w.location || ' has ' || w.n || ' waiting, limit ' || w.lim
  from (select r.call_no, r.location, count(*) as n,
               (select case when p.v < 0 then -p.v
                            else p.v * (select count(*) from item i where i.call_no = r.call_no
                                           and i.location = r.location and i.book_stat_code = '41') end
                  from (select coalesce(nullif(trim(sys_para_value), ''), '0')::numeric as v
                          from sys_comm_para where sys_para_code = 8) p) as lim
          from relegate_lst r
         where r.relegate_flag = '0' and r.relegate_end_date >= to_char(desk_now(), 'YYYY-MM-DD')
         group by r.call_no, r.location) w
 where w.n > w.lim
union all
-- A copy on loan (to a reader or to a consignment) has one loan; any other has none.
select 'copy ' || i.prop_no || ' flagged ' || i.book_lend_flag || ' has ' || count(l.prop_no) || ' loans'
  from item i left join lend_lst l on l.prop_no = i.prop_no
 group by i.prop_no, i.book_lend_flag
having (i.book_lend_flag in ('1', '3') and count(l.prop_no) <> 1)
    or (i.book_lend_flag in ('0', '2') and count(l.prop_no) <> 0)
union all
-- A copy flagged found has one open found row; one with an open found row is flagged found.
select 'copy ' || i.prop_no || ' flagged ' || i.book_lend_flag || ' has ' || count(f.id) || ' open found rows'
  from item i left join relegate_arri_lst f on f.prop_no = i.prop_no and f.relegate_end_flag in ('1', '2')
 group by i.prop_no, i.book_lend_flag
having (i.book_lend_flag = '3' and count(f.id) <> 1) or (i.book_lend_flag <> '3' and count(f.id) <> 0)
union all
-- An open found row has its loan: the copy lent to the requester it was found for.
select 'found copy ' || f.prop_no || ' has no loan of ' || f.cert_id
  from relegate_arri_lst f where f.relegate_end_flag in ('1', '2')
   and not exists (select 1 from lend_lst l where l.prop_no = f.prop_no and l.cert_id = f.cert_id)
union all
select 'collected copy ' || f.prop_no || ' has no loan of ' || f.cert_id
  from relegate_arri_lst f where f.relegate_end_flag = '3'
   and not exists (select 1 from lend_lst l where l.prop_no = f.prop_no and l.cert_id = f.cert_id)
union all
-- A copy goes home (or is lent on) only when the requester's loan has ended:
-- no such row after the collection of a loan still open. (A row of an earlier
-- loan may still wait for its acceptance when the copy is found again.)
select 'copy ' || f.prop_no || ' travels home still lent to ' || f.cert_id
  from relegate_arri_lst f where f.relegate_end_flag in ('4', '6')
   and exists (select 1 from lend_lst l, relegate_arri_lst o
                where l.prop_no = f.prop_no and l.cert_id = f.cert_id and o.prop_no = f.prop_no
                  and o.cert_id = f.cert_id and o.relegate_end_flag = '3' and o.id < f.id)
union all
-- A reader's stored unpaid total is the sum of his open fines. The demo reader
-- DZ0007 keeps a stored total (5.00) that disagrees with his open fines (3.00) on
-- purpose: the fine window finds and corrects it.
select 'reader ' || r.cert_id || ' owes ' || r.debt_flag || ', open fines ' || coalesce(o.s, 0)
  from reader r left join (select cert_id, sum(fine_amt) as s from exceed_fine_lst
                            where debt_deal_flag = '0' group by cert_id) o on o.cert_id = r.cert_id
 where r.debt_flag <> coalesce(o.s, 0)
   and not (r.cert_id = 'DZ0007' and r.debt_flag = 5.00 and coalesce(o.s, 0) = 3.00)
union all
-- A journal row of fines books what its rows settled: a payment the amounts
-- charged, a waiver the fines let go.
select 'bill ' || d.bill_no || ' of type ' || d.rec_type || ' books ' || d.amount || ', its fines ' || s.amount
  from deposit_account_lst d
  join (select bill_no, sum(real_fine_amt) as paid, sum(fine_amt) as fines from exceed_fine_lst
         where debt_deal_flag = '1' group by bill_no) f on f.bill_no = d.bill_no
  cross join lateral (select case d.rec_type when '5' then f.paid else f.fines end as amount) s
 where d.amount <> s.amount
union all
-- A bill number is used once.
select 'bill ' || bill_no || ' used ' || count(*) || ' times'
  from deposit_account_lst where bill_no is not null group by bill_no having count(*) > 1;
