-- Messages and system parameters of the consignment desk.

insert into msg_mst (msg_id, msg_content) values
    ('ELT101', '该读者证不存在！'),
    ('ELT102', '该读者已注销，注销日期：%S'),
    ('ELT103', '该读者证已注销，不能借阅！'),
    ('ELT104', '该读者证已挂失，挂失日期：%S'),
    ('ELT105', '读者证不在有效期内，有效期：%S'),
    ('ELT106', '该读者有未处理的违章记录，不能借阅！'),
    ('ELT107', '该读者欠款已达到最大欠款额：%S元，不能借阅！'),
    ('ELT108', '该读者有超期未还的书刊，不能借阅！'),
    ('ELT109', '该读者借阅的书刊中有状态异常的书刊，不能借阅！'),
    ('ELT110', '该读者借书已达到最大借书册数，不能委托！'),
    ('ELT120', '该读者在该馆藏地的借书已达到最大借书册数！'),
    ('ELT121', '该读者在该馆藏地该流通类型的借书已达到限借册数！'),
    ('ELT133', '读者证不在有效期内且有未还书刊，请先还书！'),
    ('ELT161', '没有适用于该读者和该书的流通规则，不能委托！'),
    ('ELT164', '该读者的借阅等级低于该书的借阅等级，不能委托！%S'),
    ('ELT165', '该读者已借有该书，不能再委托！'),
    ('QCM003', '确定要删除吗？')
on conflict do nothing;

-- 4 second copy of a title, 6 price notice threshold, 8 requesters per title
-- (negative: absolute limit; otherwise times the lendable copies), 9 fine
-- decimals, 22 next-reader code, 23 a copy may be returned on its lending day.
insert into sys_comm_para (sys_para_code, sys_para_value) values
    (4, '0'),
    (6, '100'),
    (8, '-5'),
    (9, '0'),
    (22, 'NEXT'),
    (23, '1')
on conflict do nothing;
