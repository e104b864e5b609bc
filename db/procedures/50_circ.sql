-- Circulation procedures of the database server: lending, returning, holds,
-- copy location and the reader/violation updates of the desk's reader load.
-- Each runs inside the caller's transaction and raises on failure; none commits.

-- Lend a copy to a reader. The last two values are accepted for the calling
-- convention and select nothing here.
create or replace procedure lt_lendbook_new(
    p_cert_id text, p_prop_no text, p_due text, p_rule_no text,
    p_attachment text, p_wkr_no text, p_kind text default '0', p_mode text default '1')
language plpgsql as $$
declare
    v_item item%rowtype;
    v_now  text := to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS');
begin
    select * into v_item from item where prop_no = p_prop_no for update;
    if not found then
        raise exception using errcode = 'P0001', message = 'ORA-20001: 无此书刊：' || coalesce(p_prop_no, '');
    end if;
    perform 1 from reader where cert_id = p_cert_id for update;
    if not found then
        raise exception using errcode = 'P0001', message = 'ORA-20008: 无此读者：' || coalesce(p_cert_id, '');
    end if;
    perform 1 from lend_lst where prop_no = p_prop_no;
    if found then
        raise exception using errcode = 'P0001', message = 'ORA-20002: 该书已借出：' || p_prop_no;
    end if;

    insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times,
                          rule_no_f, location_f, attachment, resp_wkr)
    values (p_cert_id, p_prop_no, v_now, p_due, 0, 0,
            p_rule_no, v_item.location, p_attachment, p_wkr_no);

    update item
       set book_lend_flag = '1',
           year_circ_times = coalesce(year_circ_times, 0) + 1,
           total_circ_times = coalesce(total_circ_times, 0) + 1,
           fst_use_date = coalesce(fst_use_date, left(v_now, 10)),
           last_use_date = left(v_now, 10)
     where prop_no = p_prop_no;

    update reader
       set total_lend_qty = coalesce(total_lend_qty, 0) + 1,
           year_lend_qty = coalesce(year_lend_qty, 0) + 1
     where cert_id = p_cert_id;

    if v_item.book_lend_flag = '2' then
        update preg_arri_lst set pregarri_deal_flag = '1'
         where prop_no = p_prop_no and cert_id = p_cert_id and pregarri_deal_flag = '0';
    end if;
end $$;

create or replace procedure lt_lendbook(
    p_cert_id text, p_prop_no text, p_due text, p_rule_no text,
    p_attachment text, p_wkr_no text)
language plpgsql as $$
begin
    call lt_lendbook_new(p_cert_id, p_prop_no, p_due, p_rule_no, p_attachment, p_wkr_no, '0', '1');
end $$;

-- Close a loan: history row, fine row and unpaid total, copy back on the shelf.
create or replace procedure lt_retbook_new(
    p_prop_no text, p_cert_id text, p_due text, p_count integer, p_fine numeric,
    p_unit text, p_fine_text text, p_wkr_no text)
language plpgsql as $$
declare
    v_loan lend_lst%rowtype;
    v_now  text := to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS');
    v_fine numeric(12,2) := round(coalesce(p_fine, 0), 2);
begin
    select * into v_loan from lend_lst
     where prop_no = p_prop_no and cert_id = p_cert_id for update;
    if not found then
        raise exception using errcode = 'P0001',
            message = 'ORA-20004: 无此借阅记录：' || coalesce(p_prop_no, '');
    end if;

    insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date, excd_days,
                           renew_date, renew_times, asback_date, asback_times,
                           resp_wkr, ret_wkr, marc_rec_no_f, cls_id, attachment, preg_flag, rele_flag, rule_no_f)
    values (v_loan.cert_id, v_loan.prop_no, v_loan.lend_date, v_now, coalesce(p_count, 0),
            v_loan.renew_date, coalesce(v_loan.renew_times, 0), v_loan.asback_date, coalesce(v_loan.asback_times, 0),
            v_loan.resp_wkr, p_wkr_no, (select marc_rec_no from item where prop_no = p_prop_no),
            v_loan.cls_id, v_loan.attachment,
            v_loan.preg_flag, v_loan.rele_flag, v_loan.rule_no_f);

    if v_fine > 0 then
        insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date,
                                     time_unit, fine_amt, real_fine_amt, debt_deal_flag,
                                     remark, location_f, renew_date, renew_times,
                                     asback_date, asback_times, rule_no_f)
        values (v_loan.prop_no, v_loan.cert_id, v_loan.lend_date, coalesce(p_due, v_loan.norm_ret_date), v_now,
                coalesce(nullif(p_unit, ''), 'D'), v_fine, 0, '0',
                p_fine_text, v_loan.location_f, v_loan.renew_date, coalesce(v_loan.renew_times, 0),
                v_loan.asback_date, coalesce(v_loan.asback_times, 0), v_loan.rule_no_f);
        update reader set debt_flag = coalesce(debt_flag, 0) + v_fine where cert_id = p_cert_id;
    end if;

    delete from lend_lst where prop_no = p_prop_no and cert_id = p_cert_id;
    update item set book_lend_flag = '0' where prop_no = p_prop_no;
end $$;

-- A returned copy becomes the reserved copy of the first waiting valid hold of
-- its title at its location; without such a hold nothing happens.
create or replace procedure lt_retpregbook(p_prop_no text)
language plpgsql as $$
declare
    v_item  item%rowtype;
    v_hold  record;
    v_today text := to_char(desk_now(), 'YYYY-MM-DD');
    v_days  integer;
