-- Invariants of the circulation records, checked after the two-desk tests.
-- Every row returned names a broken invariant.

-- A copy on loan (to a reader or to a consignment) has one loan; any other has none.
select 'copy ' || i.prop_no || ' flagged ' || i.book_lend_flag || ' has ' || count(l.prop_no) || ' loans'
  from item i left join lend_lst l on l.prop_no = i.prop_no
 group by i.prop_no, i.book_lend_flag
having (i.book_lend_flag in ('1', '3') and count(l.prop_no) <> 1)
    or (i.book_lend_flag in ('0', '2') and count(l.prop_no) <> 0)
union all
-- Waiting numbers of one queue are unique and positive.
select 'queue ' || call_no || '@' || location || ' number ' || relegate_no || ' taken ' || count(*) || ' times'
  from relegate_lst where relegate_flag = '0'
 group by call_no, location, relegate_no
having count(*) > 1 or relegate_no < 1
union all
-- One open found row per copy, and only for a copy lent to its consignment.
select 'copy ' || f.prop_no || ' has ' || count(*) || ' open found rows'
  from relegate_arri_lst f where f.relegate_end_flag < '3'
 group by f.prop_no having count(*) > 1
union all
select 'collected copy ' || f.prop_no || ' has no loan of ' || f.cert_id
  from relegate_arri_lst f where f.relegate_end_flag = '3'
   and not exists (select 1 from lend_lst l where l.prop_no = f.prop_no and l.cert_id = f.cert_id)
union all
-- Unpaid totals are never negative.
select 'reader ' || cert_id || ' owes ' || debt_flag from reader where debt_flag < 0;
