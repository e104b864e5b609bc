-- Messages of the circulation rule editor.
insert into msg_mst (msg_id, msg_content) values
    ('ELT700', '该借阅规则代码已存在，请重新输入！'),
    ('ELT702', '该借阅规则正在使用中，不能取消使用标志！'),
    ('ELT703', '借阅规则代码不能为空，请输入！')
on conflict do nothing;