begin
    select * into v_item from item where prop_no = p_prop_no for update;
    if not found then
        raise exception using errcode = 'P0001', message = 'ORA-20001: 无此书刊：' || coalesce(p_prop_no, '');
    end if;
    select ctid, * into v_hold from preg_lst
     where call_no = v_item.call_no and location = v_item.location
       and coalesce(preg_flag, '0') = '0' and preg_end_date >= v_today
     order by preg_no nulls last, preg_date, cert_id
     limit 1 for update;
    if not found then
        return;
    end if;
    v_days := coalesce(v_hold.preg_keep_days, 7);
    insert into preg_arri_lst (cert_id, prop_no, call_no_f, preg_arri_date, noti_send_date,
                               keep_end_date, preg_keep_days, take_location, pregarri_deal_flag)
    values (v_hold.cert_id, p_prop_no, v_item.call_no, v_today, v_today,
            to_char(v_today::date + v_days, 'YYYY-MM-DD'), v_days, v_hold.take_location, '0');
    update preg_lst set preg_flag = '1' where ctid = v_hold.ctid;
    update item set book_lend_flag = '2' where prop_no = p_prop_no;
end $$;

-- The same for a return that tests the hold itself, as the desk tests it:
-- a waiting hold of the title at the location, valid on the given day. Sent
-- with the return's other writes, it spares the desk a round trip.
create or replace procedure lt_retpregbook_held(p_prop_no text, p_call_no text, p_location text, p_today text)
language plpgsql as $$
begin
    if exists (select 1 from preg_lst
                where call_no = p_call_no and preg_end_date >= p_today
                  and location = p_location and preg_flag = '0') then
        call lt_retpregbook(p_prop_no);
    end if;
end $$;

create or replace procedure lt_modiloca(p_prop_no text, p_location text)
language plpgsql as $$
begin
    update item set location = p_location where prop_no = p_prop_no;
    if not found then
        raise exception using errcode = 'P0001', message = 'ORA-20005: 无此书刊：' || coalesce(p_prop_no, '');
    end if;
end $$;

-- Violation row keyed by reader and punish date; NULL leaves a column as it is.
create or replace procedure lt_upd_reader_volt_lst(
    p_cert_id text, p_punish_date text, p_volt_code text, p_prop_no text, p_location_f text,
    p_real_fine_amt numeric, p_fine_date text, p_bill_no text, p_froz_end_date text,
    p_volt_deal_flag text, p_resp_wkr text, p_remark text)
language plpgsql as $$
begin
    update reader_volt_lst
       set volt_code = coalesce(p_volt_code, volt_code),
           prop_no = coalesce(p_prop_no, prop_no),
           location_f = coalesce(p_location_f, location_f),
           real_fine_amt = coalesce(p_real_fine_amt, real_fine_amt),
           fine_date = coalesce(p_fine_date, fine_date),
           bill_no = coalesce(p_bill_no, bill_no),
           froz_end_date = coalesce(p_froz_end_date, froz_end_date),
           volt_deal_flag = coalesce(p_volt_deal_flag, volt_deal_flag),
           resp_wkr = coalesce(p_resp_wkr, resp_wkr),
           remark = coalesce(p_remark, remark)
     where cert_id = p_cert_id and punish_date = p_punish_date;
    if not found then
        raise exception using errcode = 'P0001',
            message = 'ORA-20006: 无此违章记录：' || coalesce(p_cert_id, '') || ' ' || coalesce(p_punish_date, '');
    end if;
end $$;

-- Reader row by position: position 1 is the reader number, 18 the open-violation
-- count (volt_flag), 19 the unpaid total (debt_flag); any other position is the
-- reader table's column of that place. NULL leaves a column as it is.
create or replace procedure lt_upd_reader(
    p1 text, p2 text, p3 text, p4 text, p5 text, p6 text, p7 text, p8 text, p9 text, p10 text,
    p11 text, p12 text, p13 text, p14 text, p15 text, p16 text, p17 text,
    p18 integer, p19 numeric,
    p20 text, p21 text, p22 text, p23 text, p24 text, p25 text, p26 text, p27 text, p28 text)
language plpgsql as $$
declare
    v_args text[] := array[p1, p2, p3, p4, p5, p6, p7, p8, p9, p10, p11, p12, p13, p14, p15,
                           p16, p17, p18::text, p19::text, p20, p21, p22, p23, p24, p25, p26, p27, p28];
    v_cols text[];
    v_types text[];
    v_set text := '';
    i integer;
    v_col text;
    v_rows bigint;
begin
    select array_agg(attname::text order by attnum), array_agg(format_type(atttypid, atttypmod) order by attnum)
      into v_cols, v_types
      from pg_attribute
     where attrelid = 'reader'::regclass and attnum > 0 and not attisdropped;
    for i in 2 .. 28 loop
        if v_args[i] is not null then
            v_col := case i when 18 then 'volt_flag' when 19 then 'debt_flag' else v_cols[i] end;
            if v_col is null then
                continue;
            end if;
            v_set := v_set || case when v_set = '' then '' else ', ' end
                  || format('%I = %L::%s', v_col, v_args[i],
                            coalesce(v_types[array_position(v_cols, v_col)], 'text'));
        end if;
    end loop;
    if v_set = '' then
        select count(*) into v_rows from reader where cert_id = p1;
    else
        execute format('update reader set %s where cert_id = %L', v_set, p1);
        get diagnostics v_rows = row_count;
    end if;
    if v_rows = 0 then
        raise exception using errcode = 'P0001', message = 'ORA-20007: 无此读者：' || coalesce(p1, '');
    end if;
end $$;
