-- Foundation server procedures: the server date and the workload counter.

-- The server's current date and time as "yyyy-mm-dd hh:mm:ss".
create or replace procedure sys_getserverdate(inout svrdate varchar)
language plpgsql as $$
begin
    svrdate := to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS');
end
$$;

-- Records one workload entry for a worker on the server's current day: adds
-- kind, volume and amount to the worker's row for the job and day.
create or replace procedure xt_wkr_job_qty(
    p_job_type varchar, p_wkr_no varchar, p_kind integer, p_volume integer, p_amount numeric)
language plpgsql as $$
declare
    v_day text := to_char(desk_now(), 'YYYY-MM-DD');
begin
    if p_job_type is null or p_wkr_no is null then
        raise exception 'ORA-20001: job type and worker number are required';
    end if;
    insert into wkr_job_qty (wkr_no_f, job_type, oper_date, kind, volume, amount)
    values (p_wkr_no, p_job_type, v_day, coalesce(p_kind, 0), coalesce(p_volume, 0), coalesce(p_amount, 0))
    on conflict (wkr_no_f, job_type, oper_date) do update
       set kind = wkr_job_qty.kind + excluded.kind,
           volume = wkr_job_qty.volume + excluded.volume,
           amount = wkr_job_qty.amount + excluded.amount;
end
$$;
