-- Server procedures of the reader and money tables. Values arrive by position;
-- a NULL value leaves its column unchanged. Every procedure raises on failure
-- and never commits: the caller's transaction decides.

-- Update a reader row: 31 values in the column order of reader.
create or replace procedure lt_upd_reader_new(
    p_cert_id text, p_redr_type_code text, p_lend_grd text, p_r_dep_id text,
    p_name text, p_sex text, p_birthday text, p_id_card text,
    p_education text, p_occupation text, p_duty text, p_position text,
    p_dept text, p_address text, p_postcode text, p_tele text,
    p_mobile text, p_volt_flag numeric, p_debt_flag numeric, p_redr_reg_day text,
    p_redr_del_day text, p_redr_flag text, p_email text, p_code01 text,
    p_code02 text, p_remark text, p_total_lend_qty numeric, p_year_lend_qty numeric,
    p_deposit numeric, p_obligate numeric, p_password text)
language plpgsql as $$
begin
    if p_debt_flag < 0 then
        raise exception using errcode = 'P0001', message = 'ORA-20101: 读者欠款总额不能为负数：' || p_debt_flag;
    end if;
    if p_obligate < 0 then
        raise exception using errcode = 'P0001', message = 'ORA-20102: 读者预付款不能为负数：' || p_obligate;
    end if;
    update reader set
        redr_type_code = coalesce(p_redr_type_code, redr_type_code),
        lend_grd       = coalesce(p_lend_grd, lend_grd),
        r_dep_id       = coalesce(p_r_dep_id, r_dep_id),
        name           = coalesce(p_name, name),
        sex            = coalesce(p_sex, sex),
        birthday       = coalesce(p_birthday, birthday),
        id_card        = coalesce(p_id_card, id_card),
        education      = coalesce(p_education, education),
        occupation     = coalesce(p_occupation, occupation),
        duty           = coalesce(p_duty, duty),
        position       = coalesce(p_position, position),
        dept           = coalesce(p_dept, dept),
        address        = coalesce(p_address, address),
        postcode       = coalesce(p_postcode, postcode),
        tele           = coalesce(p_tele, tele),
        mobile         = coalesce(p_mobile, mobile),
        volt_flag      = coalesce(p_volt_flag::integer, volt_flag),
        debt_flag      = coalesce(p_debt_flag, debt_flag),
        redr_reg_day   = coalesce(p_redr_reg_day, redr_reg_day),
        redr_del_day   = coalesce(p_redr_del_day, redr_del_day),
        redr_flag      = coalesce(p_redr_flag, redr_flag),
        email          = coalesce(p_email, email),
        code01         = coalesce(p_code01, code01),
        code02         = coalesce(p_code02, code02),
        remark         = coalesce(p_remark, remark),
        total_lend_qty = coalesce(p_total_lend_qty::integer, total_lend_qty),
        year_lend_qty  = coalesce(p_year_lend_qty::integer, year_lend_qty),
        deposit        = coalesce(p_deposit, deposit),
        obligate       = coalesce(p_obligate, obligate),
        password       = coalesce(p_password, password)
    where cert_id = p_cert_id;
    if not found then
        raise exception using errcode = 'P0001', message = 'ORA-20103: 无此读者：' || coalesce(p_cert_id, '');
    end if;
end;
$$;

-- Update an overdue-fine row: 19 values in the column order of exceed_fine_lst,
-- the first three the row's key. Settling a row (debt_deal_flag '1') requires
-- the row to be open still, so no fine is ever settled twice.
create or replace procedure lt_upd_exceed_fine_lst(
    p_prop_no text, p_cert_id text, p_lend_date text,
    p_norm_ret_date text, p_ret_date text, p_time_unit text, p_fine_amt numeric,
    p_renew_date text, p_renew_times numeric, p_asback_date text, p_asback_times numeric,
    p_real_fine_amt numeric, p_bill_no text, p_fine_date text, p_debt_deal_flag text,
    p_resp_wkr text, p_remark text, p_location_f text, p_rule_no_f text)
language plpgsql as $$
declare
    v_flag text;
begin
    select debt_deal_flag into v_flag
      from exceed_fine_lst
     where prop_no = p_prop_no and cert_id = p_cert_id and lend_date = p_lend_date
       for update;
    if not found then
        raise exception using errcode = 'P0001',
            message = 'ORA-20104: 无此超期罚款记录：' || coalesce(p_prop_no, '') || ' ' || coalesce(p_lend_date, '');
    end if;
    if p_debt_deal_flag = '1' and v_flag <> '0' then
        raise exception using errcode = 'P0001',
            message = 'ORA-20105: 该超期罚款已经处理：' || p_prop_no || ' ' || p_lend_date;
    end if;
    if p_real_fine_amt < 0 or p_fine_amt < 0 then
        raise exception using errcode = 'P0001', message = 'ORA-20106: 罚款金额不能为负数';
    end if;
    update exceed_fine_lst set
        norm_ret_date  = coalesce(p_norm_ret_date, norm_ret_date),
        ret_date       = coalesce(p_ret_date, ret_date),
        time_unit      = coalesce(p_time_unit, time_unit),
        fine_amt       = coalesce(p_fine_amt, fine_amt),
        renew_date     = coalesce(p_renew_date, renew_date),
        renew_times    = coalesce(p_renew_times::integer, renew_times),
        asback_date    = coalesce(p_asback_date, asback_date),
        asback_times   = coalesce(p_asback_times::integer, asback_times),
        real_fine_amt  = coalesce(p_real_fine_amt, real_fine_amt),
        bill_no        = coalesce(p_bill_no, bill_no),
        fine_date      = coalesce(p_fine_date, fine_date),
        debt_deal_flag = coalesce(p_debt_deal_flag, debt_deal_flag),
        resp_wkr       = coalesce(p_resp_wkr, resp_wkr),
        remark         = coalesce(p_remark, remark),
        location_f     = coalesce(p_location_f, location_f),
        rule_no_f      = coalesce(p_rule_no_f, rule_no_f)
    where prop_no = p_prop_no and cert_id = p_cert_id and lend_date = p_lend_date;
end;
$$;

-- One row of the money journal: reader, record type, pay mode, flag, date-time,
-- bill number, worker, amount. A bill number already used raises a unique violation.
create or replace procedure insert_deposit_account_lst(
    p_cert_id text, p_rec_type text, p_pay_mode text, p_rec_flag text,
    p_oper_date text, p_bill_no text, p_resp_wkr text, p_amount numeric)
language plpgsql as $$
begin
    if p_amount is null or p_amount < 0 then
        raise exception using errcode = 'P0001', message = 'ORA-20107: 金额错误：' || coalesce(p_amount::text, '');
    end if;
    insert into deposit_account_lst
        (cert_id, rec_type, pay_mode, rec_flag, oper_date, bill_no, resp_wkr, amount)
    values
        (p_cert_id, p_rec_type, coalesce(p_pay_mode, '0'), coalesce(p_rec_flag, '1'),
         p_oper_date, p_bill_no, p_resp_wkr, p_amount);
end;
$$;
