-- Messages of the log-in and the main window.

insert into msg_mst (msg_id, msg_content) values
    ('ECM500', '该用户不存在，请重新输入！'),
    ('ECM501', '该用户已被注销，不能登录！'),
    ('ECM502', '口令错误，请重新输入！'),
    ('ECM503', '该用户不能在本工作站登录！'),
    ('ECM510', '两次输入的新口令不一致，请重新输入！'),
    ('QCM000', '确定要退出系统吗？'),
    ('QCM501', '确定要退出登录吗？'),
    ('ILT003', '本工作站不是流通工作站，不能使用本系统！')
on conflict do nothing;
