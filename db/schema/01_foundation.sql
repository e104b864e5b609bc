-- Foundation tables: the message table, the system parameters, the workload
-- counter, the start-up value lists and the server clock.

-- The server clock. Every server procedure and every SQL text that needs "now"
-- calls desk_now(): the current time in the library's time zone, unless a row of
-- sys_clock pins it (tests pin the clock in their own database).
create table if not exists sys_clock (
    id         integer primary key default 1 check (id = 1),
    time_zone  text not null default 'Asia/Shanghai',
    pinned_at  timestamp
);
insert into sys_clock (id) values (1) on conflict do nothing;

-- PL/pgSQL, not SQL: a SQL function with a subquery is not inlined, and the
-- server then plans its body anew in every statement that calls it (a fifth of
-- a millisecond a call); a PL/pgSQL function keeps its plan for the session.
create or replace function desk_now() returns timestamp
language plpgsql stable as $$
declare
    v_pinned timestamp;
    v_zone   text;
begin
    select pinned_at, time_zone into v_pinned, v_zone from sys_clock where id = 1;
    return coalesce(v_pinned, clock_timestamp() at time zone coalesce(v_zone, 'Asia/Shanghai'));
end
$$;

-- Messages shown by code: type letter, group, three digits (ECM504, QCM000, ...).
create table if not exists msg_mst (
    msg_id       varchar(6) not null,
    msg_content  text,
    constraint pk_msg_mst primary key (msg_id)
);

-- Library-wide settings, read by number.
create table if not exists sys_comm_para (
    sys_para_code   integer not null,
    sys_para_value  text,
    sys_para_name   text,
    constraint pk_sys_comm_para primary key (sys_para_code)
);

-- Start-up value lists (item types '11'..'15').
create table if not exists tmp_itemlist (
    itemtype     text not null,
    itemcontent  text
);

-- Job codes of the workload counter (401 loan, 402 return, 415 fine paid, 419 fine waived).
create table if not exists job_type (
    job_type  varchar(3) not null,
    job_name  text,
    constraint pk_job_type primary key (job_type)
);

-- One row per worker, job and server day; xt_wkr_job_qty adds to it.
create table if not exists wkr_job_qty (
    wkr_no_f   varchar(4) not null,
    job_type   varchar(3) not null,
    oper_date  text not null,
    kind       integer not null default 0,
    volume     integer not null default 0,
    amount     numeric(12,2) not null default 0,
    constraint pk_wkr_job_qty primary key (wkr_no_f, job_type, oper_date)
);
